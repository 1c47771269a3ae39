// Demo data, figures: the management figures of each day, built from that day's sales lines,
// the weather and the accounting figures; and after the days, the figures the database derives
// for the reports.
//
// Each day writes SA030MS (sales per outlet and revenue division, from the day's totals of the
// IA010MS lines), SA040MS (the F&B index, from the same lines), SA010MS and SA010DT (weather
// and accounting figures, except for the last three days, which are left for the input
// screens). After the days, WriteDerivedFigures reads IA010MS JA010MS (business-area sales
// KF060MS), DE020MS (room counts SA020MS), SA030MS ZX020MS (budgets JH010MS), JH010MS
// (targets JH040MS), JH040MS JA010MS_TS (targets by management division JH060MS), SA030MS
// JH010MS (report figures SA090MS_NEW_2012 and SA090MS, with last year's from SA090MS itself)
// and SA090MS (the report days SA091MS, copied to SA092MS), and writes the buildings DZ021MS.

#include "database/codes.h"
#include "database/demo_context.h"

#include <cmath>

namespace kelo::database::demo {

FigureDays::FigureDays(Context &ctx)
    : ctx(ctx), sa030(ctx.c, QStringLiteral("SA030MS"),
                      {"SALE_DATE", "UPJANG_CODE", "DIVISION", "HU_RMS", "COMP_RMS", "ETC_RMS",
                       "TOTAL_RMS", "GOLF_TEAM", "GUESTS", "SALE_AMT", "NET_AMT", "VAT_AMT",
                       "SVC_AMT", "ETC_AMT", "U_EMP_NO", "U_DATE", "U_IP"}),
      sa040(ctx.c, QStringLiteral("SA040MS"),
            {"SALE_DATE", "UPJANG_CODE", "GUBUN", "IH_COVER", "WI_COVER", "TOTAL_COVER",
             "FOOD_REVENUE", "BEVERAGE_REVENUE", "OTHER_REVENUE", "TOTAL_REVENUE", "U_EMP_NO",
             "U_DATE", "U_IP"}),
      sa010(ctx.c, QStringLiteral("SA010MS"),
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
    for (const auto &[key, t] : day.totals) {
        const double sale = t.net + t.vat + t.svc + t.etc;
        sa030.row({date, key.first, key.second, t.hu, t.comp, t.sold, t.hu + t.comp + t.sold,
                   t.teams, t.guests, sale, t.net, t.vat, t.svc, t.etc, kStampEmp, now, kStampIp});
    }
    for (const auto &[key, ix] : day.fnbIndex)
        sa040.row({date, key.first, key.second, ix[0], ix[1], ix[0] + ix[1], ix[2], ix[3], ix[4],
                   ix[2] + ix[3] + ix[4], kStampEmp, now, kStampIp});
    if (d.daysTo(last) >= 3) { // the last days are left for the input screens
        sa010.row({date, rng.pick(weathers), kStampEmp, now, kStampIp});
        for (const AccountItem &item : AccountItems())
            sa010dt.row({date, item.movement, item.code,
                         std::round(rng.real() * 5000) * 1000 * scale, kStampEmp, now, kStampIp});
    }
}

// Figures the database derives for the reports: business-area sales, room counts, budgets,
// targets and the daily figures per outlet.
void WriteDerivedFigures(Context &ctx) {
    const QStringList statements = {
        // Business-area sales.
        QStringLiteral(R"sql(
INSERT INTO KF060MS (SALE_DATE, GUBUN1, GUBUN2, GUBUN3, NET_AMT, TIP_AMT)
SELECT A.SALE_DATE, B.SAUP_CODE1, B.SAUP_CODE2, B.SAUP_CODE3, SUM(A.NET_AMT), SUM(A.TIP_AMT)
FROM IA010MS A
JOIN JA010MS B ON B.UPJANG_CODE = A.UPJANG_CODE
GROUP BY A.SALE_DATE, B.SAUP_CODE1, B.SAUP_CODE2, B.SAUP_CODE3
)sql"),
        // Room counts per hotel, up to the last day entered.
        QStringLiteral(R"sql(
INSERT INTO SA020MS (SALE_DATE, UPJANG_CODE, TOTAL_RMS, OOO_RMS, OOI_RMS, AVAILABLE_RMS,
                     U_EMP_NO, U_DATE, U_IP)
SELECT TASK_DATE, UPJANG_CODE, SUM(ROOM_CNT), SUM(BROKEN_CNT), SUM(INVENTORY_CNT),
       SUM(ROOM_CNT - BROKEN_CNT - INVENTORY_CNT), 'SYSTEM', TO_DATE(TASK_DATE) + 1,
       '127.0.0.1'
FROM DE020MS
WHERE TASK_DATE <= :LAST_INPUT
GROUP BY TASK_DATE, UPJANG_CODE
)sql"),
        // Budgets: each month's average day of the outlet and division, 5 per cent up, in
        // thousands.
        QStringLiteral(R"sql(
INSERT INTO JH010MS (SALE_DATE, UPJANG_CODE, DIVISION, SALE_AMT, GUESTS, ROOMS)
SELECT B.CALN_DATE, A.UPJANG_CODE, A.DIVISION, ROUND(A.AMT * 1.05, -3), ROUND(A.GST * 1.05),
       ROUND(A.RMS * 1.05)
FROM (SELECT UPJANG_CODE, DIVISION, SUBSTR(SALE_DATE, 1, 6) AS YM,
             SUM(NET_AMT + SVC_AMT) / COUNT(*) AS AMT, SUM(GUESTS) * 1.0 / COUNT(*) AS GST,
             SUM(TOTAL_RMS) * 1.0 / COUNT(*) AS RMS
      FROM SA030MS
      GROUP BY UPJANG_CODE, DIVISION, SUBSTR(SALE_DATE, 1, 6)) A
JOIN ZX020MS B ON SUBSTR(B.CALN_DATE, 1, 6) = A.YM
)sql"),
        // Targets: the budgets, 2 per cent up.
        QStringLiteral(R"sql(
INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT, REMARKS, U_EMP_NO,
                     U_DATE, U_IP)
SELECT SALE_DATE, UPJANG_CODE, DIVISION, ROUND(GUESTS * 1.02), ROUND(SALE_AMT * 1.02, -3), NULL,
       'SYSTEM', SYSDATE(), '127.0.0.1'
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
        // The daily figures per outlet.
        QStringLiteral(R"sql(
INSERT INTO SA090MS_NEW_2012 (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, D_SVC_AMT)
SELECT SALE_DATE, UPJANG_CODE, SUM(GUESTS), SUM(NET_AMT), SUM(SVC_AMT)
FROM SA030MS
GROUP BY SALE_DATE, UPJANG_CODE
)sql"),
        // The report figures: day, month to date and year to date, against the budgets.
        QStringLiteral(R"sql(
INSERT INTO SA090MS (SALE_DATE, UPJANG_CODE, D_GUESTS, D_NET_AMT, M_GUESTS, M_NET_AMT,
                     Y_GUESTS, Y_NET_AMT, DB_GUESTS, DB_NET_AMT, MB_GUESTS, MB_NET_AMT,
                     YB_GUESTS, YB_NET_AMT, D_DIFF_GUESTS, D_DIFF_NET_AMT, M_DIFF_GUESTS,
                     M_DIFF_NET_AMT, Y_DIFF_GUESTS, Y_DIFF_NET_AMT, D_SVC_AMT, M_SVC_AMT,
                     Y_SVC_AMT)
SELECT SALE_DATE, UPJANG_CODE, DG, DN, MG, MN, YG, YN, DBG, DBN, MBG, MBN, YBG, YBN,
       DG - DBG, DN - DBN, MG - MBG, MN - MBN, YG - YBG, YN - YBN, DS, MS, YS
FROM (SELECT A.SALE_DATE, A.UPJANG_CODE, A.DG, A.DN, A.DS,
             SUM(A.DG) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 6)
                             ORDER BY A.SALE_DATE) AS MG,
             SUM(A.DN) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 6)
                             ORDER BY A.SALE_DATE) AS MN,
             SUM(A.DS) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 6)
                             ORDER BY A.SALE_DATE) AS MS,
             SUM(A.DG) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 4)
                             ORDER BY A.SALE_DATE) AS YG,
             SUM(A.DN) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 4)
                             ORDER BY A.SALE_DATE) AS YN,
             SUM(A.DS) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 4)
                             ORDER BY A.SALE_DATE) AS YS,
             NVL(B.BG, 0) AS DBG, NVL(B.BN, 0) AS DBN,
             SUM(NVL(B.BG, 0)) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 6)
                                     ORDER BY A.SALE_DATE) AS MBG,
             SUM(NVL(B.BN, 0)) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 6)
                                     ORDER BY A.SALE_DATE) AS MBN,
             SUM(NVL(B.BG, 0)) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 4)
                                     ORDER BY A.SALE_DATE) AS YBG,
             SUM(NVL(B.BN, 0)) OVER (PARTITION BY A.UPJANG_CODE, SUBSTR(A.SALE_DATE, 1, 4)
                                     ORDER BY A.SALE_DATE) AS YBN
      FROM (SELECT SALE_DATE, UPJANG_CODE, D_GUESTS AS DG, D_NET_AMT AS DN, D_SVC_AMT AS DS
            FROM SA090MS_NEW_2012) A
      LEFT JOIN (SELECT SALE_DATE, UPJANG_CODE, SUM(GUESTS) AS BG, SUM(SALE_AMT) AS BN
                 FROM JH010MS
                 GROUP BY SALE_DATE, UPJANG_CODE) B
        ON B.SALE_DATE = A.SALE_DATE AND B.UPJANG_CODE = A.UPJANG_CODE)
)sql"),
        // Last year's figures on the same day.
        QStringLiteral(R"sql(
UPDATE SA090MS
SET LY_GUESTS = (SELECT L.Y_GUESTS
                 FROM SA090MS L
                 WHERE L.UPJANG_CODE = SA090MS.UPJANG_CODE
                   AND L.SALE_DATE = TO_CHAR(ADD_MONTHS(SA090MS.SALE_DATE, -12), 'YYYYMMDD')),
    LY_NET_AMT = (SELECT L.Y_NET_AMT
                  FROM SA090MS L
                  WHERE L.UPJANG_CODE = SA090MS.UPJANG_CODE
                    AND L.SALE_DATE = TO_CHAR(ADD_MONTHS(SA090MS.SALE_DATE, -12), 'YYYYMMDD')),
    LM_GUESTS = (SELECT L.M_GUESTS
                 FROM SA090MS L
                 WHERE L.UPJANG_CODE = SA090MS.UPJANG_CODE
                   AND L.SALE_DATE = TO_CHAR(ADD_MONTHS(SA090MS.SALE_DATE, -12), 'YYYYMMDD')),
    LM_NET_AMT = (SELECT L.M_NET_AMT
                  FROM SA090MS L
                  WHERE L.UPJANG_CODE = SA090MS.UPJANG_CODE
                    AND L.SALE_DATE = TO_CHAR(ADD_MONTHS(SA090MS.SALE_DATE, -12), 'YYYYMMDD'))
)sql"),
        QStringLiteral(R"sql(
UPDATE SA090MS
SET LY_DIFF_GUESTS = Y_GUESTS - NVL(LY_GUESTS, 0),
    LY_DIFF_NET_AMT = Y_NET_AMT - NVL(LY_NET_AMT, 0),
    LM_DIFF_GUESTS = M_GUESTS - NVL(LM_GUESTS, 0),
    LM_DIFF_NET_AMT = M_NET_AMT - NVL(LM_NET_AMT, 0),
    TB_GUESTS = YB_GUESTS,
    TB_NET_AMT = YB_NET_AMT
)sql"),
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
    };
    const QString lastInput = ymd(ctx.last.addDays(-3));
    for (const QString &sql : statements) {
        db::Query q(ctx.c);
        q.setSql(sql);
        if (q.hasParam(QStringLiteral("LAST_INPUT")))
            q.setParam(QStringLiteral("LAST_INPUT"), lastInput);
        q.exec();
    }
}

} // namespace kelo::database::demo
