#include "common/dates.h"
#include "common/reportlocations.h"
#include "screens/targets/rollup.h"
#include "screens/targets/target_inquiries.h"
#include "screens/viewer/report_viewers.h"

namespace kelo::screens {

namespace {

// The targets of the day, the whole month and the whole calendar year per management
// section 2 under its section 1, a subtotal after each section 1 and the total last.
const QString kStatement =
    QStringLiteral(R"sql(
    WITH W AS (
        SELECT B.MIS_UPJANG_CODE1,
            B.MIS_UPJANG_CODE2,
            SUM(CASE WHEN A.SALE_DATE = :SALE_DATE THEN A.GUESTS END) AS DAY_GUESTS,
            SUM(CASE WHEN A.SALE_DATE = :SALE_DATE THEN A.SALE_AMT END) AS DAY_SALE_AMT,
            SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:SALE_DATE, 1, 6) THEN A.GUESTS END) AS MON_GUESTS,
            SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:SALE_DATE, 1, 6) THEN A.SALE_AMT END) AS MON_SALE_AMT,
            SUM(A.GUESTS) AS YEAR_GUESTS,
            SUM(A.SALE_AMT) AS YEAR_SALE_AMT
        FROM JH040MS A
        LEFT JOIN JA010MS_TS B
            ON A.UPJANG_CODE = B.UPJANG_CODE
        WHERE (B.MIS_UPJANG_CODE1 = :MIS_UPJANG_CODE1 OR :MIS_UPJANG_CODE1 IS NULL)
            AND A.SALE_DATE BETWEEN SUBSTR(:SALE_DATE, 1, 4) || '0101' AND SUBSTR(:SALE_DATE, 1, 4) || '1231'
        GROUP BY B.MIS_UPJANG_CODE1, B.MIS_UPJANG_CODE2
    ),
    L AS (
%1
    )
    SELECT R.RANK1,
        R.MIS_UPJANG_CODE1,
        R.MIS_UPJANG_NAME1,
        R.MIS_UPJANG_CODE2,
        R.MIS_UPJANG_NAME2,
        DECODE(R.LVL, 0, 'Total', 2, R.MIS_UPJANG_CODE2, 'Sub Total') AS MIS_UPJANG4,
        R.DAY_GUESTS,
        R.DAY_SALE_AMT,
        R.MON_GUESTS,
        R.MON_SALE_AMT,
        R.YEAR_GUESTS,
        R.YEAR_SALE_AMT
    FROM (
        SELECT L.*,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'S0018' AND DETAIL = L.MIS_UPJANG_CODE1) AS MIS_UPJANG_NAME1,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'S0019' AND DETAIL = L.MIS_UPJANG_CODE2) AS MIS_UPJANG_NAME2,
            RANK() OVER (PARTITION BY L.MIS_UPJANG_CODE1 ORDER BY L.MIS_UPJANG_CODE2 NULLS LAST, L.LVL DESC) AS RANK1
        FROM L
    ) R
    ORDER BY R.MIS_UPJANG_CODE1 NULLS LAST, R.MIS_UPJANG_CODE2 NULLS LAST, R.LVL DESC
)sql")
        .arg(RollUpLevels({QStringLiteral("MIS_UPJANG_CODE1"), QStringLiteral("MIS_UPJANG_CODE2")},
                          {QStringLiteral("DAY_GUESTS"), QStringLiteral("DAY_SALE_AMT"),
                           QStringLiteral("MON_GUESTS"), QStringLiteral("MON_SALE_AMT"),
                           QStringLiteral("YEAR_GUESTS"), QStringLiteral("YEAR_SALE_AMT")}));

} // namespace

TfrmSTS040::TfrmSTS040(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTS040"),
                        Setup{.dates = Dates::Day,
                              .kind = CodeKind::Section,
                              .codeCaption = QStringLiteral("경영부분"),
                              .paintColumn = 5,
                              .subTotal = QStringLiteral("Sub Total"),
                              .total = QStringLiteral("Total"),
                              .readOnly = false},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTS040"));
    using controls::GridColumn;
    const QStringList code{QStringLiteral("업장코드")};
    std::vector<GridColumn> columns = {
        TextColumn("RANK1", "경영구분", 60, code),
        TextColumn("MIS_UPJANG_CODE1", "경영구분1", 70, code),
        TextColumn("MIS_UPJANG_NAME1", "경영구분명", 110, code),
        TextColumn("MIS_UPJANG_CODE2", "경영구분2", 70, code),
        TextColumn("MIS_UPJANG_NAME2", "경영구분명2", 110, code),
        TextColumn("MIS_UPJANG4", "업장코드", 80, code),
    };
    columns.front().visible = false;
    const struct {
        const char *group, *guests, *amount;
    } windows[] = {{"일", "DAY_GUESTS", "DAY_SALE_AMT"},
                   {"월", "MON_GUESTS", "MON_SALE_AMT"},
                   {"년", "YEAR_GUESTS", "YEAR_SALE_AMT"}};
    for (const auto &w : windows) {
        const QStringList group{QString::fromUtf8(w.group)};
        columns.push_back(FigureColumn(w.guests, "Guest", 70, group));
        columns.push_back(FigureColumn(w.amount, "매출금액", 110, group));
    }
    columns.push_back(TextColumn("UPJANG_NAME", "영업장 명", 100, {QStringLiteral("영업장 명")}));
    columns.back().visible = false;
    // The rows may be edited here (never saved).
    for (GridColumn &c : columns)
        c.readOnly = !c.visible;
    rgrGrid->setColumns(columns);
    qryQuery->setSql(kStatement);
}

void TfrmSTS040::setParameters() {
    qryQuery->setParam(QStringLiteral("SALE_DATE"), workDate());
    qryQuery->setParam(QStringLiteral("MIS_UPJANG_CODE1"), code());
}

void TfrmSTS040::handOver() {
    HandoverWorkDate() = workDate();
    sri100::HandoverDeptItem() = code();
}

// The local report of the section targets, with the screen's date and section.
QString TfrmSTS040::printLocation() const {
    return LocalReportLocation();
}

QString TfrmSTS040::printParams() const {
    return QStringLiteral("/rv SALE_DATE[%1] MIS_UPJANG_CODE1[%2]").arg(workDate(), code());
}

QString TfrmSTS040::previewProgram() const {
    return QStringLiteral("SRI100");
}

} // namespace kelo::screens
