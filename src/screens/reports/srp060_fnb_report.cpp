#include "screens/reports/srp060_fnb_report.h"

#include "screens/reports/fnb_layout.h"
#include "screens/reports/fnb_sql.h"

namespace kelo::screens {

using namespace report;
using namespace fnb;

namespace {

Column C(const char *field, const char *heading, double width, bool shaded = false) {
    return {QLatin1String(field), QString::fromUtf8(heading), width, shaded};
}

const Layout &ReportLayout() {
    static const Layout layout(
        {
            {QStringLiteral("Cover"),
             {C("TODAY_GST_IH", "I/H", 6.5), C("TODAY_GST_WI", "W/I", 6.5),
              C("TODAY_GST_TOTAL", "Total", 7), C("MTD_GST_TOTAL", "M.T.D", 8, true)}},
            {QStringLiteral("Average Check"),
             {C("TODAY_FOOD_AVG", "Food", 8), C("TODAY_BEVERAGE_AVG", "Bevergae", 8),
              C("TODAY_TOTAL_AVG", "Total", 8), C("MTD_RVN_AVG", "M.T.D", 8.5, true)}},
            {QStringLiteral("Today Revenue"),
             {C("TODAY_RVN_FOOD", "Food", 11), C("TODAY_RVN_BEVERAGE", "Beverage", 10.5),
              C("TODAY_RVN_OTHERS", "Others", 9.5), C("TODAY_RVN_TOTAL", "Total", 11.5, true),
              C("LYT_RVN_TOTAL", "L.Y.T", 11.5)}},
            {QStringLiteral("M.T.D Total"),
             {C("TYM_M_RVN_TOTAL", "T.Y.M", 13.5, true), C("LYM_M_RVN_TOTAL", "L.Y.M", 13.5),
              C("MTD_RVN_VARIANCE", "Variance(%)", 9.5), C("MTD_BUDGET_TOTAL", "Budget", 13.5),
              C("MTD_BUDGET_VARIANCE", "Variance(%)", 9.5)}},
            {QStringLiteral("Y.T.D Total"),
             {C("YTD_RVN_TOTAL", "T.Y", 16, true), C("LTD_RVN_TOTAL", "L.Y", 16),
              C("YTD_RVN_VARIANCE", "Variance(%)", 9.5), C("YTD_BUDGET_TOTAL", "Budget", 16),
              C("YTD_BUDGET_VARIANCE", "Variance(%)", 9.5)}},
        },
        5);
    return layout;
}

// The 23 figures of a level row F; the budget variances on the sub-totals only.
QString Figures() {
    auto avg = [](const char *a, const char *b) {
        return QStringLiteral("ROUND(%1)").arg(Ratio(QLatin1String(a), QLatin1String(b)));
    };
    auto budget = [](const char *a, const char *b) {
        return QStringLiteral("CASE WHEN F.SUB = 1 THEN %1 ELSE '-' END")
            .arg(Percent(QLatin1String(a), QLatin1String(b)));
    };
    return QStringList{
        QStringLiteral("F.IH_T AS TODAY_GST_IH"),
        QStringLiteral("F.WI_T AS TODAY_GST_WI"),
        QStringLiteral("F.GT_T AS TODAY_GST_TOTAL"),
        QStringLiteral("F.GT_M AS MTD_GST_TOTAL"),
        avg("F.RF_T", "F.GT_T") + QStringLiteral(" AS TODAY_FOOD_AVG"),
        avg("F.RB_T", "F.GT_T") + QStringLiteral(" AS TODAY_BEVERAGE_AVG"),
        avg("F.RT_T", "F.GT_T") + QStringLiteral(" AS TODAY_TOTAL_AVG"),
        avg("F.RT_M", "F.GT_M") + QStringLiteral(" AS MTD_RVN_AVG"),
        QStringLiteral("F.RF_T AS TODAY_RVN_FOOD"),
        QStringLiteral("F.RB_T AS TODAY_RVN_BEVERAGE"),
        QStringLiteral("F.RO_T AS TODAY_RVN_OTHERS"),
        QStringLiteral("F.RT_T AS TODAY_RVN_TOTAL"),
        QStringLiteral("F.RT_LT AS LYT_RVN_TOTAL"),
        QStringLiteral("F.RT_TM AS TYM_M_RVN_TOTAL"),
        QStringLiteral("F.RT_LM AS LYM_M_RVN_TOTAL"),
        Percent(QStringLiteral("F.RT_TM"), QStringLiteral("F.RT_LM")) +
            QStringLiteral(" AS MTD_RVN_VARIANCE"),
        QStringLiteral("F.B_M AS MTD_BUDGET_TOTAL"),
        budget("F.RT_TM", "F.B_M") + QStringLiteral(" AS MTD_BUDGET_VARIANCE"),
        QStringLiteral("F.RT_Y AS YTD_RVN_TOTAL"),
        QStringLiteral("F.RT_LY AS LTD_RVN_TOTAL"),
        Percent(QStringLiteral("F.RT_Y"), QStringLiteral("F.RT_LY")) +
            QStringLiteral(" AS YTD_RVN_VARIANCE"),
        QStringLiteral("F.B_Y AS YTD_BUDGET_TOTAL"),
        budget("F.RT_Y", "F.B_Y") + QStringLiteral(" AS YTD_BUDGET_VARIANCE"),
    }
        .join(QStringLiteral(",\n       "));
}

// The outlet blocks (list) or the division's blocks with the total of all divisions
// after division 220's own (sub-sum).
QString Statement(bool list) {
    return QString::fromUtf8(R"sql(
WITH %1
SELECT F.GRP AS MIS_UPJANG_GUBUN2,
       F.CODE AS UPJANG_CODE,
       %2,
       F.GUBUN,
       %3
FROM L F
%4
WHERE F.LVL IN (%5)
ORDER BY F.GRP, CASE WHEN F.LVL > 4 THEN 1 ELSE 0 END, O.MIS_DISPLAY_SEQ, F.CODE, F.SUB, F.GUBUN
)sql")
        .arg(Levels({Window::Today, Window::MonthToDate, Window::YearToDate, Window::LastYearToday,
                     Window::ThisMonth, Window::LastYearMonth, Window::LastYearToDate},
                    !list, true),
             NameColumns(), Figures(), NameJoins(),
             list ? QStringLiteral("1, 2") : QStringLiteral("3, 4, 5, 6"))
        .trimmed();
}

} // namespace

TfrmSRP060::TfrmSRP060(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP060"), saleDate, QStringLiteral("F&B Report")),
      cdsList(connection, QStringLiteral("cdsList")),
      cdsSubSum(connection, QStringLiteral("cdsSubSum")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 11)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 7)),
      QRSubDetail1(qrpReport.addBand(QStringLiteral("QRSubDetail1"), BandKind::SubDetail, 4)),
      QRSubDetail2(qrpReport.addBand(QStringLiteral("QRSubDetail2"), BandKind::SubDetail, 4)) {
    qrbFooter.enabled = false;
    useReportTitle(QStringLiteral("F&B Report"));
    cdsQuery.query().setSql(DivisionRows());
    cdsList.query().setSql(Statement(true));
    cdsSubSum.query().setSql(Statement(false));
    const Layout &layout = ReportLayout();
    layout.setFormats(cdsList, QStringLiteral("0,"));
    layout.setFormats(cdsSubSum, QStringLiteral("0,"));

    layout.addHeadings(QRBand2);
    DetailBand1.forceNewPage = true;
    layout.addMaster(DetailBand1, cdsQuery, QStringLiteral("DETAIL_NAME"));
    layout.addRows(QRSubDetail1, cdsList, QStringLiteral("QRDBText12"), m_lastName1);
    layout.addRows(QRSubDetail2, cdsSubSum, QStringLiteral("QRDBText55"), m_lastName2);
    QRSubDetail1.beforePrint = [this](BandPrint &bp) { QRSubDetail1BeforePrint(bp); };
    QRSubDetail2.beforePrint = [this](BandPrint &bp) { QRSubDetail2BeforePrint(bp); };
}

void TfrmSRP060::openData() {
    openInOrder({&cdsQuery, &cdsList, &cdsSubSum, &qrySys});
}

void TfrmSRP060::QRSubDetail1BeforePrint(BandPrint &bp) {
    MarkSubTotal(bp, cdsList);
}

void TfrmSRP060::QRSubDetail2BeforePrint(BandPrint &bp) {
    MarkSubTotal(bp, cdsSubSum);
}

} // namespace kelo::screens
