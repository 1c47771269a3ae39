#include "screens/reports/division_sql.h"

#include "screens/common/periods.h"

namespace kelo::screens::division {

namespace {

const QStringList kPeriodSuffixes = {QStringLiteral("T"), QStringLiteral("M"), QStringLiteral("Y"),
                                     QStringLiteral("LM"), QStringLiteral("LY")};

const QStringList kActualMeasures = {QStringLiteral("REV"), QStringLiteral("OCC"),
                                     QStringLiteral("GST"), QStringLiteral("TEAM")};
const QStringList kBudgetMeasures = {QStringLiteral("BA"), QStringLiteral("BR"),
                                     QStringLiteral("BG")};

QString Sql(const char *text) {
    return QString::fromUtf8(text).trimmed();
}

} // namespace

QString Periods() {
    return periods::Table();
}

QString PeriodSums(const QString &value, const QString &name, const QString &lastYearEnd) {
    return Sql(R"sql(
NVL(SUM(CASE WHEN S.SALE_DATE = P.D THEN NVL(%1, 0) ELSE 0 END), 0) AS %2_T,
           NVL(SUM(CASE WHEN S.SALE_DATE >= P.M_FROM THEN NVL(%1, 0) ELSE 0 END), 0) AS %2_M,
           NVL(SUM(CASE WHEN S.SALE_DATE >= P.Y_FROM THEN NVL(%1, 0) ELSE 0 END), 0) AS %2_Y,
           NVL(SUM(CASE WHEN S.SALE_DATE BETWEEN P.LM_FROM AND P.%3 THEN NVL(%1, 0) ELSE 0 END), 0) AS %2_LM,
           NVL(SUM(CASE WHEN S.SALE_DATE BETWEEN P.LY_FROM AND P.%3 THEN NVL(%1, 0) ELSE 0 END), 0) AS %2_LY
)sql")
        .arg(value, name, lastYearEnd);
}

QString BudgetSums(const QString &value, const QString &name) {
    return Sql(R"sql(
NVL(SUM(CASE WHEN B.SALE_DATE >= P.M_FROM THEN NVL(%1, 0) ELSE 0 END), 0) AS %2_MONTH,
           NVL(SUM(CASE WHEN B.SALE_DATE < P.M_FROM THEN NVL(%1, 0) ELSE 0 END), 0) AS %2_EARLIER
)sql")
        .arg(value, name);
}

QString Each(const QString &pattern, const QStringList &names) {
    QStringList out;
    for (const QString &n : names)
        out << QString(pattern).replace(QStringLiteral("%1"), n);
    return out.join(QStringLiteral(",\n           "));
}

QStringList PeriodColumns(const QStringList &measures) {
    QStringList out;
    for (const QString &m : measures)
        for (const QString &s : kPeriodSuffixes)
            out << m + u'_' + s;
    return out;
}

QStringList BudgetColumns(const QStringList &measures) {
    QStringList out;
    for (const QString &m : measures)
        out << m + QStringLiteral("_MONTH") << m + QStringLiteral("_EARLIER");
    return out;
}

QString FigureColumns() {
    return Sql(R"sql(
F.A_T AS ACTUAL_TODAY,
       F.A_M AS ACTUAL_MTD,
       F.B_MTD AS BUDGET_MTD,
       F.A_M - F.B_MTD AS VARIANCE_MTD1,
       CASE WHEN F.B_MTD = 0 THEN 0 ELSE ROUND(F.A_M * 100.0 / F.B_MTD, 1) END AS VARIANCE_MTD2,
       F.A_Y AS ACTUAL_YTD,
       F.B_YTD AS BUDGET_YTD,
       F.A_Y - F.B_YTD AS VARIANCE_YTD1,
       CASE WHEN F.B_YTD = 0 THEN 0 ELSE ROUND(F.A_Y * 100.0 / F.B_YTD, 1) END AS VARIANCE_YTD2,
       F.A_LM AS LAST_YEAR_MTD,
       F.A_LY AS LAST_YEAR_YTD
)sql");
}

QString OutletRevenue() {
    return Sql(R"sql(
%1,
ACTUALS AS (
    SELECT S.UPJANG_CODE,
           %2
    FROM P
    JOIN SA030MS S ON S.SALE_DATE BETWEEN P.LY_FROM AND P.D
    GROUP BY S.UPJANG_CODE
),
BUDGETS AS (
    SELECT B.UPJANG_CODE,
           %3
    FROM P
    JOIN JH010MS B ON B.SALE_DATE BETWEEN P.Y_FROM AND P.M_TO
    GROUP BY B.UPJANG_CODE
),
OUTLETS AS (
    SELECT K.UPJANG_CODE,
           %4
    FROM (SELECT UPJANG_CODE FROM ACTUALS UNION SELECT UPJANG_CODE FROM BUDGETS) K
    LEFT JOIN ACTUALS A ON A.UPJANG_CODE = K.UPJANG_CODE
    LEFT JOIN BUDGETS B ON B.UPJANG_CODE = K.UPJANG_CODE
)
)sql")
        .arg(Periods(), PeriodSums(QStringLiteral("S.NET_AMT"), QStringLiteral("A")),
             BudgetSums(QStringLiteral("B.SALE_AMT"), QStringLiteral("B")),
             Each(QStringLiteral("NVL(A.%1, 0) AS %1"), PeriodColumns({QStringLiteral("A")})) +
                 QStringLiteral(",\n           ") +
                 Each(QStringLiteral("NVL(B.%1, 0) AS %1"), BudgetColumns({QStringLiteral("B")})));
}

QString OutletSums() {
    return Each(QStringLiteral("NVL(SUM(O.%1), 0) AS %1"),
                PeriodColumns({QStringLiteral("A")}) + BudgetColumns({QStringLiteral("B")}));
}

QString AmountBudgets(const QString &alias) {
    return Sql(R"sql(
ROUND(%1.B_MONTH * 1.0 / P.MONTH_DAYS * P.DAY_NO) AS B_MTD,
           %1.B_EARLIER + ROUND(%1.B_MONTH * 1.0 / P.MONTH_DAYS * P.DAY_NO) AS B_YTD
)sql")
        .arg(alias);
}

QString KeyedFigures(const QString &group, const QString &code, const QString &outlets,
                     bool withRooms) {
    const QString rooms =
        withRooms
            ? Sql(R"sql(
ROOMS AS (
    SELECT %1 AS GRP,
           %2 AS CODE,
           %3
    FROM P
    JOIN SA020MS S ON S.SALE_DATE BETWEEN P.LY_FROM AND P.D
    JOIN JA010MS J ON J.UPJANG_CODE = S.UPJANG_CODE
    WHERE %4
    GROUP BY %1, %2
),
)sql")
                      .arg(group, code,
                           PeriodSums(QStringLiteral("S.AVAILABLE_RMS"), QStringLiteral("AV")),
                           outlets) +
                  u'\n'
            : QString();
    const QString roomKeys =
        withRooms ? QStringLiteral("\n    UNION\n    SELECT GRP, CODE, NULL FROM ROOMS")
                  : QString();
    const QString roomColumns =
        withRooms
            ? Each(QStringLiteral("NVL(R.%1, 0) AS %1"), PeriodColumns({QStringLiteral("AV")}))
            : Each(QStringLiteral("0 AS %1"), PeriodColumns({QStringLiteral("AV")}));
    const QString roomJoin =
        withRooms ? QStringLiteral("\n    LEFT JOIN ROOMS R ON R.GRP = K.GRP AND R.CODE = K.CODE "
                                   "AND K.DIVISION IS NULL")
                  : QString();
    const QStringList sums = PeriodColumns(kActualMeasures + QStringList{QStringLiteral("AV")}) +
                             BudgetColumns(kBudgetMeasures);
    return Sql(R"sql(
%1,
ACTUALS AS (
    SELECT %2 AS GRP,
           %3 AS CODE,
           S.DIVISION,
           %4,
           %5,
           %6,
           %7
    FROM P
    JOIN SA030MS S ON S.SALE_DATE BETWEEN P.LY_FROM AND P.D
    JOIN JA010MS J ON J.UPJANG_CODE = S.UPJANG_CODE
    WHERE %8
    GROUP BY %2, %3, S.DIVISION
),
BUDGETS AS (
    SELECT %2 AS GRP,
           %3 AS CODE,
           B.DIVISION,
           %9,
           %10,
           %11
    FROM P
    JOIN JH010MS B ON B.SALE_DATE BETWEEN P.Y_FROM AND P.M_TO
    JOIN JA010MS J ON J.UPJANG_CODE = B.UPJANG_CODE
    WHERE %8
    GROUP BY %2, %3, B.DIVISION
),
%12KEYS AS (
    SELECT GRP, CODE, DIVISION FROM ACTUALS
    UNION
    SELECT GRP, CODE, DIVISION FROM BUDGETS%13
),
DIVISIONS AS (
    SELECT K.GRP,
           K.CODE,
           K.DIVISION,
           %14,
           %15,
           %16
    FROM KEYS K
    LEFT JOIN ACTUALS A ON A.GRP = K.GRP AND A.CODE = K.CODE AND A.DIVISION = K.DIVISION
    LEFT JOIN BUDGETS B ON B.GRP = K.GRP AND B.CODE = K.CODE AND B.DIVISION = K.DIVISION%17
),
LEVELS AS (
    SELECT *
    FROM DIVISIONS
    WHERE DIVISION IS NOT NULL
    UNION ALL
    SELECT GRP,
           CODE,
           NULL,
           %18
    FROM DIVISIONS
    GROUP BY GRP, CODE
),
W AS (
    SELECT L.*,
           %19
    FROM LEVELS L
    CROSS JOIN P
)
)sql")
        .arg(Periods(), group, code, PeriodSums(QStringLiteral("S.NET_AMT"), QStringLiteral("REV")),
             PeriodSums(QStringLiteral("S.ETC_RMS"), QStringLiteral("OCC")),
             PeriodSums(QStringLiteral("S.GUESTS"), QStringLiteral("GST")),
             PeriodSums(QStringLiteral("S.GOLF_TEAM"), QStringLiteral("TEAM")), outlets,
             BudgetSums(QStringLiteral("B.SALE_AMT"), QStringLiteral("BA")))
        .arg(BudgetSums(QStringLiteral("B.ROOMS"), QStringLiteral("BR")),
             BudgetSums(QStringLiteral("B.GUESTS"), QStringLiteral("BG")), rooms, roomKeys,
             Each(QStringLiteral("NVL(A.%1, 0) AS %1"), PeriodColumns(kActualMeasures)),
             roomColumns,
             Each(QStringLiteral("NVL(B.%1, 0) AS %1"), BudgetColumns(kBudgetMeasures)), roomJoin,
             Each(QStringLiteral("SUM(%1)"), sums),
             Each(QStringLiteral("L.%1_MONTH * 1.0 / P.MONTH_DAYS * P.DAY_NO AS %1_PM"),
                  kBudgetMeasures));
}

QString RevenueKinds(const QString &lastKind) {
    static const char *const kActual = R"sql(
CASE K.DETAIL
               WHEN '1' THEN W.REV_%1
               WHEN '2' THEN CASE WHEN W.GST_%1 = 0 THEN 0 ELSE ROUND(W.REV_%1 * 1.0 / W.GST_%1, 0) END
               WHEN '3' THEN W.GST_%1
               WHEN '4' THEN W.TEAM_%1
               ELSE 0
           END AS A_%1
)sql";
    QStringList actuals;
    for (const QString &period : kPeriodSuffixes)
        actuals << Sql(kActual).arg(period);
    return Sql(R"sql(
V AS (
    SELECT W.GRP,
           W.CODE,
           W.DIVISION,
           K.DETAIL AS ROWNO,
           %1,
           CASE K.DETAIL
               WHEN '1' THEN ROUND(W.BA_PM)
               WHEN '2' THEN CASE WHEN W.BG_PM = 0 THEN 0 ELSE ROUND(W.BA_PM / W.BG_PM, 0) END
               WHEN '3' THEN ROUND(W.BG_PM)
               ELSE 0
           END AS B_MTD,
           CASE K.DETAIL
               WHEN '1' THEN W.BA_EARLIER + ROUND(W.BA_PM)
               WHEN '2' THEN CASE WHEN W.BG_EARLIER + W.BG_PM = 0 THEN 0
                                  ELSE ROUND((W.BA_EARLIER + W.BA_PM) / (W.BG_EARLIER + W.BG_PM), 0) END
               WHEN '3' THEN W.BG_EARLIER + ROUND(W.BG_PM)
               ELSE 0
           END AS B_YTD
    FROM W
    JOIN ZX010MS K ON K.HEAD = 'S0010' AND K.DETAIL BETWEEN '1' AND '%2'
    WHERE (W.DIVISION IS NULL OR K.DETAIL = '1')
      AND (K.DETAIL <> '4' OR W.CODE = '2001')
)
)sql")
        .arg(actuals.join(QStringLiteral(",\n           ")), lastKind);
}

