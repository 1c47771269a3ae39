#include "common/dates.h"
#include "common/reportlocations.h"
#include "screens/targets/rollup.h"
#include "screens/targets/target_inquiries.h"

#include <cmath>

namespace kelo::screens {

namespace {

// The figures, in the order of the grid; the service charge is added to the actual amounts
// that have one. Amounts are shown in thousands.
struct Figure {
    const char *name;
    const char *serviceCharge; // the column added to it, or none
};
const Figure kFigures[] = {
    {"DB_GUESTS", nullptr},          {"D_GUESTS", nullptr},           {"D_DIFF_GUESTS", nullptr},
    {"TB_GUESTS", nullptr},          {"DB_NET_AMT", nullptr},         {"D_NET_AMT", "D_SVC_AMT"},
    {"D_DIFF_NET_AMT", "D_SVC_AMT"}, {"TB_NET_AMT", nullptr},         {"MB_GUESTS", nullptr},
    {"M_GUESTS", nullptr},           {"M_DIFF_GUESTS", nullptr},      {"LM_GUESTS", nullptr},
    {"LM_DIFF_GUESTS", nullptr},     {"MB_NET_AMT", nullptr},         {"M_NET_AMT", "M_SVC_AMT"},
    {"M_DIFF_NET_AMT", "M_SVC_AMT"}, {"LM_NET_AMT", nullptr},         {"LM_DIFF_NET_AMT", nullptr},
    {"YB_GUESTS", nullptr},          {"Y_GUESTS", nullptr},           {"Y_DIFF_GUESTS", nullptr},
    {"LY_GUESTS", nullptr},          {"LY_DIFF_GUESTS", nullptr},     {"YB_NET_AMT", nullptr},
    {"Y_NET_AMT", "Y_SVC_AMT"},      {"Y_DIFF_NET_AMT", "Y_SVC_AMT"}, {"LY_NET_AMT", nullptr},
    {"LY_DIFF_NET_AMT", nullptr},
};

bool IsAmount(const QString &name) {
    return name.endsWith(QLatin1String("_AMT"));
}

QString Sums() {
    QStringList out;
    for (const Figure &f : kFigures) {
        const QString name = QLatin1String(f.name);
        const QString added =
            f.serviceCharge ? QStringLiteral(" + C.") + QLatin1String(f.serviceCharge) : QString();
        out << QStringLiteral("SUM(C.%1%2) AS %1").arg(name, added);
    }
    return out.join(QStringLiteral(",\n            "));
}

QStringList Names() {
    QStringList out;
    for (const Figure &f : kFigures)
        out << QLatin1String(f.name);
    return out;
}

QString Shown() {
    QStringList out;
    for (const QString &name : Names())
        out << (IsAmount(name)
                    ? QStringLiteral("NVL(ROUND(DECODE(R.%1, 0, 0, R.%1 * 0.001), 0), 0) AS %1")
                    : QStringLiteral("NVL(R.%1, 0) AS %1"))
                   .arg(name);
    return out.join(QStringLiteral(",\n        "));
}

// The day's target-against-actual figures (day, month and year, with last year's) of the
// outlets with a target that day, per department 2 under its department 1, a subtotal after
// each department 1 and the total last. Guests as they are; amounts with the service
// charge where actual, in thousands.
QString Statement() {
    return QStringLiteral(R"sql(
    WITH W AS (
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM2,
            %1
        FROM SA090MS C
        LEFT JOIN JA011MS_TS B
            ON C.UPJANG_CODE = B.UPJANG_CODE
        WHERE C.SALE_DATE = :ATASK_DATE
            AND EXISTS (
                SELECT 1
                FROM JH040MS A
                WHERE A.UPJANG_CODE = C.UPJANG_CODE
                    AND A.SALE_DATE = C.SALE_DATE
            )
            AND (B.DEPT_ITEM1 = :ADEPT_ITEM1 OR :ADEPT_ITEM1 IS NULL)
        GROUP BY B.DEPT_ITEM1, B.DEPT_ITEM2
    ),
    L AS (
%2
    )
    SELECT DECODE(R.RANK1, 1, R.DEPT_ITEM1_NAME) AS GUBUN_NAME1,
        DECODE(R.RANK2, 1, R.DEPT_ITEM2_NAME) AS GUBUN_NAME2,
        DECODE(R.LVL, 0, '합 계', 2, R.DEPT_ITEM2_NAME, '소 계') AS GUBUN_NAME3,
        DECODE(R.DEPT_ITEM2, '110', '객실수', '이용객') AS DEPT_GUBUN3,
        '매출액 ' AS BBB,
        %3
    FROM (
        SELECT L.*,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0096' AND DETAIL = L.DEPT_ITEM1) AS DEPT_ITEM1_NAME,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0097' AND DETAIL = L.DEPT_ITEM2) AS DEPT_ITEM2_NAME,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1 ORDER BY L.DEPT_ITEM2 NULLS LAST, L.LVL DESC) AS RANK1,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1, L.DEPT_ITEM2 ORDER BY L.LVL DESC) AS RANK2
        FROM L
    ) R
    ORDER BY R.DEPT_ITEM1 NULLS LAST, R.DEPT_ITEM2 NULLS LAST, R.LVL DESC
)sql")
        .arg(Sums(),
             RollUpLevels({QStringLiteral("DEPT_ITEM1"), QStringLiteral("DEPT_ITEM2")}, Names()),
             Shown());
}

} // namespace

