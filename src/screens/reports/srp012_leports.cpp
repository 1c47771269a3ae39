#include "screens/reports/srp012_leports.h"

#include "screens/reports/division_layout.h"
#include "screens/reports/division_sql.h"

namespace kelo::screens {

using namespace report;
using namespace division;

namespace {

// The outlets of group 40 by sports summary code; those without one under 499, printed
// only when S0006 names it.
QString MainSql() {
    return QString::fromUtf8(R"sql(
WITH %1,
SPORTS AS (
    SELECT J.MIS_UPJANG_GUBUN1 AS GUBUN1,
           NVL(J.MIS_SPORTS_SUM_CODE, SUBSTR(J.MIS_UPJANG_GUBUN1, 1, 1) || '99') AS GUBUN2,
           %2
    FROM OUTLETS O
    JOIN JA010MS J ON J.UPJANG_CODE = O.UPJANG_CODE
    WHERE J.MIS_UPJANG_GUBUN1 = '40'
    GROUP BY J.MIS_UPJANG_GUBUN1, NVL(J.MIS_SPORTS_SUM_CODE, SUBSTR(J.MIS_UPJANG_GUBUN1, 1, 1) || '99')
),
F AS (
    SELECT G.*,
           %3
    FROM SPORTS G
    CROSS JOIN P
)
SELECT F.GUBUN1,
       N1.DETAIL_NAME AS GUBUN1_NAME,
       F.GUBUN2,
       N2.DETAIL_NAME AS GUBUN2_NAME,
       %4
FROM F
JOIN ZX010MS N1 ON N1.HEAD = 'S0002' AND N1.DETAIL = F.GUBUN1
JOIN ZX010MS N2 ON N2.HEAD = 'S0006' AND N2.DETAIL = F.GUBUN2
ORDER BY F.GUBUN1, F.GUBUN2
)sql")
        .arg(OutletRevenue(), OutletSums(), AmountBudgets(QStringLiteral("G")), FigureColumns());
}

} // namespace

TfrmSRP012::TfrmSRP012(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP012"), saleDate,
                 QStringLiteral("Division Statistics")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 6)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 4.5)),
      QRBand1(qrpReport.addBand(QStringLiteral("QRBand1"), BandKind::Summary, 2)) {
    qrbHeader.enabled = false;
    qrbFooter.enabled = false;
    cdsQuery.query().setSql(MainSql());
    BuildSection(QRBand2, DetailBand1, QRBand1, cdsQuery, QStringLiteral("Leports"),
                 QStringLiteral("QRDBText13"), QStringLiteral("GUBUN2_NAME"));
}

} // namespace kelo::screens
