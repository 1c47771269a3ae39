#pragma once

#include <QString>

// The date windows of the sales inquiries, in the dialect, for the business date :ASALE_DATE.
namespace kelo::screens::sales {

// The windows that call the dialect's date functions are scalar subqueries, so that both
// engines work them out once per statement instead of once per row.

// Month start of the date, and the same day and month start a year earlier
// (a day the month lacks, 29 February, matches nothing).
inline QString MonthStart() {
    return QStringLiteral("SUBSTR(:ASALE_DATE, 1, 6) || '01'");
}
inline QString LastYearDay() {
    return QStringLiteral(
        "(SELECT "
        "TO_CHAR(ADD_MONTHS(:ASALE_DATE, -12), 'YYYYMM') || SUBSTR(:ASALE_DATE, 7, 2)"
        " FROM DUAL)");
}
inline QString LastYearMonthStart() {
    return QStringLiteral("(SELECT "
                          "TO_CHAR(ADD_MONTHS(:ASALE_DATE, -12), 'YYYYMM') || '01'"
                          " FROM DUAL)");
}
inline QString YearStart() {
    return QStringLiteral("(SELECT "
                          "FN_GET_YTD_DATE(TO_CHAR(TO_DATE(:ASALE_DATE), 'YYYYMMDD'), 'F')"
                          " FROM DUAL)");
}
inline QString YearEnd() {
    return QStringLiteral("(SELECT "
                          "FN_GET_YTD_DATE(TO_CHAR(TO_DATE(:ASALE_DATE), 'YYYYMMDD'), 'T')"
                          " FROM DUAL)");
}
inline QString MonthEnd() {
    return QStringLiteral("(SELECT "
                          "TO_CHAR(LAST_DAY(:ASALE_DATE), 'YYYYMMDD')"
                          " FROM DUAL)");
}
inline QString PreviousMonthEnd() {
    return QStringLiteral("(SELECT "
                          "TO_CHAR(LAST_DAY(ADD_MONTHS(:ASALE_DATE, -1)), 'YYYYMMDD')"
                          " FROM DUAL)");
}

// A ratio in per cent to one decimal, 0 on a zero base.
inline QString Ratio(const QString &figure, const QString &base) {
    return QStringLiteral("NVL(ROUND(DECODE(%2, 0, 0, %1 / %2 * 100), 1), 0)").arg(figure, base);
}

} // namespace kelo::screens::sales
