#include "screens/reports/srp090_tour_gondola.h"

#include "screens/reports/division_sql.h"

namespace kelo::screens {

using namespace report;

namespace {

// The gondola outlet's figures per division, budget and actuals on one row, then their
// sub-total; the outlet's name on every row.
QString MainSql() {
    return QString::fromUtf8(R"sql(
WITH %1,
%2,
R AS (
    SELECT 1 AS LVL,
           F.K AS DIVISION,
           N.DETAIL_NAME AS DIVISION_NAME,
           %3
    FROM F
    LEFT JOIN ZX010MS N ON N.HEAD = 'S0008' AND N.DETAIL = F.K
    UNION ALL
    SELECT 2,
           NULL,
           '<Sub Total>',
           %4
    FROM F
)
SELECT '5002' AS UPJANG_CODE,
       R.DIVISION,
       O.UPJANG_ENG_NAME AS UPJANG_NAME,
       R.DIVISION_NAME,
       %5
FROM R
LEFT JOIN JA010MS O ON O.UPJANG_CODE = '5002'
ORDER BY R.LVL, R.DIVISION
)sql")
        .trimmed()
        .arg(division::Periods(),
             guest::KeyedFigures(QStringLiteral("DIVISION"),
                                 QStringLiteral("%1.UPJANG_CODE = '5002'")),
             guest::EachFigure(QStringLiteral("F.%1")),
             guest::EachFigure(QStringLiteral("NVL(SUM(F.%1), 0)")), guest::RowColumns());
}

} // namespace

TfrmSRP090::TfrmSRP090(db::Connection &connection, const QString &saleDate)
    : TfrmGuestReport(connection, QStringLiteral("SRP090"), saleDate,
                      QStringLiteral("Tour-Gondola Report"), MainSql(),
                      {"UPJANG_NAME", "DIVISION_NAME"}) {}

void TfrmSRP090::DetailBand1BeforePrint(BandPrint &bp) {
    const bool subTotal =
        cdsQuery.text(QStringLiteral("DIVISION_NAME")) == QStringLiteral("<Sub Total>");
    bp.band.frame.top = subTotal;
    bp.band.frame.bottom = subTotal;
}

void TfrmSRP090::QRDBText1Print(Item &item, QString &text) {
    SuppressRepeats(m_lastOutlet)(item, text);
}

} // namespace kelo::screens