TfrmSTS020::TfrmSTS020(db::Connection &connection, QWidget *parent)
    : TfrmTargetInquiry(connection, QStringLiteral("frmSTS020"),
                        Setup{.dates = Dates::Day,
                              .kind = CodeKind::Section,
                              .codeCaption = QStringLiteral("영업장"),
                              .paintCells = true,
                              .clearCodeOnCancel = false,
                              .dateKeys = true,
                              .codeKeys = true},
                        parent) {
    setWindowTitle(QStringLiteral("frmSTS020"));
    bbtSearch->setText(QStringLiteral("조회(F3)"));
    bbtSave->setText(QStringLiteral("저장(F2)"));
    bbtCancel->setText(QStringLiteral("취소(F8)"));
    bbtAdd->setText(QStringLiteral("신규(F4)"));
    bbtDelete->setText(QStringLiteral("삭제(F9)"));
    bbtClose->setText(QStringLiteral("종료(F12)"));

    // Every row is two lines: guests on the first, amounts on the second. The amounts are
    // hidden columns of their own, shown under the guests.
    using controls::GridColumn;
    std::vector<GridColumn> columns = {
        TextColumn("GUBUN_NAME1", "구분", 40, {QStringLiteral("업장코드")}),
        TextColumn("GUBUN_NAME2", "구분명", 50, {QStringLiteral("영업장 명")}),
        TextColumn("GUBUN_NAME3", "영업장명", 50, {QStringLiteral("영업장 명")}),
        TextColumn("DEPT_GUBUN3", "이용객", 40, {QStringLiteral("구분")}),
        TextColumn("BBB", "매출액", 40, {QStringLiteral("구분")}),
    };
    columns[3].secondField = QStringLiteral("BBB");
    columns[3].secondTitle = QStringLiteral("매출액");
    columns[4].visible = false;
    const struct {
        const char *group;
        std::vector<const char *> prefixes, titles;
    } windows[] = {
        {"일", {"DB", "D", "D_DIFF", "TB"}, {"목표", "실적", "차이", "금일목표"}},
        {"월",
         {"MB", "M", "M_DIFF", "LM", "LM_DIFF"},
         {"목표", "실적", "차이", "전년실적", "차이"}},
        {"년",
         {"YB", "Y", "Y_DIFF", "LY", "LY_DIFF"},
         {"목표", "실적", "차이", "전년실적", "차이"}},
    };
    for (const auto &w : windows) {
        const QStringList group{QString::fromUtf8(w.group)};
        for (size_t i = 0; i < w.prefixes.size(); ++i) {
            const QByteArray guests = QByteArray(w.prefixes[i]) + "_GUESTS";
            GridColumn c = FigureColumn(guests.constData(), w.titles[i], 60, group);
            c.secondField = QLatin1String(w.prefixes[i]) + QStringLiteral("_NET_AMT");
            c.secondTitle = c.title;
            c.secondFormat = QStringLiteral("0,");
            columns.push_back(c);
        }
        for (const char *prefix : w.prefixes) {
            const QByteArray amount = QByteArray(prefix) + "_NET_AMT";
            GridColumn c = FigureColumn(amount.constData(), "", 60, group);
            c.visible = false;
            columns.push_back(c);
        }
    }
    rgrGrid->setColumns(columns);
    qryQuery->setSql(Statement());
}

void TfrmSTS020::setParameters() {
    qryQuery->setParam(QStringLiteral("ATASK_DATE"), workDate());
    qryQuery->setParam(QStringLiteral("ADEPT_ITEM1"), code());
}

void TfrmSTS020::applyColumnWidths(int width) {
    std::vector<int> widths;
    for (double r : {0.04, 0.1, 0.04, 0.22, 0.3, 0.3})
        widths.push_back(int(std::trunc((width - 50) * r)));
    setGroupWidths(widths);
}

void TfrmSTS020::handOver() {
    HandoverWorkDate() = workDate();
}

QString TfrmSTS020::printLocation() const {
    return MainLocation(QStringLiteral("MIS(SRI180)"));
}

QString TfrmSTS020::printParams() const {
    return NamedParams({{QStringLiteral("ATASK_DATE"), workDate()}});
}

QString TfrmSTS020::previewProgram() const {
    return QStringLiteral("SRI110");
}

} // namespace kelo::screens
