#include "screens/reports/srp030_division_fnb.h"

#include "screens/reports/division_layout.h"
#include "screens/reports/division_sql.h"

namespace kelo::screens {

using namespace report;
using namespace division;

namespace {

const char *const kMasterSql = R"sql(
SELECT B.DETAIL,
       NVL(A.ITEM1, '') || ' (' || NVL(B.DETAIL_NAME, '') || ')' AS DETAIL_NAME
FROM ZX010MS A
JOIN ZX010MS B ON B.HEAD = 'S0003' AND B.DETAIL BETWEEN '200' AND '299' AND B.DETAIL_NAME > ' '
WHERE A.HEAD = 'S0002'
  AND A.DETAIL = '20'
ORDER BY B.DETAIL
)sql";

// The outlets of group 20 summed under their summary outlet within their F&B division.
QString ListSql() {
    return OutletBlocks(QStringLiteral("MIS_UPJANG_GUBUN2"), QStringLiteral("J.MIS_UPJANG_GUBUN2"),
                        QStringLiteral("J.MIS_UPJANG_GUBUN1 = '20'"), QStringLiteral("3"));
}

// The same rows for the whole F&B division: its ratios from the division's totals.
QString SubSumSql() {
    return QString::fromUtf8(R"sql(
WITH %1,
%2
SELECT F.GRP AS MIS_UPJANG_GUBUN2,
       F.GRP AS UPJANG_CODE,
       NVL(D.DETAIL_NAME, '') || ' Total' AS UPJANG_NAME,
       %3
FROM V F
LEFT JOIN ZX010MS D ON D.HEAD = 'S0003' AND D.DETAIL = F.GRP
LEFT JOIN ZX010MS N ON N.HEAD = 'S0008' AND N.DETAIL = F.DIVISION
ORDER BY F.GRP, F.ROWNO, DIVISION
)sql")
        .arg(KeyedFigures(QStringLiteral("J.MIS_UPJANG_GUBUN2"),
                          QStringLiteral("J.MIS_UPJANG_GUBUN2"),
                          QStringLiteral("J.MIS_UPJANG_GUBUN1 = '20'"), false),
             RevenueKinds(QStringLiteral("3")), OutletRowColumns());
}

} // namespace

TfrmSRP030::TfrmSRP030(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP030"), saleDate,
                 QStringLiteral("Division Statistics - F&B")),
      cdsList(connection, QStringLiteral("cdsList")),
      cdsSubSum(connection, QStringLiteral("cdsSubSum")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 9)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 7)),
      QRSubDetail1(qrpReport.addBand(QStringLiteral("QRSubDetail1"), BandKind::SubDetail, 4)),
      QRSubDetail2(qrpReport.addBand(QStringLiteral("QRSubDetail2"), BandKind::SubDetail, 4)) {
    qrbFooter.enabled = false;
    useReportTitle(QStringLiteral("DIVISION STATISTICS - F&B"));
    cdsQuery.query().setSql(QString::fromUtf8(kMasterSql));
    cdsList.query().setSql(ListSql());
    cdsSubSum.query().setSql(SubSumSql());
    SetFigureFormats(cdsList);
    SetFigureFormats(cdsSubSum);

    AddColumnHeadings(QRBand2, 0);
    DetailBand1.forceNewPage = true;
    AddAreaMaster(DetailBand1, cdsQuery, QStringLiteral("DETAIL_NAME"));

    BuildOutletRows(QRSubDetail1, cdsList, QStringLiteral("MIS_UPJANG_GUBUN2"),
                    QStringLiteral("DETAIL"), {"QRDBText12", "QRDBText15"}, m_lastName1,
                    m_lastRow1);
    BuildOutletRows(QRSubDetail2, cdsSubSum, QStringLiteral("MIS_UPJANG_GUBUN2"),
                    QStringLiteral("DETAIL"), {"QRDBText28", "QRDBText29"}, m_lastName2,
                    m_lastRow2);
    QRSubDetail1.beforePrint = [this](BandPrint &bp) { QRSubDetail1BeforePrint(bp); };
    QRSubDetail2.beforePrint = [this](BandPrint &bp) { QRSubDetail2BeforePrint(bp); };
}

void TfrmSRP030::openData() {
    openInOrder({&cdsQuery, &cdsList, &cdsSubSum, &qrySys});
}

void TfrmSRP030::QRSubDetail1BeforePrint(BandPrint &bp) {
    MarkOutletRow(bp, cdsList);
}

void TfrmSRP030::QRSubDetail2BeforePrint(BandPrint &bp) {
    MarkOutletRow(bp, cdsSubSum);
}

} // namespace kelo::screens
