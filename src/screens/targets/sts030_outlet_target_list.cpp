#include "screens/targets/target_inquiries.h"

namespace kelo::screens {

namespace {

// Per outlet: the targets of the day, the whole month and the whole calendar year.
const QString kStatement = QStringLiteral(R"sql(
    SELECT A.UPJANG_CODE,
        (SELECT UPJANG_NAME FROM JA010MS WHERE UPJANG_CODE = A.UPJANG_CODE) AS UPJANG_NAME,
        NVL(SUM(CASE WHEN A.SALE_DATE = :SALE_DATE THEN A.GUESTS END), 0) AS DAY_GUESTS,
        NVL(SUM(CASE WHEN A.SALE_DATE = :SALE_DATE THEN A.SALE_AMT END), 0) AS DAY_SALE_AMT,
        NVL(SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:SALE_DATE, 1, 6) THEN A.GUESTS END), 0) AS MON_GUESTS,
        NVL(SUM(CASE WHEN SUBSTR(A.SALE_DATE, 1, 6) = SUBSTR(:SALE_DATE, 1, 6) THEN A.SALE_AMT END), 0) AS MON_SALE_AMT,
        NVL(SUM(A.GUESTS), 0) AS YEAR_GUESTS,
        NVL(SUM(A.SALE_AMT), 0) AS YEAR_SALE_AMT
    FROM JH040MS A
    WHERE (A.UPJANG_CODE = :UPJANG_CODE OR :UPJANG_CODE IS NULL)
        AND (A.DIVISION = :DIVISION OR :DIVISION IS NULL)
        AND A.SALE_DATE BETWEEN SUBSTR(:SALE_DATE, 1, 4) || '0101' AND SUBSTR(:SALE_DATE, 1, 4) || '1231'
    GROUP BY A.UPJANG_CODE
    ORDER BY A.UPJANG_CODE
)sql");

} // namespace

TfrmSTS030::TfrmSTS030(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTS030"),
                        Setup{.dates = Dates::Day,
                              .kind = CodeKind::Section,
                              .codeCaption = QStringLiteral("영업장"),
                              .paintColumn = -1,
                              .readOnly = false,
                              .clearCodeOnCancel = false},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTS030"));
    using controls::GridColumn;
    std::vector<GridColumn> columns = {
        TextColumn("UPJANG_CODE", "업장코드", 70, {QStringLiteral("업장코드")}),
        TextColumn("UPJANG_NAME", "영업장 명", 120, {QStringLiteral("영업장 명")}),
    };
    // The eight fields fill the first eight columns; only "목표" and "실적" are formatted.
    const struct {
        const char *group, *prefix;
        std::vector<const char *> titles;
    } windows[] = {
        {"일", "D", {"목표", "실적", "차이", "금일목표"}},
        {"월", "M", {"목표", "실적", "차이", "전년실적", "차이"}},
        {"년", "Y", {"목표", "실적", "차이", "전년실적", "차이"}},
    };
    for (const auto &w : windows) {
        const QStringList group{QString::fromUtf8(w.group)};
        for (size_t i = 0; i < w.titles.size(); ++i) {
            const QByteArray field = QByteArray(w.prefix) + "_COL" + QByteArray::number(int(i));
            columns.push_back(
                FigureColumn(field.constData(), w.titles[i], 70, group, i < 2 ? "0," : ""));
        }
    }
    for (GridColumn &c : columns)
        c.readOnly = false;
    rgrGrid->setColumns(columns);
    qryQuery->setSql(kStatement);
}

void TfrmSTS030::setParameters() {
    qryQuery->setParam(QStringLiteral("SALE_DATE"), workDate());
    qryQuery->setParam(QStringLiteral("UPJANG_CODE"), code());
    qryQuery->setParam(QStringLiteral("DIVISION"), QString());
}

} // namespace kelo::screens
