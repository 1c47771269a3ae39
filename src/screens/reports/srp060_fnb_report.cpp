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
            // The variances wide enough for their heading in full size.
            {QStringLiteral("M.T.D Total"),
             {C("TYM_M_RVN_TOTAL", "T.Y.M", 12.5, true), C("LYM_M_RVN_TOTAL", "L.Y.M", 12.5),
              C("MTD_RVN_VARIANCE", "Variance(%)", 11), C("MTD_BUDGET_TOTAL", "Budget", 12.5),
              C("MTD_BUDGET_VARIANCE", "Variance(%)", 11)}},
            {QStringLiteral("Y.T.D Total"),
             {C("YTD_RVN_TOTAL", "T.Y", 15, true), C("LTD_RVN_TOTAL", "L.Y", 15),
              C("YTD_RVN_VARIANCE", "Variance(%)", 11), C("YTD_BUDGET_TOTAL", "Budget", 15),
              C("YTD_BUDGET_VARIANCE", "Variance(%)", 11)}},
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

// Every window of the report; the budgets on the sub-totals; the division blocks with the
// total of all divisions.
const QList<Window> kWindows = {Window::Today,         Window::MonthToDate, Window::YearToDate,
                                Window::LastYearToday, Window::ThisMonth,   Window::LastYearMonth,
                                Window::LastYearToDate};

} // namespace

TfrmSRP060::TfrmSRP060(db::Connection &connection, const QString &saleDate)
    : TfrmFnbBlocks(connection, QStringLiteral("SRP060"), saleDate, QStringLiteral("F&B Report"),
                    ReportLayout(), BlockRows(true, kWindows, true, true, Figures()),
                    BlockRows(false, kWindows, true, true, Figures()), QStringLiteral("0,")) {}

} // namespace kelo::screens
