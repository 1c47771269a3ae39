#include "common/dates.h"
#include "common/dialogs.h"
#include "common/reportlocations.h"
#include "framework/screenhelpers.h"
#include "framework/xlsexport.h"
#include "screens/targets/rollup.h"
#include "screens/targets/target_inquiries.h"

#include <QHBoxLayout>

namespace kelo::screens {

namespace {

// The targets of the day, the month to date and the year to date per outlet; the outlets
// under their department 2 and department 1 with a subtotal after each block, the grand
// total last. The level (3 outlet, 2 and 1 the subtotals, 0 the total) names the row.
const QString kStatement =
    QStringLiteral(R"sql(
    WITH W AS (
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM2,
            B.UPJANG_CODE,
            SUM(CASE WHEN A.SALE_DATE = :ATASK_DATE THEN A.GUESTS END) AS DAY_GUESTS,
            SUM(CASE WHEN A.SALE_DATE = :ATASK_DATE THEN A.SALE_AMT END) AS DAY_SALE_AMT,
            SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:ATASK_DATE, 1, 6) THEN A.GUESTS END) AS MON_GUESTS,
            SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:ATASK_DATE, 1, 6) THEN A.SALE_AMT END) AS MON_SALE_AMT,
            SUM(CASE WHEN A.SALE_DATE >= FN_GET_YTD1_DATE(:ATASK_DATE, 'F') THEN A.GUESTS END) AS YEAR_GUESTS,
            SUM(CASE WHEN A.SALE_DATE >= FN_GET_YTD1_DATE(:ATASK_DATE, 'F') THEN A.SALE_AMT END) AS YEAR_SALE_AMT
        FROM JH040MS A
        LEFT JOIN JA011MS B
            ON A.UPJANG_CODE = B.UPJANG_CODE
        WHERE (A.UPJANG_CODE = :UPJANG_CODE OR :UPJANG_CODE IS NULL)
            AND A.SALE_DATE <= :ATASK_DATE
            AND (SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:ATASK_DATE, 1, 6)
                OR A.SALE_DATE >= FN_GET_YTD1_DATE(:ATASK_DATE, 'F'))
        GROUP BY B.DEPT_ITEM1, B.DEPT_ITEM2, B.UPJANG_CODE
    ),
    L AS (
%1
    )
    SELECT DECODE(R.RANK1, 1, R.DEPT_ITEM1_NAME) AS GUBUN_NAME1,
        DECODE(R.RANK2, 1, R.DEPT_ITEM2_NAME) AS GUBUN_NAME2,
        DECODE(R.LVL, 0, '합 계', 3, R.UPJANG_NAME, '소 계') AS GUBUN_NAME3,
        NVL(R.DAY_GUESTS, 0) AS DAY_GUESTS,
        NVL(R.DAY_SALE_AMT, 0) AS DAY_SALE_AMT,
        NVL(R.MON_GUESTS, 0) AS MON_GUESTS,
        NVL(R.MON_SALE_AMT, 0) AS MON_SALE_AMT,
        NVL(R.YEAR_GUESTS, 0) AS YEAR_GUESTS,
        NVL(R.YEAR_SALE_AMT, 0) AS YEAR_SALE_AMT
    FROM (
        SELECT L.*,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0092' AND DETAIL = L.DEPT_ITEM1) AS DEPT_ITEM1_NAME,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0091' AND DETAIL = L.DEPT_ITEM2) AS DEPT_ITEM2_NAME,
            (SELECT UPJANG_NAME FROM JA010MS WHERE UPJANG_CODE = L.UPJANG_CODE) AS UPJANG_NAME,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1 ORDER BY L.DEPT_ITEM2 NULLS LAST, L.UPJANG_CODE NULLS LAST, L.LVL DESC) AS RANK1,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1, L.DEPT_ITEM2 ORDER BY L.UPJANG_CODE NULLS LAST, L.LVL DESC) AS RANK2
        FROM L
    ) R
    ORDER BY R.DEPT_ITEM1 NULLS LAST, R.DEPT_ITEM2 NULLS LAST, R.UPJANG_CODE NULLS LAST, R.LVL DESC
)sql")
        .arg(RollUpLevels({QStringLiteral("DEPT_ITEM1"), QStringLiteral("DEPT_ITEM2"),
                           QStringLiteral("UPJANG_CODE")},
                          {QStringLiteral("DAY_GUESTS"), QStringLiteral("DAY_SALE_AMT"),
                           QStringLiteral("MON_GUESTS"), QStringLiteral("MON_SALE_AMT"),
                           QStringLiteral("YEAR_GUESTS"), QStringLiteral("YEAR_SALE_AMT")}));

} // namespace

