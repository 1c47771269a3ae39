// Demo data, figures: the weather and the accounting figures of each day, entered by hand in
// the input screens (except for the last three days, which are left for entry); after the
// days, the figures the database derives, as the daily report data build makes them.
//
// Each day writes SA010MS and SA010DT. After the days, WriteDerivedFigures runs the data build
// (databuild.h) over the whole period: SA020MS, SA030MS and SA040MS from the operating data;
// then reads IA010MS JA010MS (business-area sales KF060MS), SA030MS ZX020MS (budgets
// JH010MS), JH010MS (targets JH040MS), JH040MS JA010MS_TS (targets by management division
// JH060MS); builds SA090MS_NEW_2012 and SA090MS from the figures, the budgets and the
// targets; marks the report days SA091MS (copied to SA092MS) and writes the buildings DZ021MS.

#include "database/codes.h"
#include "database/databuild.h"
#include "database/demo_context.h"

#include <cmath>

namespace kelo::database::demo {

FigureDays::FigureDays(Context &ctx)
    : ctx(ctx), sa010(ctx.c, QStringLiteral("SA010MS"),
                      {"SALE_DATE", "WEATHER", "U_EMP_NO", "U_DATE", "U_IP"}),
      sa010dt(ctx.c, QStringLiteral("SA010DT"),
              {"SALE_DATE", "MOVEMENT", "ITEM_CODE", "AMOUNT", "U_EMP_NO", "U_DATE", "U_IP"}) {}

void FigureDays::day(Day &day) {
    static const std::vector<QString> weathers = {"01", "01", "01", "02", "02",
                                                  "03", "04", "05", "06"};
    Rng &rng = ctx.rng;
    const int scale = ctx.scale();
    const QDate &d = day.d;
    const QString &date = day.date;
    const QDate &last = ctx.last;
    const double now = serial(d.addDays(1));
    if (d.daysTo(last) >= 3) { // the last days are left for the input screens
        sa010.row({date, rng.pick(weathers), kStampEmp, now, kStampIp});
        for (const AccountItem &item : AccountItems())
            sa010dt.row({date, item.movement, item.code,
                         std::round(rng.real() * 5000) * 1000 * scale, kStampEmp, now, kStampIp});
    }
}

namespace {

void runAll(Context &ctx, const QStringList &statements) {
    const QString lastInput = ymd(ctx.last.addDays(-3));
    for (const QString &sql : statements) {
        db::Query q(ctx.c);
        q.setSql(sql);
        if (q.hasParam(QStringLiteral("LAST_INPUT")))
            q.setParam(QStringLiteral("LAST_INPUT"), lastInput);
        q.exec();
    }
}

} // namespace

// Figures the database derives: the data build's figures of the operating data, business-area
// sales, budgets and targets, the report figures per outlet, the report days.
void WriteDerivedFigures(Context &ctx) {
    const DataBuild build{ymd(ctx.first), ymd(ctx.last), kStampEmp, kStampIp};
    const QString refusal = DataBuildRefusal(ctx.c, build.from, build.to);
    if (!refusal.isEmpty())
        throw db::DbError(refusal);
    BuildDailyFigures(ctx.c, build);
    runAll(ctx, {
                    // Business-area sales.
                    QStringLiteral(R"sql(
INSERT INTO KF060MS (SALE_DATE, GUBUN1, GUBUN2, GUBUN3, NET_AMT, TIP_AMT)
SELECT A.SALE_DATE, B.SAUP_CODE1, B.SAUP_CODE2, B.SAUP_CODE3, SUM(A.NET_AMT), SUM(A.TIP_AMT)
FROM IA010MS A
JOIN JA010MS B ON B.UPJANG_CODE = A.UPJANG_CODE
GROUP BY A.SALE_DATE, B.SAUP_CODE1, B.SAUP_CODE2, B.SAUP_CODE3
)sql"),
                    // Budgets: each month's average day of the outlet and division, 5 per cent up,
                    // in thousands. Whole figures times 105 over the days times 100: a ratio of
                    // whole numbers, which both engines round alike (1.05 is no binary fraction,
                    // so SQLite's product fell on the other side of a half now and then, and
                    // one seed gave other figures on the server).
                    QStringLiteral(R"sql(
INSERT INTO JH010MS (SALE_DATE, UPJANG_CODE, DIVISION, SALE_AMT, GUESTS, ROOMS)
SELECT B.CALN_DATE, A.UPJANG_CODE, A.DIVISION, ROUND(A.AMT * 105 / (A.DAYS * 100), -3),
       ROUND(A.GST * 105 / (A.DAYS * 100)), ROUND(A.RMS * 105 / (A.DAYS * 100))
FROM (SELECT UPJANG_CODE, DIVISION, SUBSTR(SALE_DATE, 1, 6) AS YM,
             SUM(NET_AMT + SVC_AMT) AS AMT, SUM(GUESTS) AS GST, SUM(TOTAL_RMS) AS RMS,
             COUNT(*) AS DAYS
      FROM SA030MS
      GROUP BY UPJANG_CODE, DIVISION, SUBSTR(SALE_DATE, 1, 6)) A
JOIN ZX020MS B ON SUBSTR(B.CALN_DATE, 1, 6) = A.YM
)sql"),
                    // Targets: the budgets, 2 per cent up (times 102 over 100, as above).
                    QStringLiteral(R"sql(
INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT, REMARKS, U_EMP_NO,
                     U_DATE, U_IP)
SELECT SALE_DATE, UPJANG_CODE, DIVISION, ROUND(GUESTS * 102 / 100), ROUND(SALE_AMT * 102 / 100, -3),
       NULL, 'SYSTEM', SYSDATE(), '127.0.0.1'
FROM JH010MS
)sql"),
                    // Targets by management division.
                    QStringLiteral(R"sql(
INSERT INTO JH060MS (SALE_DATE, UPJANG_CODE, MIS_UPJANG_CODE1, MIS_UPJANG_CODE2, GUESTS,
                     SALE_AMT)
SELECT A.SALE_DATE, A.UPJANG_CODE, B.MIS_UPJANG_CODE1, B.MIS_UPJANG_CODE2, SUM(A.GUESTS),
       SUM(A.SALE_AMT)
FROM JH040MS A
JOIN JA010MS_TS B ON B.UPJANG_CODE = A.UPJANG_CODE
GROUP BY A.SALE_DATE, A.UPJANG_CODE, B.MIS_UPJANG_CODE1, B.MIS_UPJANG_CODE2
)sql"),
                });
    BuildReportFigures(ctx.c, build);
    runAll(ctx, {
                    // The report days, up to the last day entered.
                    QStringLiteral(R"sql(
INSERT INTO SA091MS (SALE_DATE, U_EMP_NO, U_DATE, U_IP)
SELECT SALE_DATE, 'SYSTEM', SYSDATE(), '127.0.0.1'
FROM (SELECT DISTINCT SALE_DATE
      FROM SA090MS
      WHERE SALE_DATE <= :LAST_INPUT)
)sql"),
                    QStringLiteral(R"sql(
INSERT INTO SA092MS (SALE_DATE, U_EMP_NO, U_DATE, U_IP)
SELECT SALE_DATE, U_EMP_NO, U_DATE, U_IP
FROM SA091MS
)sql"),
                    // The hotels' buildings.
                    QStringLiteral(R"sql(
INSERT INTO DZ021MS (UPJANG_CODE, DONG_GUBUN, DONG_NAME)
VALUES ('1001', '01', '본관'), ('1001', '02', '신관'), ('1002', '01', 'A동'),
       ('1002', '02', 'B동'), ('1003', '01', '본관')
)sql"),
                });
}

} // namespace kelo::database::demo
