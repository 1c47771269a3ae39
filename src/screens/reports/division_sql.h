#pragma once

// Statement fragments the division statistics reports share. Each is fixed text of the
// code (no value is ever spliced in); the business date is the bound :ASALE_DATE.
//
// The five periods of a business date D, as the common table P holds them:
//   Today          SALE_DATE = D
//   MTD            the first of D's month to D                      (M_FROM .. D)
//   YTD            the first day of D's business year to D          (Y_FROM .. D)
//   Last year MTD  the first of the month a year before to the day
//                  with D's day number in that month                (LM_FROM .. LY_DAY)
//   Last year YTD  the first day of that business year to that day  (LY_FROM .. LY_DAY)
// On 29 February the last year's day is the 29th of a February without one: as text it
// sorts after the 28th, so the whole month is covered.
//
// LY_DATE is the date a year before D as the calendar gives it (ADD_MONTHS): the 28th on
// 29 February, and the 29th of a leap February on the 28th of the February after it.
//
// Budgets: the month's budget (M_FROM .. M_TO) prorated to D's day (Budget MTD =
// ROUND(month / days of the month * day of D)) and the budget of the business year's
// earlier months (Y_FROM .. the day before M_FROM); Budget YTD = earlier + Budget MTD.
// Variances: actual - budget, and actual as a percentage of budget to one decimal, 0
// when the budget is 0.

#include <QString>
#include <QStringList>

namespace kelo::screens::division {

// The common table P: D, M_FROM, M_TO, Y_FROM, LM_FROM, LY_DAY, LY_DATE, LY_FROM,
// MONTH_DAYS, DAY_NO.
QString Periods();

// NAME_T, NAME_M, NAME_Y, NAME_LM, NAME_LY: the value summed over the five periods, over
// rows of alias S (their SALE_DATE) read from P.LY_FROM to P.D. Last year's periods end
// at the column lastYearEnd of P (LY_DAY or LY_DATE).
QString PeriodSums(const QString &value, const QString &name,
                   const QString &lastYearEnd = QStringLiteral("LY_DAY"));

// NAME_MONTH, NAME_EARLIER: the budget value of D's month and of the earlier months of
// the business year, over rows of alias B read from P.Y_FROM to P.M_TO.
QString BudgetSums(const QString &value, const QString &name);

// The pattern once per name, "%1" replaced by the name, joined as a column list.
QString Each(const QString &pattern, const QStringList &names);

// The five period suffixes T, M, Y, LM, LY appended to each measure.
QStringList PeriodColumns(const QStringList &measures);
// The suffixes MONTH and EARLIER appended to each budget measure.
QStringList BudgetColumns(const QStringList &measures);

// The eleven figure columns (ACTUAL_TODAY .. LAST_YEAR_YTD) of a row of alias F with the
// columns A_T, A_M, A_Y, A_LM, A_LY, B_MTD and B_YTD.
QString FigureColumns();

// Revenue and budget per outlet, the common tables P, ACTUALS, BUDGETS and OUTLETS:
// OUTLETS has UPJANG_CODE, A_T .. A_LY (NET_AMT of SA030MS) and B_MONTH, B_EARLIER
// (SALE_AMT of JH010MS), one row per outlet with either.
QString OutletRevenue();
// The columns of OUTLETS (alias O) summed, 0 when there are no rows.
QString OutletSums();
// B_MTD and B_YTD of a row of the given alias with B_MONTH and B_EARLIER, by the budget
// rules (P in scope).
QString AmountBudgets(const QString &alias);

// Figures per group, code and division with a total per group and code, the common
// tables P, ACTUALS, BUDGETS, [ROOMS], KEYS, DIVISIONS, LEVELS and W. W has GRP, CODE,
// DIVISION (NULL on the totals), the period sums REV (NET_AMT), OCC (ETC_RMS), GST
// (GUESTS), TEAM (GOLF_TEAM) and AV (AVAILABLE_RMS of SA020MS, on the totals only, 0
// without rooms), the budget sums BA (SALE_AMT), BR (ROOMS), BG (GUESTS) with
// NAME_PM, the month's budget prorated to D (not rounded).
//   group, code: expressions over the outlet master J; outlets: the condition on J.
QString KeyedFigures(const QString &group, const QString &code, const QString &outlets,
                     bool withRooms);

// Row kinds of the outlet blocks (V over W and the S0010 entries up to lastKind):
// 1 "Revenue" per division and in total, 2 "Average Rate" (revenue per guest), 3
// "Guest", 4 "Team" (golf teams, only for summary outlet 2001); ratios are formed from
// the summed amounts, their budgets from the period budgets. V has GRP, CODE, DIVISION,
// ROWNO, A_T .. A_LY, B_MTD, B_YTD.
QString RevenueKinds(const QString &lastKind);

// The row columns of an outlet block from V (alias F) with the division names (alias N,
// S0008): ROWNO, ROWNO_NAME, DIVISION ('999' on the totals), DIVISION_NAME ("<Total>" on
// the revenue total, empty on the other totals) and the eleven figures.
QString OutletRowColumns();

// The list statement of the summary-outlet blocks: per key (named keyColumn) and summary
// outlet (UPJANG_CODE, with its UPJANG_ENG_NAME as UPJANG_NAME) the row kinds up to
// lastKind, ordered by key, the summary outlet's MIS_DISPLAY_SEQ, row kind and division.
QString OutletBlocks(const QString &keyColumn, const QString &group, const QString &outlets,
                     const QString &lastKind);

} // namespace kelo::screens::division
