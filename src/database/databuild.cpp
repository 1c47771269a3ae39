#include "database/databuild.h"

#include "common/functions.h"
#include "db/query.h"

#include <QDate>

namespace kelo::database {

namespace {

// Runs a statement with the build's parameters that it names.
void run(db::Connection &connection, const QString &sql, const DataBuild &build,
         const QString &yearFrom = QString()) {
    db::Query q(connection);
    q.setSql(sql);
    const std::pair<const char *, QString> params[] = {{"AFROM", build.from},
                                                       {"ATO", build.to},
                                                       {"AU_EMP_NO", build.empNo},
                                                       {"AU_IP", build.ip},
                                                       {"AYEAR_FROM", yearFrom}};
    for (const auto &[name, value] : params)
        if (q.hasParam(QLatin1String(name)))
            q.setParam(QLatin1String(name), value);
    q.exec();
}

void deleteDates(db::Connection &connection, const QStringList &tables, const DataBuild &build) {
    for (const QString &table : tables) {
        const QString sql = QStringLiteral(R"sql(
            DELETE FROM %1
            WHERE SALE_DATE BETWEEN :AFROM AND :ATO
        )sql");
        run(connection, sql.arg(table), build);
    }
}

// The point-of-sale lines of the dates summed per outlet, item and meal period, with the
// item's revenue division and item group. The item is the JB010MS row in force on the sale
// date: the latest DATE_FROM on or before it, so that rows of one item with overlapping
// validity never count a line twice; a line whose item is unknown keeps its figures with an
// empty division and group.
const QString kLines = QStringLiteral(R"sql(
    WITH LINES AS (
        SELECT L.SALE_DATE, L.UPJANG_CODE, L.MEAL_GUBUN, B.DIVISION, B.MENU_GUBUN_CODE, L.BILLS,
            L.GUESTS, L.INHOUSE, L.NET_AMT, L.VAT_AMT, L.SVC_AMT
        FROM (
            SELECT SALE_DATE, UPJANG_CODE, MENU_CODE, MEAL_GUBUN, COUNT(DISTINCT BILL_NO) AS BILLS,
                SUM(NVL(KOREAN_QTY, 0) + NVL(FOREIGN_QTY, 0)) AS GUESTS,
                SUM(NVL(INHOUSE_QTY, 0)) AS INHOUSE, SUM(NVL(NET_AMT, 0)) AS NET_AMT,
                SUM(NVL(VAT_AMT, 0)) AS VAT_AMT, SUM(NVL(TIP_AMT, 0)) AS SVC_AMT
            FROM IA010MS
            WHERE SALE_DATE BETWEEN :AFROM AND :ATO
            GROUP BY SALE_DATE, UPJANG_CODE, MENU_CODE, MEAL_GUBUN
        ) L
        LEFT JOIN JB010MS B ON B.UPJANG_CODE = L.UPJANG_CODE
            AND B.MENU_CODE = L.MENU_CODE
            AND B.DATE_FROM = (
                SELECT MAX(C.DATE_FROM)
                FROM JB010MS C
                WHERE C.UPJANG_CODE = L.UPJANG_CODE
                    AND C.MENU_CODE = L.MENU_CODE
                    AND C.DATE_FROM <= L.SALE_DATE
            )
    )
)sql");

} // namespace

QString DataBuildRefusal(db::Connection &connection, const QString &from, const QString &to) {
    for (const QString &date : {from, to})
        if (date.size() != 8 || !IsValidDate(date))
            return QStringLiteral("영업일자 '%1'은(는) 올바른 일자(YYYYMMDD)가 아닙니다.")
                .arg(date);
    if (from > to)
        return QStringLiteral("영업일자 %1이(가) %2보다 늦습니다.").arg(from, to);
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
        SELECT COUNT(*)
        FROM ZX020MS
        WHERE CALN_DATE BETWEEN :AFROM AND :ATO
    )sql"));
    q.setParam(QStringLiteral("AFROM"), from);
    q.setParam(QStringLiteral("ATO"), to);
    q.open();
    const auto ymd = [](const QString &d) {
        return QDate::fromString(d, QStringLiteral("yyyyMMdd"));
    };
    if (q.integer(0) != ymd(from).daysTo(ymd(to)) + 1)
        return from == to
                   ? QStringLiteral("영업일자 %1이(가) 달력(ZX020MS)에 없습니다.").arg(from)
                   : QStringLiteral("영업일자 %1부터 %2까지의 달력(ZX020MS)이 빠져 있습니다.")
                         .arg(from, to);
    return QString();
}

