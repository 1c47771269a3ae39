#include "common/dates.h"
#include "common/reportlocations.h"
#include "screens/targets/rollup.h"
#include "screens/targets/target_inquiries.h"

namespace kelo::screens {

namespace {

// The period's net sales with service charge of the flagged outlets (department 4 'Y') by
// revenue division: food ('31'), beverage ('33') and the rest, per outlet under department 3
// and department 1, a subtotal after each block, the grand total last. Outlets 2003, 2004
// and 2005 count as 2002.
const QString kStatement =
    QStringLiteral(R"sql(
    WITH W AS (
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM3,
            DECODE(B.UPJANG_CODE, '2002', '2002', '2003', '2002', '2004', '2002', '2005', '2002', B.UPJANG_CODE) AS UPJANG_CODE,
            SUM(CASE WHEN C.DIVISION = '31' THEN C.NET_AMT + C.SVC_AMT END) AS FOOD_AMT,
            SUM(CASE WHEN C.DIVISION = '33' THEN C.NET_AMT + C.SVC_AMT END) AS BEVERAGE_AMT,
            SUM(CASE WHEN C.DIVISION NOT IN ('31', '33') THEN C.NET_AMT + C.SVC_AMT END) AS OTEHR_AMT,
            SUM(C.NET_AMT + C.SVC_AMT) AS TOTAL_AMT
        FROM SA030MS C
        LEFT JOIN JA011MS B
            ON C.UPJANG_CODE = B.UPJANG_CODE
        WHERE C.SALE_DATE BETWEEN :AFROM_DATE AND :ATO_DATE
            AND B.DEPT_ITEM4 = 'Y'
            AND (C.UPJANG_CODE = :UPJANG_CODE OR :UPJANG_CODE IS NULL)
        GROUP BY B.DEPT_ITEM1, B.DEPT_ITEM3,
            DECODE(B.UPJANG_CODE, '2002', '2002', '2003', '2002', '2004', '2002', '2005', '2002', B.UPJANG_CODE)
    ),
    L AS (
%1
    )
    SELECT DECODE(R.RANK1, 1, R.DEPT_ITEM1_NAME) AS GUBUN_NAME1,
        DECODE(R.RANK2, 1, R.DEPT_ITEM3_NAME) AS GUBUN_NAME2,
        DECODE(R.LVL, 0, '합 계', 3, R.UPJANG_NAME, '소 계') AS GUBUN_NAME3,
        R.FOOD_AMT,
        R.BEVERAGE_AMT,
        R.OTEHR_AMT,
        R.TOTAL_AMT
    FROM (
        SELECT L.*,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0096' AND DETAIL = L.DEPT_ITEM1) AS DEPT_ITEM1_NAME,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0098' AND DETAIL = L.DEPT_ITEM3) AS DEPT_ITEM3_NAME,
            (SELECT UPJANG_NAME FROM JA010MS WHERE UPJANG_CODE = L.UPJANG_CODE) AS UPJANG_NAME,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1 ORDER BY L.DEPT_ITEM3 NULLS LAST, L.UPJANG_CODE NULLS LAST, L.LVL DESC) AS RANK1,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1, L.DEPT_ITEM3 ORDER BY L.UPJANG_CODE NULLS LAST, L.LVL DESC) AS RANK2
        FROM L
    ) R
    ORDER BY R.DEPT_ITEM1 NULLS LAST, R.DEPT_ITEM3 NULLS LAST, R.UPJANG_CODE NULLS LAST, R.LVL DESC
)sql")
        .arg(RollUpLevels({QStringLiteral("DEPT_ITEM1"), QStringLiteral("DEPT_ITEM3"),
                           QStringLiteral("UPJANG_CODE")},
                          {QStringLiteral("FOOD_AMT"), QStringLiteral("BEVERAGE_AMT"),
                           QStringLiteral("OTEHR_AMT"), QStringLiteral("TOTAL_AMT")}));

} // namespace

TfrmSTS090::TfrmSTS090(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTS090"),
                        Setup{.dates = Dates::Period,
                              .kind = CodeKind::Outlet,
                              .codeCaption = QStringLiteral("경영부분")},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTS090"));
    rgrGrid->setColumns({
        TextColumn("GUBUN_NAME1", "경영구분명", 150, {}),
        TextColumn("GUBUN_NAME2", "경영구분명2", 150, {}),
        TextColumn("GUBUN_NAME3", "영업장 명", 150, {}),
        FigureColumn("FOOD_AMT", "Food", 120, {}),
        FigureColumn("BEVERAGE_AMT", "Beverage", 120, {}),
        FigureColumn("OTEHR_AMT", "Other", 120, {}),
        FigureColumn("TOTAL_AMT", "Total", 130, {}),
    });
    qryQuery->setSql(kStatement);
}

void TfrmSTS090::setParameters() {
    qryQuery->setParam(QStringLiteral("AFROM_DATE"), fromDate());
    qryQuery->setParam(QStringLiteral("ATO_DATE"), toDate());
    qryQuery->setParam(QStringLiteral("UPJANG_CODE"), code());
}

void TfrmSTS090::handOver() {
    HandoverWorkDate() = fromDate();
    HandoverToDate() = toDate();
}

QString TfrmSTS090::printLocation() const {
    return MainLocation(QStringLiteral("MIS(SRI230)"));
}

QString TfrmSTS090::printParams() const {
    return NamedParams({{QStringLiteral("AFROM_DATE"), fromDate()},
                        {QStringLiteral("ATO_DATE"), toDate()},
                        {QStringLiteral("ADEPT_ITEM1"), QString()}});
}

QString TfrmSTS090::previewProgram() const {
    return QStringLiteral("SRI230");
}

} // namespace kelo::screens
