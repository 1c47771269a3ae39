#include "common/dates.h"
#include "common/reportlocations.h"
#include "screens/targets/target_inquiries.h"

#include <cmath>

namespace kelo::screens {

namespace {

// The day's target-against-actual figures (day, month and year, with last year's) of the
// outlets with a target that day, per department 2 under its department 1, a subtotal after
// each department 1 and the total last. Guests as they are; amounts with the service
// charge where actual, in thousands.
const QString kStatement = QStringLiteral(R"sql(
    WITH W AS (
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM2,
            SUM(C.DB_GUESTS) AS DB_GUESTS,
            SUM(C.D_GUESTS) AS D_GUESTS,
            SUM(C.D_DIFF_GUESTS) AS D_DIFF_GUESTS,
            SUM(C.TB_GUESTS) AS TB_GUESTS,
            SUM(C.DB_NET_AMT) AS DB_NET_AMT,
            SUM(C.D_NET_AMT + C.D_SVC_AMT) AS D_NET_AMT,
            SUM(C.D_DIFF_NET_AMT + C.D_SVC_AMT) AS D_DIFF_NET_AMT,
            SUM(C.TB_NET_AMT) AS TB_NET_AMT,
            SUM(C.MB_GUESTS) AS MB_GUESTS,
            SUM(C.M_GUESTS) AS M_GUESTS,
            SUM(C.M_DIFF_GUESTS) AS M_DIFF_GUESTS,
            SUM(C.LM_GUESTS) AS LM_GUESTS,
            SUM(C.LM_DIFF_GUESTS) AS LM_DIFF_GUESTS,
            SUM(C.MB_NET_AMT) AS MB_NET_AMT,
            SUM(C.M_NET_AMT + C.M_SVC_AMT) AS M_NET_AMT,
            SUM(C.M_DIFF_NET_AMT + C.M_SVC_AMT) AS M_DIFF_NET_AMT,
            SUM(C.LM_NET_AMT) AS LM_NET_AMT,
            SUM(C.LM_DIFF_NET_AMT) AS LM_DIFF_NET_AMT,
            SUM(C.YB_GUESTS) AS YB_GUESTS,
            SUM(C.Y_GUESTS) AS Y_GUESTS,
            SUM(C.Y_DIFF_GUESTS) AS Y_DIFF_GUESTS,
            SUM(C.LY_GUESTS) AS LY_GUESTS,
            SUM(C.LY_DIFF_GUESTS) AS LY_DIFF_GUESTS,
            SUM(C.YB_NET_AMT) AS YB_NET_AMT,
            SUM(C.Y_NET_AMT + C.Y_SVC_AMT) AS Y_NET_AMT,
            SUM(C.Y_DIFF_NET_AMT + C.Y_SVC_AMT) AS Y_DIFF_NET_AMT,
            SUM(C.LY_NET_AMT) AS LY_NET_AMT,
            SUM(C.LY_DIFF_NET_AMT) AS LY_DIFF_NET_AMT
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
        SELECT 2 AS LVL, DEPT_ITEM1, DEPT_ITEM2,
            DB_GUESTS,
            D_GUESTS,
            D_DIFF_GUESTS,
            TB_GUESTS,
            DB_NET_AMT,
            D_NET_AMT,
            D_DIFF_NET_AMT,
            TB_NET_AMT,
            MB_GUESTS,
            M_GUESTS,
            M_DIFF_GUESTS,
            LM_GUESTS,
            LM_DIFF_GUESTS,
            MB_NET_AMT,
            M_NET_AMT,
            M_DIFF_NET_AMT,
            LM_NET_AMT,
            LM_DIFF_NET_AMT,
            YB_GUESTS,
            Y_GUESTS,
            Y_DIFF_GUESTS,
            LY_GUESTS,
            LY_DIFF_GUESTS,
            YB_NET_AMT,
            Y_NET_AMT,
            Y_DIFF_NET_AMT,
            LY_NET_AMT,
            LY_DIFF_NET_AMT
        FROM W
        UNION ALL
        SELECT 1, DEPT_ITEM1, NULL,
            SUM(DB_GUESTS),
            SUM(D_GUESTS),
            SUM(D_DIFF_GUESTS),
            SUM(TB_GUESTS),
            SUM(DB_NET_AMT),
            SUM(D_NET_AMT),
            SUM(D_DIFF_NET_AMT),
            SUM(TB_NET_AMT),
            SUM(MB_GUESTS),
            SUM(M_GUESTS),
            SUM(M_DIFF_GUESTS),
            SUM(LM_GUESTS),
            SUM(LM_DIFF_GUESTS),
            SUM(MB_NET_AMT),
            SUM(M_NET_AMT),
            SUM(M_DIFF_NET_AMT),
            SUM(LM_NET_AMT),
            SUM(LM_DIFF_NET_AMT),
            SUM(YB_GUESTS),
            SUM(Y_GUESTS),
            SUM(Y_DIFF_GUESTS),
            SUM(LY_GUESTS),
            SUM(LY_DIFF_GUESTS),
            SUM(YB_NET_AMT),
            SUM(Y_NET_AMT),
            SUM(Y_DIFF_NET_AMT),
            SUM(LY_NET_AMT),
            SUM(LY_DIFF_NET_AMT)
        FROM W
        GROUP BY DEPT_ITEM1
        UNION ALL
        SELECT 0, NULL, NULL,
            SUM(DB_GUESTS),
            SUM(D_GUESTS),
            SUM(D_DIFF_GUESTS),
            SUM(TB_GUESTS),
            SUM(DB_NET_AMT),
            SUM(D_NET_AMT),
            SUM(D_DIFF_NET_AMT),
            SUM(TB_NET_AMT),
            SUM(MB_GUESTS),
            SUM(M_GUESTS),
            SUM(M_DIFF_GUESTS),
            SUM(LM_GUESTS),
            SUM(LM_DIFF_GUESTS),
            SUM(MB_NET_AMT),
            SUM(M_NET_AMT),
            SUM(M_DIFF_NET_AMT),
            SUM(LM_NET_AMT),
            SUM(LM_DIFF_NET_AMT),
            SUM(YB_GUESTS),
            SUM(Y_GUESTS),
            SUM(Y_DIFF_GUESTS),
            SUM(LY_GUESTS),
            SUM(LY_DIFF_GUESTS),
            SUM(YB_NET_AMT),
            SUM(Y_NET_AMT),
            SUM(Y_DIFF_NET_AMT),
            SUM(LY_NET_AMT),
            SUM(LY_DIFF_NET_AMT)
        FROM W
        HAVING COUNT(*) > 0
    )
    SELECT DECODE(R.RANK1, 1, R.DEPT_ITEM1_NAME) AS GUBUN_NAME1,
        DECODE(R.RANK2, 1, R.DEPT_ITEM2_NAME) AS GUBUN_NAME2,
        DECODE(R.LVL, 0, '합 계', 2, R.DEPT_ITEM2_NAME, '소 계') AS GUBUN_NAME3,
        DECODE(R.DEPT_ITEM2, '110', '객실수', '이용객') AS DEPT_GUBUN3,
        '매출액 ' AS BBB,
        NVL(R.DB_GUESTS, 0) AS DB_GUESTS,
        NVL(R.D_GUESTS, 0) AS D_GUESTS,
        NVL(R.D_DIFF_GUESTS, 0) AS D_DIFF_GUESTS,
        NVL(R.TB_GUESTS, 0) AS TB_GUESTS,
        NVL(ROUND(DECODE(R.DB_NET_AMT, 0, 0, R.DB_NET_AMT * 0.001), 0), 0) AS DB_NET_AMT,
        NVL(ROUND(DECODE(R.D_NET_AMT, 0, 0, R.D_NET_AMT * 0.001), 0), 0) AS D_NET_AMT,
        NVL(ROUND(DECODE(R.D_DIFF_NET_AMT, 0, 0, R.D_DIFF_NET_AMT * 0.001), 0), 0) AS D_DIFF_NET_AMT,
        NVL(ROUND(DECODE(R.TB_NET_AMT, 0, 0, R.TB_NET_AMT * 0.001), 0), 0) AS TB_NET_AMT,
        NVL(R.MB_GUESTS, 0) AS MB_GUESTS,
        NVL(R.M_GUESTS, 0) AS M_GUESTS,
        NVL(R.M_DIFF_GUESTS, 0) AS M_DIFF_GUESTS,
        NVL(R.LM_GUESTS, 0) AS LM_GUESTS,
        NVL(R.LM_DIFF_GUESTS, 0) AS LM_DIFF_GUESTS,
        NVL(ROUND(DECODE(R.MB_NET_AMT, 0, 0, R.MB_NET_AMT * 0.001), 0), 0) AS MB_NET_AMT,
        NVL(ROUND(DECODE(R.M_NET_AMT, 0, 0, R.M_NET_AMT * 0.001), 0), 0) AS M_NET_AMT,
        NVL(ROUND(DECODE(R.M_DIFF_NET_AMT, 0, 0, R.M_DIFF_NET_AMT * 0.001), 0), 0) AS M_DIFF_NET_AMT,
        NVL(ROUND(DECODE(R.LM_NET_AMT, 0, 0, R.LM_NET_AMT * 0.001), 0), 0) AS LM_NET_AMT,
        NVL(ROUND(DECODE(R.LM_DIFF_NET_AMT, 0, 0, R.LM_DIFF_NET_AMT * 0.001), 0), 0) AS LM_DIFF_NET_AMT,
        NVL(R.YB_GUESTS, 0) AS YB_GUESTS,
        NVL(R.Y_GUESTS, 0) AS Y_GUESTS,
        NVL(R.Y_DIFF_GUESTS, 0) AS Y_DIFF_GUESTS,
        NVL(R.LY_GUESTS, 0) AS LY_GUESTS,
        NVL(R.LY_DIFF_GUESTS, 0) AS LY_DIFF_GUESTS,
        NVL(ROUND(DECODE(R.YB_NET_AMT, 0, 0, R.YB_NET_AMT * 0.001), 0), 0) AS YB_NET_AMT,
        NVL(ROUND(DECODE(R.Y_NET_AMT, 0, 0, R.Y_NET_AMT * 0.001), 0), 0) AS Y_NET_AMT,
        NVL(ROUND(DECODE(R.Y_DIFF_NET_AMT, 0, 0, R.Y_DIFF_NET_AMT * 0.001), 0), 0) AS Y_DIFF_NET_AMT,
        NVL(ROUND(DECODE(R.LY_NET_AMT, 0, 0, R.LY_NET_AMT * 0.001), 0), 0) AS LY_NET_AMT,
        NVL(ROUND(DECODE(R.LY_DIFF_NET_AMT, 0, 0, R.LY_DIFF_NET_AMT * 0.001), 0), 0) AS LY_DIFF_NET_AMT
    FROM (
        SELECT L.*,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0096' AND DETAIL = L.DEPT_ITEM1) AS DEPT_ITEM1_NAME,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0097' AND DETAIL = L.DEPT_ITEM2) AS DEPT_ITEM2_NAME,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1 ORDER BY L.DEPT_ITEM2 NULLS LAST, L.LVL DESC) AS RANK1,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1, L.DEPT_ITEM2 ORDER BY L.LVL DESC) AS RANK2
        FROM L
    ) R
    ORDER BY R.DEPT_ITEM1 NULLS LAST, R.DEPT_ITEM2 NULLS LAST, R.LVL DESC
)sql");

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
    qryQuery->setSql(kStatement);
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