void BuildDailyFigures(db::Connection &connection, const DataBuild &build) {
    deleteDates(connection,
                {QStringLiteral("SA020MS"), QStringLiteral("SA030MS"), QStringLiteral("SA040MS")},
                build);
    // Room counts per hotel: the inventory of every room type.
    run(connection, QStringLiteral(R"sql(
        INSERT INTO SA020MS (SALE_DATE, UPJANG_CODE, TOTAL_RMS, OOO_RMS, OOI_RMS, AVAILABLE_RMS,
            U_EMP_NO, U_DATE, U_IP)
        SELECT TASK_DATE, UPJANG_CODE, SUM(NVL(ROOM_CNT, 0)), SUM(NVL(BROKEN_CNT, 0)),
            SUM(NVL(INVENTORY_CNT, 0)),
            SUM(NVL(ROOM_CNT, 0) - NVL(BROKEN_CNT, 0) - NVL(INVENTORY_CNT, 0)), :AU_EMP_NO,
            SYSDATE(), :AU_IP
        FROM DE020MS
        WHERE TASK_DATE BETWEEN :AFROM AND :ATO
        GROUP BY TASK_DATE, UPJANG_CODE
    )sql"),
        build);
    // Sales per outlet and revenue division: the lines under their item's division ('90',
    // others, where the item has none), golf teams as the bills with a green fee (item group
    // '01'); the hotels' rooms sold in the rooms division '10' by guest type: '900' house use,
    // '910' complimentary, any other sold.
    run(connection, kLines + QStringLiteral(R"sql(
        INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, HU_RMS, COMP_RMS, ETC_RMS, TOTAL_RMS,
            GOLF_TEAM, GUESTS, SALE_AMT, NET_AMT, VAT_AMT, SVC_AMT, ETC_AMT, U_EMP_NO, U_DATE, U_IP)
        SELECT F.SALE_DATE, F.UPJANG_CODE, F.DIVISION, SUM(F.HU_RMS), SUM(F.COMP_RMS),
            SUM(F.ETC_RMS), SUM(F.HU_RMS + F.COMP_RMS + F.ETC_RMS), SUM(F.GOLF_TEAM),
            SUM(F.GUESTS), SUM(F.NET_AMT + F.VAT_AMT + F.SVC_AMT), SUM(F.NET_AMT),
            SUM(F.VAT_AMT), SUM(F.SVC_AMT), 0, :AU_EMP_NO, SYSDATE(), :AU_IP
        FROM (
            SELECT I.SALE_DATE, I.UPJANG_CODE, NVL(I.DIVISION, '90') AS DIVISION, 0 AS HU_RMS,
                0 AS COMP_RMS, 0 AS ETC_RMS,
                DECODE(I.MENU_GUBUN_CODE, '01', I.BILLS, 0) AS GOLF_TEAM, I.GUESTS, I.NET_AMT,
                I.VAT_AMT, I.SVC_AMT
            FROM LINES I
            UNION ALL
            SELECT TASK_DATE, UPJANG_CODE, '10', DECODE(GUEST_TYPE, '900', NVL(ROOMS, 0), 0),
                DECODE(GUEST_TYPE, '910', NVL(ROOMS, 0), 0),
                DECODE(GUEST_TYPE, '900', 0, '910', 0, NVL(ROOMS, 0)), 0, 0, 0, 0, 0
            FROM DE030MS
            WHERE TASK_DATE BETWEEN :AFROM AND :ATO
        ) F
        GROUP BY F.SALE_DATE, F.UPJANG_CODE, F.DIVISION
    )sql"),
        build);
    // The F&B index of the F&B outlets (management division '20') per meal period: covers
    // from the head counts, revenue by item group ('10' food, '11' and '12' beverage).
    run(connection, kLines + QStringLiteral(R"sql(
        INSERT INTO SA040MS (SALE_DATE, UPJANG_CODE, GUBUN, IH_COVER, WI_COVER, TOTAL_COVER,
            FOOD_REVENUE, BEVERAGE_REVENUE, OTHER_REVENUE, TOTAL_REVENUE, U_EMP_NO, U_DATE, U_IP)
        SELECT I.SALE_DATE, I.UPJANG_CODE, I.MEAL_GUBUN, SUM(I.INHOUSE), SUM(I.GUESTS - I.INHOUSE),
            SUM(I.GUESTS), SUM(DECODE(I.MENU_GUBUN_CODE, '10', I.NET_AMT, 0)),
            SUM(DECODE(I.MENU_GUBUN_CODE, '11', I.NET_AMT, '12', I.NET_AMT, 0)),
            SUM(DECODE(I.MENU_GUBUN_CODE, '10', 0, '11', 0, '12', 0, I.NET_AMT)), SUM(I.NET_AMT),
            :AU_EMP_NO, SYSDATE(), :AU_IP
        FROM LINES I
        JOIN JA010MS J ON J.UPJANG_CODE = I.UPJANG_CODE
        WHERE J.MIS_UPJANG_GUBUN1 = '20'
            AND I.MEAL_GUBUN IS NOT NULL
        GROUP BY I.SALE_DATE, I.UPJANG_CODE, I.MEAL_GUBUN
    )sql"),
        build);
}

