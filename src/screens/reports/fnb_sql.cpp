#include "screens/reports/fnb_sql.h"

#include "screens/common/periods.h"

namespace kelo::screens::fnb {

namespace {

QString Sql(const char *text) {
    return QString::fromUtf8(text).trimmed();
}

struct Measure {
    const char *name;
    const char *column;
};

// The F&B index columns, by the short names the levels use.
const Measure kMeasures[] = {
    {"IH", "IH_COVER"},      {"WI", "WI_COVER"},         {"GT", "TOTAL_COVER"},
    {"RF", "FOOD_REVENUE"},  {"RB", "BEVERAGE_REVENUE"}, {"RO", "OTHER_REVENUE"},
    {"RT", "TOTAL_REVENUE"},
};

struct WindowText {
    const char *suffix;
    const char *condition; // on A.SALE_DATE and P
};

WindowText Text(Window w) {
    switch (w) {
    case Window::Today:
        return {"T", "A.SALE_DATE = P.D"};
    case Window::MonthToDate:
        return {"M", "A.SALE_DATE BETWEEN P.M_FROM AND P.D"};
    case Window::YearToDate:
        return {"Y", "A.SALE_DATE BETWEEN P.Y_FROM AND P.D"};
    case Window::LastYearToday:
        return {"LT", "A.SALE_DATE = P.LY_DATE"};
    case Window::ThisMonth:
        return {"TM", "SUBSTR(A.SALE_DATE, 1, 6) = P.MON"};
    case Window::LastYearMonth:
        return {"LM", "SUBSTR(A.SALE_DATE, 1, 6) = P.LY_MON"};
    case Window::LastYearToDate:
        return {"LY", "A.SALE_DATE BETWEEN P.LY_FROM AND P.LY_DATE"};
    }
    return {"", ""};
}

bool ReachesLastYear(const QList<Window> &windows) {
    for (Window w : windows)
        if (w == Window::LastYearToday || w == Window::LastYearMonth || w == Window::LastYearToDate)
            return true;
    return false;
}

// The figure column names, measure by window: IH_T, WI_T, ...
QStringList Columns(const QList<Window> &windows) {
    QStringList out;
    for (Window w : windows)
        for (const Measure &m : kMeasures)
            out << QLatin1String(m.name) + u'_' + QLatin1String(Text(w).suffix);
    return out;
}

QString Joined(const QStringList &parts) {
    return parts.join(QStringLiteral(",\n           "));
}

// SUM(name) AS name for each column.
QString Sums(const QStringList &columns) {
    QStringList out;
    for (const QString &c : columns)
        out << QStringLiteral("SUM(%1) AS %1").arg(c);
    return Joined(out);
}

} // namespace

QString DivisionRows() {
    return Sql(R"sql(
SELECT B.DETAIL,
       NVL(A.ITEM1, '') || ' (' || NVL(B.DETAIL_NAME, '') || ')' AS DETAIL_NAME
FROM ZX010MS A
JOIN ZX010MS B ON B.HEAD = 'S0003' AND B.DETAIL BETWEEN '200' AND '299' AND B.DETAIL_NAME > ' '
WHERE A.HEAD = 'S0002'
  AND A.DETAIL = '20'
ORDER BY B.DETAIL
)sql");
}

QString Levels(const QList<Window> &windows, bool grandTotal, bool budgets) {
    QStringList sums;
    for (Window w : windows)
        for (const Measure &m : kMeasures)
            sums << QStringLiteral("SUM(CASE WHEN %1 THEN NVL(A.%2, 0) ELSE 0 END) AS %3_%4")
                        .arg(QLatin1String(Text(w).condition), QLatin1String(m.column),
                             QLatin1String(m.name), QLatin1String(Text(w).suffix));
    const QStringList columns = Columns(windows);
    // Last year's windows reach back to last year's business year and month.
    const QString from = ReachesLastYear(windows)
                             ? QStringLiteral("LEAST(P.Y_FROM, P.LY_FROM, P.LM_FROM)")
                             : QStringLiteral("P.Y_FROM");

    QString text = periods::Table() + QStringLiteral(",\n") +
                   Sql(R"sql(
R AS (
    SELECT J.MIS_UPJANG_GUBUN2 AS GRP,
           NVL(J.MIS_SUM_UPJANG_CODE, J.UPJANG_CODE) AS CODE,
           A.GUBUN,
           %1
    FROM P
    JOIN SA040MS A ON A.SALE_DATE BETWEEN %2 AND P.M_TO
    JOIN JA010MS J ON J.UPJANG_CODE = A.UPJANG_CODE
    JOIN ZX010MS C ON C.HEAD = 'S0009' AND C.DETAIL = A.GUBUN
    WHERE J.MIS_UPJANG_GUBUN2 BETWEEN '200' AND '299'
    GROUP BY J.MIS_UPJANG_GUBUN2, NVL(J.MIS_SUM_UPJANG_CODE, J.UPJANG_CODE), A.GUBUN
),
)sql")
                       .arg(Joined(sums), from);

    // Budgets of the summary outlets that have F&B index rows.
    QString budgetOutlet = QStringLiteral("NULL AS B_M,\n           NULL AS B_Y");
    QString budgetDivision = budgetOutlet, budgetAll = budgetOutlet;
    if (budgets) {
        text += u'\n' + Sql(R"sql(
BU AS (
    SELECT K.GRP,
           K.CODE,
           NVL(SUM(CASE WHEN SUBSTR(H.SALE_DATE, 1, 6) = P.MON THEN NVL(H.SALE_AMT, 0) ELSE 0 END), 0) AS B_M,
           NVL(SUM(CASE WHEN H.SALE_DATE <= P.D THEN NVL(H.SALE_AMT, 0) ELSE 0 END), 0) AS B_Y
    FROM (SELECT DISTINCT GRP, CODE FROM R) K
    CROSS JOIN P
    LEFT JOIN JA010MS J ON J.MIS_UPJANG_GUBUN2 = K.GRP
                       AND NVL(J.MIS_SUM_UPJANG_CODE, J.UPJANG_CODE) = K.CODE
    LEFT JOIN JH010MS H ON H.UPJANG_CODE = J.UPJANG_CODE
                       AND H.SALE_DATE BETWEEN P.Y_FROM AND P.M_TO
    GROUP BY K.GRP, K.CODE
),
)sql");
        budgetOutlet = QStringLiteral(
            "(SELECT U.B_M FROM BU U WHERE U.GRP = R.GRP AND U.CODE = R.CODE) AS B_M,\n"
            "           (SELECT U.B_Y FROM BU U WHERE U.GRP = R.GRP AND U.CODE = R.CODE) AS B_Y");
        budgetDivision =
            QStringLiteral("(SELECT SUM(U.B_M) FROM BU U WHERE U.GRP = R.GRP) AS B_M,\n"
                           "           (SELECT SUM(U.B_Y) FROM BU U WHERE U.GRP = R.GRP) AS B_Y");
        budgetAll = QStringLiteral("(SELECT SUM(U.B_M) FROM BU U) AS B_M,\n"
                                   "           (SELECT SUM(U.B_Y) FROM BU U) AS B_Y");
    }

    const QString noBudget = QStringLiteral("NULL AS B_M,\n           NULL AS B_Y");
    text +=
        u'\n' + Sql(R"sql(
L AS (
    SELECT 1 AS LVL, 0 AS SUB, R.GRP, R.CODE, R.GUBUN,
           %1,
           %3
    FROM R
    UNION ALL
    SELECT 2, 1, R.GRP, R.CODE, '9',
           %2,
           %4
    FROM R
    GROUP BY R.GRP, R.CODE
    UNION ALL
    SELECT 3, 0, R.GRP, NULL, R.GUBUN,
           %2,
           %3
    FROM R
    GROUP BY R.GRP, R.GUBUN
    UNION ALL
    SELECT 4, 1, R.GRP, NULL, '9',
           %2,
           %5
    FROM R
    GROUP BY R.GRP
)sql")
                    .arg(Joined(columns), Sums(columns), noBudget, budgetOutlet, budgetDivision);
    if (grandTotal)
        text += u'\n' + Sql(R"sql(
    UNION ALL
    SELECT 5, 0, '220', NULL, R.GUBUN,
           %1,
           %2
    FROM R
    GROUP BY R.GUBUN
    UNION ALL
    SELECT 6, 1, '220', NULL, '9',
           %1,
           %3
    FROM R
    HAVING COUNT(*) > 0
)sql")
                            .arg(Sums(columns), noBudget, budgetAll);
    text += QStringLiteral("\n)");
    return text;
}

QString Ratio(const QString &a, const QString &b) {
    return QStringLiteral(
               "CASE WHEN %2 = 0 THEN CASE WHEN %1 = 0 THEN 0 ELSE 1 END ELSE %1 / %2 END")
        .arg(a, b);
}

QString Percent(const QString &a, const QString &b) {
    return QStringLiteral("TO_CHAR(ROUND(%1, 3) * 100) || '%'").arg(Ratio(a, b));
}

QString NameColumns() {
    return Sql(R"sql(
CASE WHEN F.LVL IN (5, 6) THEN 'Total'
            WHEN F.LVL IN (3, 4) THEN NVL(D.DETAIL_NAME, '') || ' Total'
            ELSE O.UPJANG_ENG_NAME
       END AS UPJANG_NAME,
       CASE WHEN F.SUB = 1 THEN '<Sub Total>' ELSE C.DETAIL_NAME END AS GUBUN_NAME
)sql");
}

QString NameJoins() {
    return Sql(R"sql(
LEFT JOIN JA010MS O ON O.UPJANG_CODE = F.CODE
LEFT JOIN ZX010MS C ON C.HEAD = 'S0009' AND C.DETAIL = F.GUBUN
LEFT JOIN ZX010MS D ON D.HEAD = 'S0003' AND D.DETAIL = F.GRP
)sql");
}

QString BlockRows(bool list, const QList<Window> &windows, bool grandTotal, bool budgets,
                  const QString &figures) {
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
        .arg(Levels(windows, grandTotal && !list, budgets), NameColumns(), figures, NameJoins(),
             list ? QStringLiteral("1, 2")
                  : (grandTotal ? QStringLiteral("3, 4, 5, 6") : QStringLiteral("3, 4")))
        .trimmed();
}

} // namespace kelo::screens::fnb
