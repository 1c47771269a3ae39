#include "screens/reports/srp050_fnb_index.h"

#include "screens/reports/fnb_layout.h"
#include "screens/reports/fnb_sql.h"

namespace kelo::screens {

using namespace report;
using namespace fnb;

namespace {

// The eight columns of a period: covers narrower than revenue, the year widest.
ColumnGroup Period(const char *heading, const char *prefix, double cover, double revenue,
                   double total, double average) {
    auto field = [prefix](const char *name) { return QLatin1String(prefix) + QLatin1String(name); };
    return {QString::fromUtf8(heading),
            {{field("GST_IH"), QStringLiteral("I/H Cover"), cover},
             {field("GST_WI"), QStringLiteral("W/I Cover"), cover},
             {field("GST_TOTAL"), QStringLiteral("Cover Tot"), cover + 0.5},
             {field("RVN_FOOD"), QStringLiteral("Food"), revenue, true},
             {field("RVN_BEVERAGE"), QStringLiteral("Beverage"), revenue - 0.5, true},
             {field("RVN_OTHERS"), QStringLiteral("Other"), revenue - 1, true},
             {field("RVN_TOTAL"), QStringLiteral("Revenue Tot"), total, true},
             {field("AVG"), QStringLiteral("Average Spend"), average}}};
}

const Layout &IndexLayout() {
    static const Layout layout({Period("Actual Today", "TODAY_", 6, 10.5, 12, 8),
                                Period("Actual MTD", "MTD_", 7, 12.5, 14, 8),
                                Period("Actual YTD", "YTD_", 8, 15, 18.5, 8.5)});
    return layout;
}

// The figures of a level row F: per period the covers, revenues and the average spend
// (0 without covers).
QString Figures() {
    QStringList out;
    for (const auto &[prefix, w] : {std::pair{"TODAY_", "T"}, {"MTD_", "M"}, {"YTD_", "Y"}}) {
        const QString p = QLatin1String(prefix), s = QLatin1String(w);
        out << QStringLiteral("F.IH_%1 AS %2GST_IH").arg(s, p)
            << QStringLiteral("F.WI_%1 AS %2GST_WI").arg(s, p)
            << QStringLiteral("F.GT_%1 AS %2GST_TOTAL").arg(s, p)
            << QStringLiteral("F.RF_%1 AS %2RVN_FOOD").arg(s, p)
            << QStringLiteral("F.RB_%1 AS %2RVN_BEVERAGE").arg(s, p)
            << QStringLiteral("F.RO_%1 AS %2RVN_OTHERS").arg(s, p)
            << QStringLiteral("F.RT_%1 AS %2RVN_TOTAL").arg(s, p)
            << QStringLiteral(
                   "CASE WHEN F.GT_%1 = 0 THEN 0 ELSE ROUND(F.RT_%1 / F.GT_%1) END AS %2AVG")
                   .arg(s, p);
    }
    return out.join(QStringLiteral(",\n       "));
}

} // namespace

TfrmSRP050::TfrmSRP050(db::Connection &connection, const QString &saleDate)
    : TfrmFnbBlocks(connection, QStringLiteral("SRP050"), saleDate, QStringLiteral("F&B Index"),
                    IndexLayout(),
                    BlockRows(true, {Window::Today, Window::MonthToDate, Window::YearToDate}, false,
                              false, Figures()),
                    BlockRows(false, {Window::Today, Window::MonthToDate, Window::YearToDate},
                              false, false, Figures()),
                    QStringLiteral(",0")) {}

} // namespace kelo::screens
