#include "screens/common/periods.h"

#include <iterator>

namespace kelo::screens::periods {

namespace {

struct Definition {
    Bound bound;
    const char *column;
    const char *expression;
    bool callsFunctions;
};

const Definition kBounds[] = {
    {Bound::Date, "D", ":ASALE_DATE", false},
    {Bound::Month, "MON", "SUBSTR(:ASALE_DATE, 1, 6)", false},
    {Bound::MonthStart, "M_FROM", "SUBSTR(:ASALE_DATE, 1, 6) || '01'", false},
    {Bound::MonthEnd, "M_TO", "TO_CHAR(LAST_DAY(:ASALE_DATE), 'YYYYMMDD')", true},
    {Bound::PreviousMonthEnd, "PM_TO", "TO_CHAR(LAST_DAY(ADD_MONTHS(:ASALE_DATE, -1)), 'YYYYMMDD')",
     true},
    {Bound::YearStart, "Y_FROM", "FN_GET_YTD_DATE(:ASALE_DATE, 'F')", true},
    {Bound::YearEnd, "Y_TO", "FN_GET_YTD_DATE(:ASALE_DATE, 'T')", true},
    {Bound::LastYearDate, "LY_DATE", "TO_CHAR(ADD_MONTHS(:ASALE_DATE, -12), 'YYYYMMDD')", true},
    {Bound::LastYearDay, "LY_DAY",
     "TO_CHAR(ADD_MONTHS(:ASALE_DATE, -12), 'YYYYMM') || SUBSTR(:ASALE_DATE, 7, 2)", true},
    {Bound::LastYearMonth, "LY_MON", "TO_CHAR(ADD_MONTHS(:ASALE_DATE, -12), 'YYYYMM')", true},
    {Bound::LastYearMonthStart, "LM_FROM",
     "TO_CHAR(ADD_MONTHS(:ASALE_DATE, -12), 'YYYYMM') || '01'", true},
    {Bound::LastYearStart, "LY_FROM",
     "FN_GET_YTD_DATE(TO_CHAR(ADD_MONTHS(:ASALE_DATE, -12), 'YYYYMMDD'), 'F')", true},
    {Bound::MonthDays, "MONTH_DAYS", "TO_NUMBER(TO_CHAR(LAST_DAY(:ASALE_DATE), 'DD'))", true},
    {Bound::DayNo, "DAY_NO", "TO_NUMBER(SUBSTR(:ASALE_DATE, 7, 2))", false},
};

constexpr Bound kOrder[] = {
    Bound::Date,
    Bound::Month,
    Bound::MonthStart,
    Bound::MonthEnd,
    Bound::PreviousMonthEnd,
    Bound::YearStart,
    Bound::YearEnd,
    Bound::LastYearDate,
    Bound::LastYearDay,
    Bound::LastYearMonth,
    Bound::LastYearMonthStart,
    Bound::LastYearStart,
    Bound::MonthDays,
    Bound::DayNo,
};
static_assert(std::size(kOrder) == std::size(kBounds));

const Definition &Find(Bound bound) {
    return kBounds[int(bound)];
}

} // namespace

const Bound *begin() {
    return std::begin(kOrder);
}
const Bound *end() {
    return std::end(kOrder);
}

QString Expression(Bound bound) {
    return QString::fromUtf8(Find(bound).expression);
}

QString Column(Bound bound) {
    return QString::fromUtf8(Find(bound).column);
}

QString Scalar(Bound bound) {
    if (!Find(bound).callsFunctions)
        return Expression(bound);
    return QStringLiteral("(SELECT %1 FROM DUAL)").arg(Expression(bound));
}

QString Table() {
    QString columns;
    for (const Bound bound : All()) {
        if (!columns.isEmpty())
            columns += QStringLiteral(",\n           ");
        columns += Expression(bound) + QStringLiteral(" AS ") + Column(bound);
    }
    return QStringLiteral("P AS MATERIALIZED (\n    SELECT %1\n    FROM DUAL\n)").arg(columns);
}

} // namespace kelo::screens::periods
