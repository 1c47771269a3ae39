#include "screens/targets/target_inquiries.h"

namespace kelo::screens {

namespace {

// The section targets per section 1, section 2 and outlet: the day, the whole month and the
// whole calendar year.
const QString kStatement = QStringLiteral(R"sql(
    SELECT A.MIS_UPJANG_CODE1,
        (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'S0018' AND DETAIL = A.MIS_UPJANG_CODE1) AS MIS_UPJANG_NAME1,
        A.MIS_UPJANG_CODE2,
        (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'S0019' AND DETAIL = A.MIS_UPJANG_CODE2) AS MIS_UPJANG_NAME2,
        A.UPJANG_CODE,
        (SELECT UPJANG_NAME FROM JA010MS WHERE UPJANG_CODE = A.UPJANG_CODE) AS UPJANG_NAME,
        SUM(CASE WHEN A.SALE_DATE = :SALE_DATE THEN A.GUESTS END) AS DAY_GUESTS,
        SUM(CASE WHEN A.SALE_DATE = :SALE_DATE THEN A.SALE_AMT END) AS DAY_SALE_AMT,
        SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:SALE_DATE, 1, 6) THEN A.GUESTS END) AS MON_GUESTS,
        SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:SALE_DATE, 1, 6) THEN A.SALE_AMT END) AS MON_SALE_AMT,
        SUM(A.GUESTS) AS YEAR_GUESTS,
        SUM(A.SALE_AMT) AS YEAR_SALE_AMT
    FROM JH060MS A
    WHERE (A.MIS_UPJANG_CODE1 = :MIS_UPJANG_CODE1 OR :MIS_UPJANG_CODE1 IS NULL)
        AND A.SALE_DATE BETWEEN SUBSTR(:SALE_DATE, 1, 4) || '0101' AND SUBSTR(:SALE_DATE, 1, 4) || '1231'
    GROUP BY A.MIS_UPJANG_CODE1, A.MIS_UPJANG_CODE2, A.UPJANG_CODE
    ORDER BY A.MIS_UPJANG_CODE1, A.MIS_UPJANG_CODE2, A.UPJANG_CODE
)sql");

} // namespace

TfrmSTS050::TfrmSTS050(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTS050"),
                        Setup{.dates = Dates::Day,
                              .kind = CodeKind::Section,
                              .codeCaption = QStringLiteral("경영부분"),
                              .paintColumn = -1,
                              .readOnly = false},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTS050"));
    using controls::GridColumn;
    const QStringList code{QStringLiteral("업장코드")};
    std::vector<GridColumn> columns = {
        TextColumn("MIS_UPJANG_CODE1", "경영구분", 70, code),
        TextColumn("MIS_UPJANG_NAME1", "경영구분명", 110, code),
        TextColumn("MIS_UPJANG_CODE2", "경영구분2", 70, code),
        TextColumn("MIS_UPJANG_NAME2", "경영구분명2", 110, code),
        TextColumn("UPJANG_CODE", "업장코드", 70, code),
        TextColumn("UPJANG_NAME", "영업장 명", 110, {QStringLiteral("영업장 명")}),
    };
    const struct {
        const char *group, *guests, *amount;
    } windows[] = {{"일", "DAY_GUESTS", "DAY_SALE_AMT"},
                   {"월", "MON_GUESTS", "MON_SALE_AMT"},
                   {"년", "YEAR_GUESTS", "YEAR_SALE_AMT"}};
    for (const auto &w : windows) {
        const QStringList group{QString::fromUtf8(w.group)};
        columns.push_back(FigureColumn(w.guests, "Guest", 70, group, QString()));
        columns.push_back(FigureColumn(w.amount, "매출금액", 100, group, QString()));
    }
    for (GridColumn &c : columns)
        c.readOnly = false;
    rgrGrid->setColumns(columns);
    qryQuery->setSql(kStatement);
}

void TfrmSTS050::setParameters() {
    qryQuery->setParam(QStringLiteral("SALE_DATE"), workDate());
    qryQuery->setParam(QStringLiteral("MIS_UPJANG_CODE1"), code());
}

} // namespace kelo::screens