void BuildReportFigures(db::Connection &connection, const DataBuild &build) {
    deleteDates(connection, {QStringLiteral("SA090MS_NEW_2012"), QStringLiteral("SA090MS")}, build);
    run(connection, QStringLiteral(R"sql(
        INSERT INTO SA090MS_NEW_2012 (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, D_SVC_AMT)
        SELECT SALE_DATE, UPJANG_CODE, SUM(NVL(GUESTS, 0)), SUM(NVL(NET_AMT, 0)),
            SUM(NVL(SVC_AMT, 0))
        FROM SA030MS
        WHERE SALE_DATE BETWEEN :AFROM AND :ATO
        GROUP BY SALE_DATE, UPJANG_CODE
    )sql"),
        build);

    // The figures reach back to the start of the target year of last year's first day.
    db::Query start(connection);
    start.setSql(QStringLiteral(R"sql(
        SELECT FN_GET_YTD1_DATE(TO_CHAR(ADD_MONTHS(:AFROM, -12), 'YYYYMM') || '01', 'F')
        FROM DUAL
    )sql"));
    start.setParam(QStringLiteral("AFROM"), build.from);
    start.open();
    const QString yearFrom = start.text(0);

    // Every outlet with figures gets a point on each date and one on last year's day of it
    // (the same month and day a year earlier, which need not exist: 20030229 closes February
    // 2003), which knows the date it serves; running sums over the points and the daily
    // figures give each point its month and target year to date, and a date's row takes last
    // year's from the point that serves it. Month and year are found once per date, in a
    // table of their own (the server would otherwise work out the year's start again for
    // every point, after the join: about 0.5 s of the build on five years of figures).
    const QString month = QStringLiteral("PARTITION BY P.UPJANG_CODE, D.YM ORDER BY P.SALE_DATE");
    const QString year =
        QStringLiteral("PARTITION BY P.UPJANG_CODE, D.YEAR_FROM ORDER BY P.SALE_DATE");
    const QStringList sums = {
        QStringLiteral("DAY"),        QStringLiteral("GUESTS"),     QStringLiteral("NET_AMT"),
        QStringLiteral("SVC_AMT"),    QStringLiteral("M_GUESTS"),   QStringLiteral("M_NET_AMT"),
        QStringLiteral("M_SVC_AMT"),  QStringLiteral("Y_GUESTS"),   QStringLiteral("Y_NET_AMT"),
        QStringLiteral("Y_SVC_AMT"),  QStringLiteral("B_GUESTS"),   QStringLiteral("B_NET_AMT"),
        QStringLiteral("MB_GUESTS"),  QStringLiteral("MB_NET_AMT"), QStringLiteral("YB_GUESTS"),
        QStringLiteral("YB_NET_AMT"), QStringLiteral("T_GUESTS"),   QStringLiteral("T_NET_AMT"),
        QStringLiteral("LM_GUESTS"),  QStringLiteral("LM_NET_AMT"), QStringLiteral("LY_GUESTS"),
        QStringLiteral("LY_NET_AMT"), QStringLiteral("Y_N"),        QStringLiteral("LY_N"),
        QStringLiteral("T_N")};
    QStringList grouped;
    for (const QString &column : sums)
        grouped << QStringLiteral("SUM(F.%1) AS %1").arg(column);
    run(connection,
        QStringLiteral(R"sql(
        INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, M_GUESTS, M_NET_AMT,
            Y_GUESTS, Y_NET_AMT, DB_GUESTS, DB_NET_AMT, MB_GUESTS, MB_NET_AMT, YB_GUESTS,
            YB_NET_AMT, TB_GUESTS, TB_NET_AMT, LM_GUESTS, LM_NET_AMT, LY_GUESTS, LY_NET_AMT,
            D_DIFF_GUESTS, D_DIFF_NET_AMT, M_DIFF_GUESTS, M_DIFF_NET_AMT, Y_DIFF_GUESTS,
            Y_DIFF_NET_AMT, LM_DIFF_GUESTS, LM_DIFF_NET_AMT, LY_DIFF_GUESTS, LY_DIFF_NET_AMT,
            D_SVC_AMT, M_SVC_AMT, Y_SVC_AMT)
        WITH FIGURES AS (
            SELECT UPJANG_CODE, SALE_DATE, NVL(GUESTS, 0) AS GUESTS, NVL(NET_AMT, 0) AS NET_AMT,
                NVL(SVC_AMT, 0) AS SVC_AMT, 0 AS B_GUESTS, 0 AS B_NET_AMT, 0 AS T_GUESTS,
                0 AS T_NET_AMT, 1 AS N, 0 AS T_N, 0 AS DAY
            FROM SA030MS
            WHERE SALE_DATE BETWEEN :AYEAR_FROM AND :ATO
            UNION ALL
            SELECT UPJANG_CODE, SALE_DATE, 0, 0, 0, NVL(GUESTS, 0), NVL(SALE_AMT, 0), 0, 0, 1, 0, 0
            FROM JH010MS
            WHERE SALE_DATE BETWEEN :AYEAR_FROM AND :ATO
            UNION ALL
            SELECT UPJANG_CODE, SALE_DATE, 0, 0, 0, 0, 0, NVL(GUESTS, 0), NVL(SALE_AMT, 0), 0, 1, 0
            FROM JH040MS
            WHERE SALE_DATE BETWEEN :AFROM AND :ATO
        ),
        DAYS AS (
            SELECT O.UPJANG_CODE, C.CALN_DATE AS SALE_DATE,
                TO_CHAR(TO_NUMBER(SUBSTR(C.CALN_DATE, 1, 4)) - 1) || SUBSTR(C.CALN_DATE, 5, 4)
                    AS LY_DATE
            FROM (
                SELECT DISTINCT UPJANG_CODE
                FROM FIGURES
            ) O
            CROSS JOIN ZX020MS C
            WHERE C.CALN_DATE BETWEEN :AFROM AND :ATO
        ),
        POINTS AS (
            SELECT X.UPJANG_CODE, X.SALE_DATE, SUM(X.GUESTS) AS GUESTS, SUM(X.NET_AMT) AS NET_AMT,
                SUM(X.SVC_AMT) AS SVC_AMT, SUM(X.B_GUESTS) AS B_GUESTS,
                SUM(X.B_NET_AMT) AS B_NET_AMT, SUM(X.T_GUESTS) AS T_GUESTS,
                SUM(X.T_NET_AMT) AS T_NET_AMT, SUM(X.N) AS N, SUM(X.T_N) AS T_N,
                SUM(X.DAY) AS DAY, MAX(X.SERVES) AS SERVES
            FROM (
                SELECT UPJANG_CODE, SALE_DATE, GUESTS, NET_AMT, SVC_AMT, B_GUESTS, B_NET_AMT,
                    T_GUESTS, T_NET_AMT, N, T_N, DAY, NULL AS SERVES
                FROM FIGURES
                UNION ALL
                SELECT UPJANG_CODE, SALE_DATE, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, NULL
                FROM DAYS
                UNION ALL
                SELECT UPJANG_CODE, LY_DATE, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, SALE_DATE
                FROM DAYS
            ) X
            GROUP BY X.UPJANG_CODE, X.SALE_DATE
        ),
        DATES AS MATERIALIZED (
            SELECT A.SALE_DATE, SUBSTR(A.SALE_DATE, 1, 6) AS YM,
                FN_GET_YTD1_DATE(SUBSTR(A.SALE_DATE, 1, 6) || '01', 'F') AS YEAR_FROM
            FROM (
                SELECT DISTINCT SALE_DATE
                FROM POINTS
            ) A
        ),
        RUNNING AS (
            SELECT P.UPJANG_CODE, P.SALE_DATE, P.DAY, P.SERVES, P.GUESTS, P.NET_AMT, P.SVC_AMT,
                P.B_GUESTS, P.B_NET_AMT, P.T_GUESTS, P.T_NET_AMT, P.T_N,
                SUM(P.GUESTS) OVER (%1) AS M_GUESTS, SUM(P.NET_AMT) OVER (%1) AS M_NET_AMT,
                SUM(P.SVC_AMT) OVER (%1) AS M_SVC_AMT, SUM(P.B_GUESTS) OVER (%1) AS MB_GUESTS,
                SUM(P.B_NET_AMT) OVER (%1) AS MB_NET_AMT, SUM(P.GUESTS) OVER (%2) AS Y_GUESTS,
                SUM(P.NET_AMT) OVER (%2) AS Y_NET_AMT, SUM(P.SVC_AMT) OVER (%2) AS Y_SVC_AMT,
                SUM(P.B_GUESTS) OVER (%2) AS YB_GUESTS, SUM(P.B_NET_AMT) OVER (%2) AS YB_NET_AMT,
                SUM(P.N) OVER (%2) AS Y_N
            FROM POINTS P
            JOIN DATES D ON D.SALE_DATE = P.SALE_DATE
        )
        SELECT G.SALE_DATE, G.UPJANG_CODE, G.GUESTS, G.NET_AMT, G.M_GUESTS, G.M_NET_AMT,
            G.Y_GUESTS, G.Y_NET_AMT, G.B_GUESTS, G.B_NET_AMT, G.MB_GUESTS, G.MB_NET_AMT,
            G.YB_GUESTS, G.YB_NET_AMT, G.T_GUESTS, G.T_NET_AMT, G.LM_GUESTS, G.LM_NET_AMT,
            G.LY_GUESTS, G.LY_NET_AMT, G.GUESTS - G.B_GUESTS, G.NET_AMT - G.B_NET_AMT,
            G.M_GUESTS - G.MB_GUESTS, G.M_NET_AMT - G.MB_NET_AMT, G.Y_GUESTS - G.YB_GUESTS,
            G.Y_NET_AMT - G.YB_NET_AMT, G.M_GUESTS - G.LM_GUESTS, G.M_NET_AMT - G.LM_NET_AMT,
            G.Y_GUESTS - G.LY_GUESTS, G.Y_NET_AMT - G.LY_NET_AMT, G.SVC_AMT, G.M_SVC_AMT,
            G.Y_SVC_AMT
        FROM (
            SELECT F.UPJANG_CODE, F.SALE_DATE, %3
            FROM (
                SELECT UPJANG_CODE, SALE_DATE, DAY, GUESTS, NET_AMT, SVC_AMT, M_GUESTS, M_NET_AMT,
                    M_SVC_AMT, Y_GUESTS, Y_NET_AMT, Y_SVC_AMT, B_GUESTS, B_NET_AMT, MB_GUESTS,
                    MB_NET_AMT, YB_GUESTS, YB_NET_AMT, T_GUESTS, T_NET_AMT, 0 AS LM_GUESTS,
                    0 AS LM_NET_AMT, 0 AS LY_GUESTS, 0 AS LY_NET_AMT, Y_N, 0 AS LY_N, T_N
                FROM RUNNING
                WHERE DAY > 0
                UNION ALL
                SELECT UPJANG_CODE, SERVES, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                    M_GUESTS, M_NET_AMT, Y_GUESTS, Y_NET_AMT, 0, Y_N, 0
                FROM RUNNING
                WHERE SERVES IS NOT NULL
            ) F
            GROUP BY F.UPJANG_CODE, F.SALE_DATE
        ) G
        WHERE G.DAY > 0
            AND (G.Y_N > 0 OR G.LY_N > 0 OR G.T_N > 0)
    )sql")
            .arg(month, year, grouped.join(QStringLiteral(", "))),
        build, yearFrom);
}