QString OutletRowColumns() {
    return Sql(R"sql(
F.ROWNO,
       CASE F.ROWNO WHEN '1' THEN 'Revenue' WHEN '2' THEN 'Average Rate' WHEN '3' THEN 'Guest' WHEN '4' THEN 'Team' END AS ROWNO_NAME,
       NVL(F.DIVISION, '999') AS DIVISION,
       CASE WHEN F.DIVISION IS NOT NULL THEN N.DETAIL_NAME WHEN F.ROWNO = '1' THEN '<Total>' END AS DIVISION_NAME,
       %1
)sql")
        .arg(FigureColumns());
}

QString OutletBlocks(const QString &keyColumn, const QString &group, const QString &outlets,
                     const QString &lastKind) {
    return Sql(R"sql(
WITH %1,
%2
SELECT F.GRP AS %3,
       F.CODE AS UPJANG_CODE,
       O.UPJANG_ENG_NAME AS UPJANG_NAME,
       %4
FROM V F
LEFT JOIN JA010MS O ON O.UPJANG_CODE = F.CODE
LEFT JOIN ZX010MS N ON N.HEAD = 'S0008' AND N.DETAIL = F.DIVISION
ORDER BY F.GRP, O.MIS_DISPLAY_SEQ, F.ROWNO, DIVISION
)sql")
        .arg(KeyedFigures(group, QStringLiteral("J.MIS_SUM_UPJANG_CODE"), outlets, false),
             RevenueKinds(lastKind), keyColumn, OutletRowColumns());
}

} // namespace kelo::screens::division
