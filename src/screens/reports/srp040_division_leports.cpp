#include "screens/reports/srp040_division_leports.h"

#include "screens/reports/division_layout.h"
#include "screens/reports/division_sql.h"

namespace kelo::screens {

using namespace report;
using namespace division;

namespace {

// The areas of the report. The golf course's group (30) stands among them: its outlets
// are in the blocks of the report, and without a master row of their own they would
// not print.
const char *const kMasterSql = R"sql(
SELECT DETAIL,
       ITEM1 AS DETAIL_NAME
FROM ZX010MS
WHERE HEAD = 'S0002'
  AND DETAIL IN ('30', '40', '90')
ORDER BY DETAIL
)sql";

// The golf outlets and the leisure-sports outlets with a sports code other than 99,
// summed under their summary outlet; summary outlet 7001 belongs to area 90.
QString ListSql() {
    return OutletBlocks(
        QStringLiteral("MIS_UPJANG_GUBUN1"),
        QStringLiteral("CASE WHEN J.MIS_SUM_UPJANG_CODE = '7001' THEN '90' ELSE "
                       "J.MIS_UPJANG_GUBUN1 END"),
        QStringLiteral("((J.MIS_UPJANG_GUBUN1 = '40' AND J.MIS_SPORTS_SUM_CODE <> '99') OR "
                       "J.MIS_UPJANG_GUBUN1 = '30')"),
        QStringLiteral("4"));
}

// One revenue line per summary outlet of the guest-activity outlets (group 40, sports
// code 99) and of the other outlets (group 90).
QString SubSumSql() {
    return QString::fromUtf8(R"sql(
WITH %1,
%2
SELECT F.GRP AS MIS_UPJANG_GUBUN1,
       F.CODE AS UPJANG_CODE,
       O.UPJANG_ENG_NAME AS UPJANG_NAME,
       %3
FROM V F
LEFT JOIN JA010MS O ON O.UPJANG_CODE = F.CODE
WHERE F.DIVISION IS NULL
  AND F.ROWNO = '1'
ORDER BY F.GRP, O.MIS_DISPLAY_SEQ
)sql")
        .arg(KeyedFigures(QStringLiteral("J.MIS_UPJANG_GUBUN1"),
                          QStringLiteral("J.MIS_SUM_UPJANG_CODE"),
                          QStringLiteral("((J.MIS_UPJANG_GUBUN1 = '40' AND "
                                         "J.MIS_SPORTS_SUM_CODE = '99') OR J.MIS_UPJANG_GUBUN1 = "
                                         "'90')"),
                          false),
             RevenueKinds(QStringLiteral("1")), FigureColumns());
}

} // namespace

TfrmSRP040::TfrmSRP040(db::Connection &connection, const QString &saleDate)
    : TfrmZZP020(connection, QStringLiteral("SRP040"), saleDate,
                 QStringLiteral("Division Statistics - Leports")),
      cdsList(connection, QStringLiteral("cdsList")),
      cdsSubSum(connection, QStringLiteral("cdsSubSum")),
      QRBand2(qrpReport.addBand(QStringLiteral("QRBand2"), BandKind::ColumnHeader, 9)),
      DetailBand1(qrpReport.addBand(QStringLiteral("DetailBand1"), BandKind::Detail, 7)),
      QRSubDetail1(qrpReport.addBand(QStringLiteral("QRSubDetail1"), BandKind::SubDetail, 4)),
      QRSubDetail2(qrpReport.addBand(QStringLiteral("QRSubDetail2"), BandKind::SubDetail, 4)) {
    qrbFooter.enabled = false;
    useReportTitle(QStringLiteral("DIVISION STATISTICS - Leports"));
    cdsQuery.query().setSql(QString::fromUtf8(kMasterSql));
    cdsList.query().setSql(ListSql());
    cdsSubSum.query().setSql(SubSumSql());
    SetFigureFormats(cdsList);
    SetFigureFormats(cdsSubSum);

    AddColumnHeadings(QRBand2, 0);
    AddAreaMaster(DetailBand1, cdsQuery, QStringLiteral("DETAIL_NAME"));

    BuildOutletRows(QRSubDetail1, cdsList, QStringLiteral("MIS_UPJANG_GUBUN1"),
                    QStringLiteral("DETAIL"), {"QRDBText12", "QRDBText15"}, m_lastName1,
                    m_lastRow1);
    QRSubDetail1.beforePrint = [this](BandPrint &bp) { QRSubDetail1BeforePrint(bp); };

    QRSubDetail2.dataSet = &cdsSubSum;
    QRSubDetail2.detailFields = QStringList{QStringLiteral("MIS_UPJANG_GUBUN1")};
    QRSubDetail2.masterFields = QStringList{QStringLiteral("DETAIL")};
    const FontSpec row = Font(7);
    QRSubDetail2.addItem(DataText(QStringLiteral("qrdOutletName"), {1, 0, 60, 4}, cdsSubSum,
                                  QStringLiteral("UPJANG_NAME"), row));
    AddFigureTexts(QRSubDetail2, cdsSubSum, row);
    AddActualBlocks(QRSubDetail2);
    QRSubDetail2.beforePrint = [this](BandPrint &bp) { QRSubDetail2BeforePrint(bp); };
}

void TfrmSRP040::openData() {
    openInOrder({&cdsQuery, &cdsList, &cdsSubSum, &qrySys});
}

void TfrmSRP040::QRSubDetail1BeforePrint(BandPrint &bp) {
    MarkOutletRow(bp, cdsList);
}

void TfrmSRP040::QRSubDetail2BeforePrint(BandPrint &bp) {
    bp.newPage = !m_revenueLinesStarted;
    m_revenueLinesStarted = true;
}

} // namespace kelo::screens