void BuildDailySalesReport(db::Connection &connection, const DataBuild &build) {
    // What the daily sales reports read: the day's, month's and year's figures per outlet.
    BuildReportFigures(connection, build);
    deleteDates(connection, {QStringLiteral("SA093MS")}, build);
    // Per outlet: the day's and the month's (from its first day to the date) guests, sales and
    // budgets; the hotels' rooms sold (all room figures of SA030MS) and available (SA020MS).
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
        INSERT INTO SA093MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_SALE_AMT, D_BUDGET_AMT, M_GUESTS,
            M_SALE_AMT, M_BUDGET_AMT, SOLD_RMS, AVAILABLE_RMS, U_EMP_NO, U_DATE, U_IP)
        SELECT Z.CALN_DATE, F.UPJANG_CODE, SUM(F.D_GUESTS), SUM(F.D_SALE_AMT),
            SUM(F.D_BUDGET_AMT), SUM(F.M_GUESTS), SUM(F.M_SALE_AMT), SUM(F.M_BUDGET_AMT),
            SUM(F.SOLD_RMS), SUM(F.AVAILABLE_RMS), :AU_EMP_NO, SYSDATE(), :AU_IP
        FROM ZX020MS Z
        CROSS JOIN (
            SELECT UPJANG_CODE,
                CASE WHEN SALE_DATE = :ADATE THEN NVL(GUESTS, 0) ELSE 0 END AS D_GUESTS,
                CASE WHEN SALE_DATE = :ADATE THEN NVL(SALE_AMT, 0) ELSE 0 END AS D_SALE_AMT,
                0 AS D_BUDGET_AMT, NVL(GUESTS, 0) AS M_GUESTS, NVL(SALE_AMT, 0) AS M_SALE_AMT,
                0 AS M_BUDGET_AMT,
                CASE WHEN SALE_DATE = :ADATE THEN NVL(TOTAL_RMS, 0) ELSE 0 END AS SOLD_RMS,
                0 AS AVAILABLE_RMS
            FROM SA030MS
            WHERE SALE_DATE BETWEEN :AMONTH_FROM AND :ADATE
            UNION ALL
            SELECT UPJANG_CODE, 0, 0,
                CASE WHEN SALE_DATE = :ADATE THEN NVL(SALE_AMT, 0) ELSE 0 END, 0, 0,
                NVL(SALE_AMT, 0), 0, 0
            FROM JH010MS
            WHERE SALE_DATE BETWEEN :AMONTH_FROM AND :ADATE
            UNION ALL
            SELECT UPJANG_CODE, 0, 0, 0, 0, 0, 0, 0, NVL(AVAILABLE_RMS, 0)
            FROM SA020MS
            WHERE SALE_DATE = :ADATE
        ) F
        WHERE Z.CALN_DATE = :ADATE
        GROUP BY Z.CALN_DATE, F.UPJANG_CODE
    )sql"));
    q.setParam(QStringLiteral("ADATE"), build.from);
    q.setParam(QStringLiteral("AMONTH_FROM"), build.from.left(6) + QStringLiteral("01"));
    q.setParam(QStringLiteral("AU_EMP_NO"), build.empNo);
    q.setParam(QStringLiteral("AU_IP"), build.ip);
    q.exec();
    // The date is built: both report screens find it.
    for (const QString &table : {QStringLiteral("SA091MS"), QStringLiteral("SA092MS")}) {
        db::Query mark(connection);
        mark.setSql(QStringLiteral(R"sql(
            INSERT INTO %1 (SALE_DATE, U_EMP_NO, U_DATE, U_IP)
            VALUES (:ADATE, :AU_EMP_NO, SYSDATE(), :AU_IP)
            ON CONFLICT (SALE_DATE) DO UPDATE SET U_EMP_NO = excluded.U_EMP_NO,
                U_DATE = excluded.U_DATE, U_IP = excluded.U_IP
        )sql")
                        .arg(table));
        mark.setParam(QStringLiteral("ADATE"), build.from);
        mark.setParam(QStringLiteral("AU_EMP_NO"), build.empNo);
        mark.setParam(QStringLiteral("AU_IP"), build.ip);
        mark.exec();
    }
}

} // namespace kelo::database
