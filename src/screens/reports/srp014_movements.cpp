#include "screens/reports/srp014_movements.h"

namespace kelo::screens {

using namespace report;

namespace {

// A pair's amount is the sum of the day's entries (0 when none was made) and empty
// where the group has no item with the code.
const char *const kMainSql = R"sql(
SELECT '00' AS ITEM_CODE,
       MAX(CASE WHEN DETAIL = '10' THEN DETAIL_NAME END) AS ITEM_NAME1,
       MAX(CASE WHEN DETAIL = '20' THEN DETAIL_NAME END) AS ITEM_NAME2,
       MAX(CASE WHEN DETAIL = '30' THEN DETAIL_NAME END) AS ITEM_NAME3,
       MAX(CASE WHEN DETAIL = '40' THEN DETAIL_NAME END) AS ITEM_NAME4,
       MAX(CASE WHEN DETAIL = '50' THEN DETAIL_NAME END) AS ITEM_NAME5,
       NULL AS MOVEMENT1,
       NULL AS MOVEMENT2,
       NULL AS MOVEMENT3,
       NULL AS MOVEMENT4,
       NULL AS MOVEMENT5
FROM ZX010MS
WHERE HEAD = 'S0011'
UNION ALL
SELECT X.ITEM_CODE,
       MAX(CASE WHEN X.MOVEMENT = '10' THEN X.ITEM_NAME END),
       MAX(CASE WHEN X.MOVEMENT = '20' THEN X.ITEM_NAME END),
       MAX(CASE WHEN X.MOVEMENT = '30' THEN X.ITEM_NAME END),
       MAX(CASE WHEN X.MOVEMENT = '40' THEN X.ITEM_NAME END),
       MAX(CASE WHEN X.MOVEMENT = '50' THEN X.ITEM_NAME END),
       SUM(CASE WHEN X.MOVEMENT = '10' THEN NVL(A.AMOUNT, 0) END),
       SUM(CASE WHEN X.MOVEMENT = '20' THEN NVL(A.AMOUNT, 0) END),
       SUM(CASE WHEN X.MOVEMENT = '30' THEN NVL(A.AMOUNT, 0) END),
       SUM(CASE WHEN X.MOVEMENT = '40' THEN NVL(A.AMOUNT, 0) END),
       SUM(CASE WHEN X.MOVEMENT = '50' THEN NVL(A.AMOUNT, 0) END)
FROM SX020MS X
LEFT JOIN SA010DT A ON A.SALE_DATE = :ASALE_DATE AND A.MOVEMENT = X.MOVEMENT AND A.ITEM_CODE = X.ITEM_CODE
GROUP BY X.ITEM_CODE
ORDER BY ITEM_CODE
)sql";

constexpr double kPairWidth = 277.0 / 5;
constexpr double kAmountWidth = 19;

} // namespace

TfrmSRP014::TfrmSRP014(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP014"), saleDate,
                 QStringLiteral("Division Statistics")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 6)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 4.5)),
      QRBand1(qrpReport.addBand(QStringLiteral("QRBand1"), BandKind::Summary, 2)) {
    qrbHeader.enabled = false;
    qrbFooter.enabled = false;
    cdsQuery.query().setSql(QString::fromUtf8(kMainSql));
    const FontSpec row = Font(7.5);
    FontSpec heading = row;
    heading.bold = heading.underline = true;
    for (int pair = 1; pair <= 5; ++pair) {
        const double left = (pair - 1) * kPairWidth;
        const QString name = QStringLiteral("ITEM_NAME%1").arg(pair);
        const QString amount = QStringLiteral("MOVEMENT%1").arg(pair);
        cdsQuery.setDisplayFormat(amount, QStringLiteral(",0"));
        QRBand2.addItem(Label(QStringLiteral("qrlGroup%1").arg(pair),
                              {left + 1, 1.5, kPairWidth - kAmountWidth - 2, 4.5}, QString(),
                              heading));
        DetailBand1.addItem(DataText(QStringLiteral("txt") + name,
                                     {left + 1, 0, kPairWidth - kAmountWidth - 2, 4.5}, cdsQuery,
                                     name, row));
        DetailBand1.addItem(DataText(QStringLiteral("txt") + amount,
                                     {left + kPairWidth - kAmountWidth - 1, 0, kAmountWidth, 4.5},
                                     cdsQuery, amount, row, Qt::AlignRight | Qt::AlignVCenter));
    }
    QRBand2.beforePrint = [this](BandPrint &bp) { QRBand2BeforePrint(bp); };
    DetailBand1.beforePrint = [this](BandPrint &bp) { DetailBand1BeforePrint(bp); };
    QRBand1.frame.top = true;
}

// The headings stand at the top of the section and of each page it continues on: the
// names of the heading row, which the detail band leaves out.
void TfrmSRP014::QRBand2BeforePrint(BandPrint &bp) {
    QStringList names(5);
    const int keep = cdsQuery.currentRow();
    for (int r = 0; r < cdsQuery.rowCount(); ++r) {
        cdsQuery.moveTo(r);
        if (cdsQuery.text(QStringLiteral("ITEM_CODE")) != QStringLiteral("00"))
            continue;
        for (int pair = 1; pair <= 5; ++pair)
            names[pair - 1] = cdsQuery.text(QStringLiteral("ITEM_NAME%1").arg(pair));
        break;
    }
    if (keep >= 0)
        cdsQuery.moveTo(keep);
    for (int pair = 1; pair <= 5; ++pair)
        bp.band.item(QStringLiteral("qrlGroup%1").arg(pair)).text = names[pair - 1];
}

void TfrmSRP014::DetailBand1BeforePrint(BandPrint &bp) {
    bp.print = cdsQuery.text(QStringLiteral("ITEM_CODE")) != QStringLiteral("00");
}

} // namespace kelo::screens
