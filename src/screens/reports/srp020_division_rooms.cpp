#include "screens/reports/srp020_division_rooms.h"

#include "screens/reports/division_layout.h"
#include "screens/reports/division_sql.h"

namespace kelo::screens {

using namespace report;
using namespace division;

namespace {

const char *const kMasterSql = R"sql(
SELECT UPJANG_CODE,
       UPJANG_ENG_NAME AS UPJANG_NAME
FROM JA010MS
WHERE MIS_UPJANG_GUBUN1 = '10'
ORDER BY MIS_DISPLAY_SEQ
)sql";

// A row kind's figure for one period (%1: T, M, Y, LM, LY).
const char *const kActual = R"sql(
CASE K.DETAIL
               WHEN '1' THEN W.REV_%1
               WHEN '2' THEN W.AV_%1
               WHEN '3' THEN W.OCC_%1
               WHEN '4' THEN CASE WHEN W.AV_%1 = 0 THEN 0 ELSE ROUND(W.OCC_%1 * 100.0 / W.AV_%1, 1) END
               WHEN '5' THEN CASE WHEN W.OCC_%1 = 0 THEN 0 ELSE ROUND(W.REV_%1 * 1.0 / W.OCC_%1, 0) END
               WHEN '6' THEN W.GST_%1
               ELSE 0
           END AS A_%1
)sql";

// Per hotel and division, and per hotel in total: revenue (1), rooms available (2, total
// only), rooms occupied (3; its total carries division 1), occupancy (4, total only),
// average rate (5) and guests (6, total only). Ratios come from the summed figures, the
// average rate's budget from the budgeted revenue and rooms of the period.
QString ListSql() {
    QStringList actuals;
    for (const char *period : {"T", "M", "Y", "LM", "LY"})
        actuals << QString::fromUtf8(kActual).trimmed().arg(QLatin1String(period));
    return QString::fromUtf8(R"sql(
WITH %1,
V AS (
    SELECT W.CODE AS UPJANG_CODE,
           W.DIVISION,
           K.DETAIL AS ROWNO,
           %2,
           CASE K.DETAIL
               WHEN '1' THEN ROUND(W.BA_PM)
               WHEN '3' THEN ROUND(W.BR_PM)
               WHEN '5' THEN CASE WHEN W.BR_PM = 0 THEN 0 ELSE ROUND(W.BA_PM / W.BR_PM, 0) END
               WHEN '6' THEN ROUND(W.BG_PM)
               ELSE 0
           END AS B_MTD,
           CASE K.DETAIL
               WHEN '1' THEN W.BA_EARLIER + ROUND(W.BA_PM)
               WHEN '3' THEN W.BR_EARLIER + ROUND(W.BR_PM)
               WHEN '5' THEN CASE WHEN W.BR_EARLIER + W.BR_PM = 0 THEN 0
                                  ELSE ROUND((W.BA_EARLIER + W.BA_PM) / (W.BR_EARLIER + W.BR_PM), 0) END
               WHEN '6' THEN W.BG_EARLIER + ROUND(W.BG_PM)
               ELSE 0
           END AS B_YTD
    FROM W
    JOIN ZX010MS K ON K.HEAD = 'S0010' AND K.DETAIL BETWEEN '1' AND '6'
    WHERE W.DIVISION IS NULL
       OR K.DETAIL IN ('1', '3', '5')
)
SELECT F.UPJANG_CODE,
       F.ROWNO,
       CASE F.ROWNO WHEN '1' THEN 'Revenue' WHEN '5' THEN 'Average Rate' WHEN '6' THEN 'Guest' ELSE 'Status' END AS ROWNO_NAME,
       CASE WHEN F.DIVISION IS NOT NULL THEN F.DIVISION WHEN F.ROWNO = '3' THEN '1' ELSE '999' END AS DIVISION,
       CASE WHEN F.DIVISION IS NOT NULL THEN N.DETAIL_NAME
            ELSE DECODE(F.ROWNO, '1', '<Revenue Total>', '2', 'Room Available', '3', 'No of Room Occupied',
                        '4', 'Occupied %', '5', '<Average Rate Total>', '6', '<Guest Total>')
       END AS DIVISION_NAME,
       %3
FROM V F
LEFT JOIN ZX010MS N ON N.HEAD = 'S0008' AND N.DETAIL = F.DIVISION
ORDER BY F.UPJANG_CODE, F.ROWNO, DIVISION
)sql")
        .arg(KeyedFigures(QStringLiteral("J.UPJANG_CODE"), QStringLiteral("J.UPJANG_CODE"),
                          QStringLiteral("J.MIS_UPJANG_GUBUN1 = '10'"), true),
             actuals.join(QStringLiteral(",\n           ")), FigureColumns());
}

} // namespace

