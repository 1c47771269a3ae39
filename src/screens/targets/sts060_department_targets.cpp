#include "common/dates.h"
#include "common/reportlocations.h"
#include "screens/targets/rollup.h"
#include "screens/targets/target_inquiries.h"
#include "screens/viewer/report_viewers.h"

namespace kelo::screens {

namespace {

// The targets of the day, the month to date and the year to date per department 2 under
// its department 1, a subtotal after each department 1 and the grand total last.
const QString kStatement =
    QStringLiteral(R"sql(
    WITH W AS (
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM2,
            SUM(CASE WHEN A.SALE_DATE = :ATASK_DATE THEN A.GUESTS END) AS DAY_GUESTS,
            SUM(CASE WHEN A.SALE_DATE = :ATASK_DATE THEN A.SALE_AMT END) AS DAY_SALE_AMT,
            SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:ATASK_DATE, 1, 6) THEN A.GUESTS END) AS MON_GUESTS,
            SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:ATASK_DATE, 1, 6) THEN A.SALE_AMT END) AS MON_SALE_AMT,
            SUM(CASE WHEN A.SALE_DATE >= FN_GET_YTD1_DATE(:ATASK_DATE, 'F') THEN A.GUESTS END) AS YEAR_GUESTS,
            SUM(CASE WHEN A.SALE_DATE >= FN_GET_YTD1_DATE(:ATASK_DATE, 'F') THEN A.SALE_AMT END) AS YEAR_SALE_AMT
        FROM JH040MS A
        LEFT JOIN JA011MS B
            ON A.UPJANG_CODE = B.UPJANG_CODE
        WHERE (B.DEPT_ITEM1 = :ADEPT_ITEM1 OR :ADEPT_ITEM1 IS NULL)
            AND A.SALE_DATE <= :ATASK_DATE
            AND (SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:ATASK_DATE, 1, 6)
                OR A.SALE_DATE >= FN_GET_YTD1_DATE(:ATASK_DATE, 'F'))
        GROUP BY B.DEPT_ITEM1, B.DEPT_ITEM2
    ),
    L AS (
%1
    )
    SELECT DECODE(R.RANK1, 1, R.DEPT_ITEM1_NAME) AS GUBUN_NAME1,
        DECODE(R.RANK2, 1, R.DEPT_ITEM2_NAME) AS GUBUN_NAME2,
        DECODE(R.LVL, 0, '합 계', 2, R.DEPT_ITEM2_NAME, '소 계') AS GUBUN_NAME3,
        R.DAY_GUESTS,
        R.DAY_SALE_AMT,
        R.MON_GUESTS,
        R.MON_SALE_AMT,
        R.YEAR_GUESTS,
        R.YEAR_SALE_AMT
    FROM (
        SELECT L.*,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0092' AND DETAIL = L.DEPT_ITEM1) AS DEPT_ITEM1_NAME,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0091' AND DETAIL = L.DEPT_ITEM2) AS DEPT_ITEM2_NAME,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1 ORDER BY L.DEPT_ITEM2 NULLS LAST, L.LVL DESC) AS RANK1,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1, L.DEPT_ITEM2 ORDER BY L.LVL DESC) AS RANK2
        FROM L
    ) R
    ORDER BY R.DEPT_ITEM1 NULLS LAST, R.DEPT_ITEM2 NULLS LAST, R.LVL DESC
)sql")
        .arg(RollUpLevels({QStringLiteral("DEPT_ITEM1"), QStringLiteral("DEPT_ITEM2")},
                          {QStringLiteral("DAY_GUESTS"), QStringLiteral("DAY_SALE_AMT"),
                           QStringLiteral("MON_GUESTS"), QStringLiteral("MON_SALE_AMT"),
                           QStringLiteral("YEAR_GUESTS"), QStringLiteral("YEAR_SALE_AMT")}));

} // namespace

TfrmSTS060::TfrmSTS060(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTS060"),
                        Setup{.dates = Dates::Day,
                              .kind = CodeKind::Section,
                              .codeCaption = QStringLiteral("경영부분")},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTS060"));
    using controls::GridColumn;
    const QStringList code{QStringLiteral("업장코드")};
    std::vector<GridColumn> columns = {
        TextColumn("GUBUN_NAME1", "경영구분명", 133, code),
        TextColumn("GUBUN_NAME2", "경영구분명2", 133, code),
        TextColumn("GUBUN_NAME3", "영업장 명", 133, {QStringLiteral("영업장 명")}),
    };
    columns.back().visible = false;
    const struct {
        const char *group, *guests, *amount;
    } windows[] = {{"일", "DAY_GUESTS", "DAY_SALE_AMT"},
                   {"월", "MON_GUESTS", "MON_SALE_AMT"},
                   {"년", "YEAR_GUESTS", "YEAR_SALE_AMT"}};
    for (const auto &w : windows) {
        const QStringList group{QString::fromUtf8(w.group)};
        columns.push_back(FigureColumn(w.guests, "Guest", 80, group));
        columns.push_back(FigureColumn(w.amount, "매출금액", 120, group));
    }
    rgrGrid->setColumns(columns);
    qryQuery->setSql(kStatement);
}

void TfrmSTS060::setParameters() {
    qryQuery->setParam(QStringLiteral("ATASK_DATE"), workDate());
    qryQuery->setParam(QStringLiteral("ADEPT_ITEM1"), code());
}

void TfrmSTS060::applyColumnWidths(int width) {
    const int u = (width - 34) / 5;
    const int v = (2 * u) / 3;
    setGroupWidths({2 * v, v, u, u, u});
}

void TfrmSTS060::handOver() {
    HandoverWorkDate() = workDate();
    sri100::HandoverDeptItem() = code();
}

QString TfrmSTS060::printLocation() const {
    return MainLocation(QStringLiteral("MIS(SRI100)"));
}

QString TfrmSTS060::printParams() const {
    return NamedParams(
        {{QStringLiteral("ATASK_DATE"), workDate()}, {QStringLiteral("ADEPT_ITEM1"), code()}});
}

QString TfrmSTS060::previewProgram() const {
    return QStringLiteral("SRI100");
}

} // namespace kelo::screens
