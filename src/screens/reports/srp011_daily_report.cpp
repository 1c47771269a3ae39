#include "screens/reports/srp011_daily_report.h"

#include "screens/reports/division_layout.h"
#include "screens/reports/division_sql.h"

namespace kelo::screens {

using namespace report;
using namespace division;

namespace {

// One row per division group and division of the outlet master, and per group a total
// row with the code x99. A group without an S0002 name or a division without an S0003
// entry (a total code included) is left out; the grand total still counts it.
QString MainSql() {
    return QString::fromUtf8(R"sql(
WITH %1,
DIVISIONS AS (
    SELECT J.MIS_UPJANG_GUBUN1 AS GUBUN1,
           J.MIS_UPJANG_GUBUN2 AS GUBUN2,
           %2
    FROM OUTLETS O
    JOIN JA010MS J ON J.UPJANG_CODE = O.UPJANG_CODE
    GROUP BY J.MIS_UPJANG_GUBUN1, J.MIS_UPJANG_GUBUN2
    UNION ALL
    SELECT J.MIS_UPJANG_GUBUN1,
           SUBSTR(J.MIS_UPJANG_GUBUN1, 1, 1) || '99',
           %2
    FROM OUTLETS O
    JOIN JA010MS J ON J.UPJANG_CODE = O.UPJANG_CODE
    GROUP BY J.MIS_UPJANG_GUBUN1
),
F AS (
    SELECT D.*,
           %3
    FROM DIVISIONS D
    CROSS JOIN P
)
SELECT F.GUBUN1,
       N1.DETAIL_NAME AS GUBUN1_NAME,
       F.GUBUN2,
       CASE F.GUBUN2 WHEN '199' THEN '(Room Total)' WHEN '299' THEN '(F&B Total)' ELSE N2.DETAIL_NAME END AS GUBUN2_NAME,
       %4
FROM F
JOIN ZX010MS N1 ON N1.HEAD = 'S0002' AND N1.DETAIL = F.GUBUN1
JOIN ZX010MS N2 ON N2.HEAD = 'S0003' AND N2.DETAIL = F.GUBUN2
ORDER BY F.GUBUN1, F.GUBUN2
)sql")
        .arg(OutletRevenue(), OutletSums(), AmountBudgets(QStringLiteral("D")), FigureColumns());
}

// The same sums over every row of the figures and budgets, without the outlet master.
QString SumSql() {
    return QString::fromUtf8(R"sql(
WITH %1,
EVERYTHING AS (
    SELECT %2
    FROM OUTLETS O
),
F AS (
    SELECT E.*,
           %3
    FROM EVERYTHING E
    CROSS JOIN P
)
SELECT %4
FROM F
)sql")
        .arg(OutletRevenue(), OutletSums(), AmountBudgets(QStringLiteral("E")), FigureColumns());
}

} // namespace

TfrmSRP011::TfrmSRP011(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP011"), saleDate,
                 QStringLiteral("Division Statistics")),
      cdsSum(connection, QStringLiteral("cdsSum")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 14)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 4.5)),
      QRBand1(qrpReport.addBand(QStringLiteral("QRBand1"), BandKind::Summary, 6)) {
    qrbFooter.enabled = false;
    useReportTitle(QStringLiteral("DAILY REPORT"));

    cdsQuery.query().setSql(MainSql());
    cdsSum.query().setSql(SumSql());
    SetFigureFormats(cdsQuery);
    SetFigureFormats(cdsSum);

    AddColumnHeadings(QRBand2, 0);
    QRBand2.addItem(Label(QStringLiteral("qrlSection"), {0, 9, kDescriptionWidth, 5},
                          QStringLiteral("Consolidated Revenue"), Font(8, true)));

    const FontSpec row = Font(7);
    DetailBand1.addItem(DataText(QStringLiteral("QRDBText12"), {1, 0, 25, 4.5}, cdsQuery,
                                 QStringLiteral("GUBUN1_NAME"), row));
    DetailBand1.addItem(DataText(QStringLiteral("QRDBText13"), {26, 0, 34, 4.5}, cdsQuery,
                                 QStringLiteral("GUBUN2_NAME"), row));
    AddFigureTexts(DetailBand1, cdsQuery, row);
    DetailBand1.beforePrint = [this](BandPrint &bp) { DetailBand1BeforePrint(bp); };
    DetailBand1.item(QStringLiteral("QRDBText12")).onPrint = [this](Item &i, QString &text) {
        QRDBText12Print(i, text);
    };

    QRBand1.frame.top = QRBand1.frame.bottom = true;
    QRBand1.frame.width = 0.3;
    QRBand1.addItem(Label(QStringLiteral("qrlGrandTotal"), {1, 0, 60, 6},
                          QStringLiteral("Grand Total"), Font(8, true)));
    AddFigureTexts(QRBand1, cdsSum, Font(6.5, true)); // the grand total's eleven digits fit
    QRBand1.beforePrint = [this](BandPrint &bp) { QRBand1BeforePrint(bp); };
}

void TfrmSRP011::openData() {
    openInOrder({&cdsQuery, &cdsSum, &qrySys});
}

void TfrmSRP011::DetailBand1BeforePrint(BandPrint &bp) {
    const QString code = cdsQuery.text(QStringLiteral("GUBUN2"));
    const bool total = code == QStringLiteral("199") || code == QStringLiteral("299");
    bp.band.color = total ? kTotalShade : kRowWhite;
}

void TfrmSRP011::QRDBText12Print(Item &item, QString &text) {
    SuppressRepeats(m_lastGroupName)(item, text);
}

void TfrmSRP011::QRBand1BeforePrint(BandPrint &bp) {
    bp.band.color = kButtonFace;
}

} // namespace kelo::screens