TfrmSRP020::TfrmSRP020(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP020"), saleDate,
                 QStringLiteral("Division Statistics - Rooms")),
      cdsList(connection, QStringLiteral("cdsList")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 9)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 7)),
      QRSubDetail1(qrpReport.addBand(QStringLiteral("QRSubDetail1"), BandKind::SubDetail, 4)) {
    qrbFooter.enabled = false;
    useReportTitle(QStringLiteral("DIVISION STATISTICS - ROOM"));
    cdsQuery.query().setSql(QString::fromUtf8(kMasterSql));
    cdsList.query().setSql(ListSql());
    SetFigureFormats(cdsList);

    AddColumnHeadings(QRBand2, 0);
    AddAreaMaster(DetailBand1, cdsQuery, QStringLiteral("UPJANG_NAME"));
    DetailBand1.keepTogether = true; // a hotel's block on one page

    QRSubDetail1.dataSet = &cdsList;
    QRSubDetail1.masterFields = QStringList{QStringLiteral("UPJANG_CODE")};
    QRSubDetail1.detailFields = QStringList{QStringLiteral("UPJANG_CODE")};
    const FontSpec row = Font(7);
    QRSubDetail1.addItem(DataText(QStringLiteral("QRDBText12"), {2, 0, 22, 4}, cdsList,
                                  QStringLiteral("ROWNO_NAME"), row));
    QRSubDetail1.addItem(DataText(QStringLiteral("QRDBText13"), {24, 0, 36, 4}, cdsList,
                                  QStringLiteral("DIVISION_NAME"), row));
    AddFigureTexts(QRSubDetail1, cdsList, row);
    AddActualBlocks(QRSubDetail1);
    AddRowRule(QRSubDetail1, QStringLiteral("qrsRowRule"), kButtonFace);
    QRSubDetail1.beforePrint = [this](BandPrint &bp) { QRSubDetail1BeforePrint(bp); };
    QRSubDetail1.item(QStringLiteral("QRDBText12")).onPrint = [this](Item &i, QString &t) {
        QRDBText12Print(i, t);
    };
    QRSubDetail1.item(QStringLiteral("QRDBText13")).onPrint = [this](Item &i, QString &t) {
        QRDBText13Print(i, t);
    };
}

void TfrmSRP020::openData() {
    openInOrder({&cdsQuery, &cdsList, &qrySys});
}

void TfrmSRP020::QRSubDetail1BeforePrint(BandPrint &bp) {
    const QString row = cdsList.text(QStringLiteral("ROWNO"));
    const QString division = cdsList.text(QStringLiteral("DIVISION"));
    const bool total = division == QStringLiteral("999");
    // The division lines under "No of Room Occupied" stand indented.
    Item &name = bp.band.item(QStringLiteral("QRDBText13"));
    const bool indented = row == QStringLiteral("3") && division.size() == 2;
    name.rect.moveLeft(indented ? 28 : 24);
    bp.band.item(QStringLiteral("qrsRowRule")).enabled =
        total &&
        (row == QStringLiteral("1") || row == QStringLiteral("4") || row == QStringLiteral("5"));
    bp.band.frame.bottom = total && row == QStringLiteral("6");
    bp.band.color = total && row == QStringLiteral("1") ? kTotalShade : kRowWhite;
}

void TfrmSRP020::QRDBText13Print(Item &item, QString &) {
    item.font.bold = cdsList.text(QStringLiteral("ROWNO")) == QStringLiteral("4") &&
                     cdsList.text(QStringLiteral("DIVISION")) == QStringLiteral("999");
}

void TfrmSRP020::QRDBText12Print(Item &item, QString &text) {
    SuppressRepeats(m_lastRowName)(item, text);
}

} // namespace kelo::screens
