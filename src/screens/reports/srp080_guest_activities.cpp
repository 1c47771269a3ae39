#include "screens/reports/srp080_guest_activities.h"

#include "screens/reports/division_sql.h"

namespace kelo::screens {

using namespace report;

namespace {

const QString kSubTotal = QStringLiteral("<Sub Total>");
const QString kGrandTotal = QStringLiteral("<Grand Total>");

// Per outlet its figures; per category a sub-total; the grand total last. Only outlets
// with figures in the report's periods are listed.
QString MainSql() {
    return QString::fromUtf8(R"sql(
WITH %1,
GA AS (
    SELECT J.UPJANG_CODE,
           J.MIS_UPJANG_GUBUN1,
           J.UPJANG_ENG_NAME,
           J.GA_GUBUN_CODE,
           C.DETAIL_NAME AS GA_GUBUN_NAME
    FROM JA010MS J
    JOIN ZX010MS C ON C.HEAD = 'S0013' AND C.DETAIL = J.GA_GUBUN_CODE
    WHERE J.MIS_UPJANG_GUBUN1 = '40'
      AND J.MIS_UPJANG_GUBUN2 = '410'
      AND J.MIS_SPORTS_SUM_CODE = '99'
),
%2,
R AS (
    SELECT 1 AS LVL,
           G.GA_GUBUN_CODE,
           G.GA_GUBUN_NAME,
           G.MIS_UPJANG_GUBUN1,
           G.UPJANG_CODE,
           G.UPJANG_ENG_NAME AS UPJANG_NAME,
           %3
    FROM F
    JOIN GA G ON G.UPJANG_CODE = F.K
    UNION ALL
    SELECT 2,
           G.GA_GUBUN_CODE,
           G.GA_GUBUN_NAME,
           NULL,
           NULL,
           '<Sub Total>',
           %4
    FROM F
    JOIN GA G ON G.UPJANG_CODE = F.K
    GROUP BY G.GA_GUBUN_CODE, G.GA_GUBUN_NAME
    UNION ALL
    SELECT 3,
           NULL,
           NULL,
           NULL,
           NULL,
           '<Grand Total>',
           %5
    FROM F
)
SELECT R.MIS_UPJANG_GUBUN1,
       R.UPJANG_CODE,
       R.GA_GUBUN_NAME,
       R.UPJANG_NAME,
       %6
FROM R
ORDER BY CASE WHEN R.LVL = 3 THEN 1 ELSE 0 END, R.GA_GUBUN_CODE, R.LVL, R.UPJANG_CODE
)sql")
        .trimmed()
        .arg(division::Periods(),
             guest::KeyedFigures(QStringLiteral("UPJANG_CODE"),
                                 QStringLiteral("%1.UPJANG_CODE IN (SELECT UPJANG_CODE FROM GA)")),
             guest::EachFigure(QStringLiteral("F.%1")),
             guest::EachFigure(QStringLiteral("SUM(F.%1)")),
             guest::EachFigure(QStringLiteral("NVL(SUM(F.%1), 0)")), guest::RowColumns());
}

} // namespace

TfrmSRP080::TfrmSRP080(db::Connection &connection, const QString &saleDate)
    : TfrmGuestReport(connection, QStringLiteral("SRP080"), saleDate,
                      QStringLiteral("Daily Guest Actives Report"), MainSql(),
                      {"GA_GUBUN_NAME", "UPJANG_NAME"}) {}

void TfrmSRP080::DetailBand1BeforePrint(BandPrint &bp) {
    const QString name = cdsQuery.text(QStringLiteral("UPJANG_NAME"));
    bp.band.frame.bottom = name == kSubTotal || name == kGrandTotal;
}

void TfrmSRP080::QRDBText1Print(Item &item, QString &text) {
    SuppressRepeats(m_lastCategory)(item, text);
}

} // namespace kelo::screens
