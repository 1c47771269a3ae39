#pragma once

// Statements of the F&B index reports. The figures come from the F&B index table
// SA040MS, outlets summed under their summary outlet within their F&B division
// (MIS_UPJANG_GUBUN2 200 to 299), categories only where code group S0009 names them.
// Each is fixed text of the code; the business date is the bound :ASALE_DATE.

#include <QString>
#include <QStringList>

namespace kelo::screens::fnb {

// The master rows: the F&B divisions (DETAIL, DETAIL_NAME "F&B (레스토랑)").
QString DivisionRows();

// The date windows of a business date D the F&B figures are summed over; each names
// its SALE_DATE condition on the common table P.
enum class Window {
    Today,         // T:  D
    MonthToDate,   // M:  the first of D's month to D
    YearToDate,    // Y:  the first day of D's business year to D
    LastYearToday, // LT: D one year earlier (28 February for 29 February)
    ThisMonth,     // TM: D's whole calendar month
    LastYearMonth, // LM: that month one year earlier
    LastYearToDate // LY: the first day of that business year to LT
};

// The common tables P (the dates), R (per division GRP, summary outlet CODE and category
// GUBUN: IH, WI, GT (covers), RF, RB, RO, RT (revenue) per window, named measure_suffix)
// and L: the rows of R (LVL 1), the outlet sub-totals (2, GUBUN '9'), per division and
// category (3), the division sub-totals (4, '9'), and with grandTotal per category over
// all divisions (5) and their sub-total (6), the last two under division '220'. Rows
// of L carry SUB (1 on the sub-totals). With budgets, the sub-totals carry B_M (JH010MS
// SALE_AMT of D's whole month) and B_Y (the first YTD day to D) of their summary outlets.
QString Levels(const QList<Window> &windows, bool grandTotal, bool budgets);

// a / b, with b = 0 giving 0 for a = 0 and 1 otherwise.
QString Ratio(const QString &a, const QString &b);
// ROUND(a / b, 3) x 100 as text with "%" (95.3%, 100%, .5%), by the same rule for b = 0.
QString Percent(const QString &a, const QString &b);

// The names of the columns: UPJANG_NAME (the summary outlet's English name; the
// division's name with " Total" on levels 3 and 4, "Total" on 5 and 6) and GUBUN_NAME
// (the category's S0009 name, "<Sub Total>" on sub-totals), for rows of L (alias F)
// with O (summary outlet), C (S0009) and D (S0003) joined by NameJoins().
QString NameColumns();
QString NameJoins();

// The rows of the outlet blocks (list: levels 1 and 2) or of the division's blocks
// (levels 3 and 4, with grandTotal also 5 and 6 after division 220's own): the key
// columns MIS_UPJANG_GUBUN2, UPJANG_CODE, the names, GUBUN and the figures, a column
// list over the level row F.
QString BlockRows(bool list, const QList<Window> &windows, bool grandTotal, bool budgets,
                  const QString &figures);

} // namespace kelo::screens::fnb
