#include "screens/reports/srp013_hotel_rooms.h"

#include "screens/reports/division_layout.h"
#include "screens/reports/division_sql.h"

namespace kelo::screens {

using namespace report;
using namespace division;

namespace {

// The statistic of a row kind for one period (%1: T, M, Y, LM, LY).
const char *const kActual = R"sql(
CASE L.DETAIL
               WHEN '1' THEN C.AV_%1
               WHEN '2' THEN R.HU_%1
               WHEN '3' THEN R.CP_%1
               WHEN '4' THEN C.OO_%1
               WHEN '5' THEN R.RS_%1
               WHEN '6' THEN CASE WHEN C.AV_%1 = 0 THEN 0 ELSE ROUND(R.RS_%1 * 100.0 / C.AV_%1, 1) END
               WHEN '7' THEN CASE WHEN R.RS_%1 = 0 THEN 0 ELSE ROUND(R.RV_%1 * 1.0 / R.RS_%1, 0) END
               ELSE 0
           END AS A_%1
)sql";

// Room counts (SA020MS), room sales (SA030MS; the revenue of the hotels' outlets, group
// 10) and the hotels' budget summed day by day to D (not prorated). The budgeted
// occupancy is the budgeted rooms sold as a percentage of the rooms available in the
// period; the budgeted average rate is the budgeted revenue per budgeted room.
QString MainSql() {
    QStringList actuals;
    for (const char *period : {"T", "M", "Y", "LM", "LY"})
        actuals << QString::fromUtf8(kActual).trimmed().arg(QLatin1String(period));
    return QString::fromUtf8(R"sql(
WITH %1,
C AS (
    SELECT %2,
           %3,
           %4
    FROM P
    JOIN SA020MS S ON S.SALE_DATE BETWEEN P.LY_FROM AND P.D
),
R AS (
    SELECT %5,
           %6,
           %7,
           %8
    FROM P
    JOIN SA030MS S ON S.SALE_DATE BETWEEN P.LY_FROM AND P.D
    LEFT JOIN JA010MS J ON J.UPJANG_CODE = S.UPJANG_CODE
),
B AS (
    SELECT NVL(SUM(CASE WHEN B.SALE_DATE >= P.M_FROM THEN NVL(B.ROOMS, 0) ELSE 0 END), 0) AS BR_M,
           NVL(SUM(NVL(B.ROOMS, 0)), 0) AS BR_Y,
           NVL(SUM(CASE WHEN B.SALE_DATE >= P.M_FROM THEN NVL(B.SALE_AMT, 0) ELSE 0 END), 0) AS BA_M,
           NVL(SUM(NVL(B.SALE_AMT, 0)), 0) AS BA_Y
    FROM P
    JOIN JH010MS B ON B.SALE_DATE BETWEEN P.Y_FROM AND P.D
    JOIN JA010MS J ON J.UPJANG_CODE = B.UPJANG_CODE
    WHERE J.MIS_UPJANG_GUBUN1 = '10'
),
F AS (
    SELECT L.DETAIL AS ROWNO,
           L.DETAIL_NAME,
           %9,
           CASE L.DETAIL
               WHEN '1' THEN C.TR_M
               WHEN '5' THEN B.BR_M
               WHEN '6' THEN CASE WHEN C.AV_M = 0 THEN 0 ELSE ROUND(B.BR_M * 100.0 / C.AV_M, 1) END
               WHEN '7' THEN CASE WHEN B.BR_M = 0 THEN 0 ELSE ROUND(B.BA_M * 1.0 / B.BR_M, 0) END
               ELSE 0
           END AS B_MTD,
           CASE L.DETAIL
               WHEN '1' THEN C.TR_Y
               WHEN '5' THEN B.BR_Y
               WHEN '6' THEN CASE WHEN C.AV_Y = 0 THEN 0 ELSE ROUND(B.BR_Y * 100.0 / C.AV_Y, 1) END
               WHEN '7' THEN CASE WHEN B.BR_Y = 0 THEN 0 ELSE ROUND(B.BA_Y * 1.0 / B.BR_Y, 0) END
               ELSE 0
           END AS B_YTD
    FROM ZX010MS L
    CROSS JOIN C
    CROSS JOIN R
    CROSS JOIN B
    WHERE L.HEAD = 'S0010'
      AND L.DETAIL > ' '
)
SELECT F.ROWNO,
       F.DETAIL_NAME,
       %10
FROM F
ORDER BY F.ROWNO
)sql")
        .arg(Periods(), PeriodSums(QStringLiteral("S.AVAILABLE_RMS"), QStringLiteral("AV")),
             PeriodSums(QStringLiteral("S.TOTAL_RMS"), QStringLiteral("TR")),
             PeriodSums(QStringLiteral("NVL(S.OOO_RMS, 0) + NVL(S.OOI_RMS, 0)"),
                        QStringLiteral("OO")),
             PeriodSums(QStringLiteral("S.HU_RMS"), QStringLiteral("HU")),
             PeriodSums(QStringLiteral("S.COMP_RMS"), QStringLiteral("CP")),
             PeriodSums(QStringLiteral("S.ETC_RMS"), QStringLiteral("RS")),
             PeriodSums(QStringLiteral("CASE WHEN J.MIS_UPJANG_GUBUN1 = '10' THEN S.NET_AMT END"),
                        QStringLiteral("RV")),
             actuals.join(QStringLiteral(",\n           ")))
        .arg(FigureColumns());
}

} // namespace

TfrmSRP013::TfrmSRP013(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP013"), saleDate,
                 QStringLiteral("Division Statistics")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 6)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 4.5)),
      QRBand1(qrpReport.addBand(QStringLiteral("QRBand1"), BandKind::Summary, 2)) {
    qrbHeader.enabled = false;
    qrbFooter.enabled = false;
    cdsQuery.query().setSql(MainSql());
    BuildSection(QRBand2, DetailBand1, QRBand1, cdsQuery, QStringLiteral("Hotel Rooms Division"),
                 QStringLiteral("QRDBText12"), QStringLiteral("DETAIL_NAME"));
    DetailBand1.item(QStringLiteral("QRDBText12")).onPrint = [this](Item &i, QString &text) {
        QRDBText12Print(i, text);
    };
}

// The ratio rows (occupancy and average rate) print their names in bold.
void TfrmSRP013::QRDBText12Print(Item &item, QString &) {
    const QString row = cdsQuery.text(QStringLiteral("ROWNO"));
    item.font.bold = row == QStringLiteral("6") || row == QStringLiteral("7");
}

} // namespace kelo::screens
