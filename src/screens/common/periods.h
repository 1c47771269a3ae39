#pragma once

// The period bounds of the business date :ASALE_DATE, each written once in the dialect, for
// the printed reports (the common table P of their statements) and the sales inquiries
// (scalar subqueries). Dates are YYYYMMDD texts, months YYYYMM.
//
//   bound               column      value
//   Date                D           the business date
//   Month               MON         its month
//   MonthStart          M_FROM      the first day of its month
//   MonthEnd            M_TO        the last day of its month
//   PreviousMonthEnd    PM_TO       the last day of the month before
//   YearStart           Y_FROM      the first day of its business year (FN_GET_YTD_DATE)
//   YearEnd             Y_TO        the last day of its business year
//   LastYearDate        LY_DATE     the date a year earlier; 29 February gives 28 February
//   LastYearDay         LY_DAY      the same day number a year earlier; 29 February gives
//                                   a 29 February that does not exist and matches nothing
//   LastYearMonth       LY_MON      the month a year earlier
//   LastYearMonthStart  LM_FROM     the first day of that month
//   LastYearStart       LY_FROM     the first day of the business year of LastYearDate
//   MonthDays           MONTH_DAYS  the number of days of its month
//   DayNo               DAY_NO      its day of the month

#include <QString>

namespace kelo::screens::periods {

enum class Bound {
    Date,
    Month,
    MonthStart,
    MonthEnd,
    PreviousMonthEnd,
    YearStart,
    YearEnd,
    LastYearDate,
    LastYearDay,
    LastYearMonth,
    LastYearMonthStart,
    LastYearStart,
    MonthDays,
    DayNo,
};

// Every bound in the order above.
const Bound *begin();
const Bound *end();
struct All {
    const Bound *begin() const { return periods::begin(); }
    const Bound *end() const { return periods::end(); }
};

QString Expression(Bound bound);
QString Column(Bound bound);
// The bound for a statement without P: plain text operations as they are, a bound that
// calls the dialect's date functions as a scalar subquery, which both engines work out once
// per statement instead of once per row.
QString Scalar(Bound bound);
// "P AS MATERIALIZED (SELECT ... FROM DUAL)": every bound once, by its column.
QString Table();

} // namespace kelo::screens::periods