TfrmSTS010::TfrmSTS010(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTS010"),
                        Setup{.dates = Dates::Day,
                              .kind = CodeKind::Outlet,
                              .codeCaption = QStringLiteral("영업장"),
                              .paintCells = true,
                              .clearCodeOnCancel = false,
                              .dateKeys = true},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTS010"));
    using controls::GridColumn;
    std::vector<GridColumn> columns = {
        TextColumn("GUBUN_NAME1", "부문", 106, {QStringLiteral("부문")}),
        TextColumn("GUBUN_NAME2", "세부부문", 106, {QStringLiteral("업장코드")}),
        TextColumn("GUBUN_NAME3", "영업장 명", 106, {QStringLiteral("영업장 명")}),
    };
    const struct {
        const char *group, *guests, *amount;
    } windows[] = {{"일", "DAY_GUESTS", "DAY_SALE_AMT"},
                   {"월", "MON_GUESTS", "MON_SALE_AMT"},
                   {"년", "YEAR_GUESTS", "YEAR_SALE_AMT"}};
    for (const auto &w : windows) {
        const QStringList group{QString::fromUtf8(w.group)};
        columns.push_back(FigureColumn(w.guests, "Guest", 80, group));
        columns.push_back(FigureColumn(w.amount, "매출금액", 133, group));
    }
    rgrGrid->setColumns(columns);
    qryQuery->setSql(kStatement);

    bbtExcel = FormButton(panButtons, "bbtExcel", QStringLiteral("Excel"), QSize(80, 38));
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtPrint), bbtExcel);
    connect(bbtExcel, &QPushButton::clicked, this, [this] { bbtExcelClick(); });
    SetSearchMode(true);
}

void TfrmSTS010::setParameters() {
    qryQuery->setParam(QStringLiteral("ATASK_DATE"), workDate());
    qryQuery->setParam(QStringLiteral("UPJANG_CODE"), code());
}

void TfrmSTS010::bbtExcelClick() {
    RequireActive(bbtExcel);
    const QString name =
        Dialogs::instance().getSaveFileName(windowTitle(), QString(), ExcelFileFilter());
    if (name.isEmpty())
        return;
    const QString result = SaveGridToXls(rgrGrid, windowTitle(), false, name);
    if (result.startsWith(u'^'))
        ShowError(result.mid(1));
}

void TfrmSTS010::applyColumnWidths(int width) {
    const int u = (width - 50) / 6;
    const int narrow = 2 * (u / 3), wide = u + u / 3;
    setGroupWidths({narrow, narrow, narrow, wide, wide, wide});
}

void TfrmSTS010::handOver() {
    HandoverWorkDate() = workDate();
}

QString TfrmSTS010::printLocation() const {
    return MainLocation(QStringLiteral("MIS(SRI110)"));
}

QString TfrmSTS010::printParams() const {
    return NamedParams(
        {{QStringLiteral("ATASK_DATE"), workDate()}, {QStringLiteral("AUPJANG_CODE"), code()}});
}

QString TfrmSTS010::previewProgram() const {
    return QStringLiteral("SRI200");
}

} // namespace kelo::screens
