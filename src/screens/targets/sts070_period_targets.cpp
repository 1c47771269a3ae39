#include "common/dates.h"
#include "common/reportlocations.h"
#include "screens/targets/rollup.h"
#include "screens/targets/target_inquiries.h"
#include "screens/viewer/report_viewers.h"

namespace kelo::screens {

namespace {

// The period's targets and actual sales (net amount with service charge, in thousands) per
// department 2 under its department 1, a subtotal after each department 1. Department 1
// '60' and the rows without a department 1 (the grand total among them) are left out.
const QString kDepartments =
    QStringLiteral(R"sql(
    WITH S AS (
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM2,
            A.GUESTS AS DAY_GUESTS,
            A.SALE_AMT AS DAY_SALE_AMT,
            0 AS REAL_GUESTS,
            0 AS REAL_NET_AMT
        FROM JH040MS A
        LEFT JOIN JA011MS B
            ON A.UPJANG_CODE = B.UPJANG_CODE
        WHERE A.SALE_DATE BETWEEN :AFROM_DATE AND :ATO_DATE
            AND (B.DEPT_ITEM1 = :ADEPT_ITEM1 OR :ADEPT_ITEM1 IS NULL)
        UNION ALL
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM2,
            0,
            0,
            C.D_GUESTS,
            C.D_NET_AMT + C.D_SVC_AMT
        FROM SA090MS_NEW_2012 C
        LEFT JOIN JA011MS B
            ON C.UPJANG_CODE = B.UPJANG_CODE
        WHERE C.SALE_DATE BETWEEN :AFROM_DATE AND :ATO_DATE
            AND C.UPJANG_CODE <> '1704'
            AND (B.DEPT_ITEM1 = :ADEPT_ITEM1 OR :ADEPT_ITEM1 IS NULL)
    ),
    W AS (
        SELECT DEPT_ITEM1, DEPT_ITEM2, SUM(DAY_GUESTS) AS DAY_GUESTS,
            SUM(DAY_SALE_AMT) AS DAY_SALE_AMT, SUM(REAL_GUESTS) AS REAL_GUESTS,
            SUM(REAL_NET_AMT) AS REAL_NET_AMT
        FROM S
        GROUP BY DEPT_ITEM1, DEPT_ITEM2
    ),
    L AS (
%1
    )
    SELECT DECODE(R.RANK1, 1, R.DEPT_ITEM1_NAME) AS GUBUN_NAME1,
        DECODE(R.RANK2, 1, R.DEPT_ITEM2_NAME) AS GUBUN_NAME2,
        DECODE(R.LVL, 2, R.DEPT_ITEM2_NAME, '소 계') AS GUBUN_NAME3,
        R.DAY_GUESTS,
        R.DAY_SALE_AMT,
        R.REAL_GUESTS,
        NVL(ROUND(DECODE(R.REAL_NET_AMT, 0, 0, R.REAL_NET_AMT * 0.001), 0), 0) AS REAL_NET_AMT
    FROM (
        SELECT L.*,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0092' AND DETAIL = L.DEPT_ITEM1) AS DEPT_ITEM1_NAME,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0091' AND DETAIL = L.DEPT_ITEM2) AS DEPT_ITEM2_NAME,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1 ORDER BY L.DEPT_ITEM2 NULLS LAST, L.LVL DESC) AS RANK1,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1, L.DEPT_ITEM2 ORDER BY L.LVL DESC) AS RANK2
        FROM L
        WHERE L.DEPT_ITEM1 <> '60'
    ) R
    ORDER BY R.DEPT_ITEM1, R.DEPT_ITEM2 NULLS LAST, R.LVL DESC
)sql")
        .arg(RollUpLevels({QStringLiteral("DEPT_ITEM1"), QStringLiteral("DEPT_ITEM2")},
                          {QStringLiteral("DAY_GUESTS"), QStringLiteral("DAY_SALE_AMT"),
                           QStringLiteral("REAL_GUESTS"), QStringLiteral("REAL_NET_AMT")},
                          1));

// The same per outlet under department 2 and department 1, for one outlet or all.
const QString kOutlets =
    QStringLiteral(R"sql(
    WITH S AS (
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM2,
            A.UPJANG_CODE,
            A.GUESTS AS DAY_GUESTS,
            A.SALE_AMT AS DAY_SALE_AMT,
            0 AS REAL_GUESTS,
            0 AS REAL_NET_AMT
        FROM JH040MS A
        LEFT JOIN JA011MS B
            ON A.UPJANG_CODE = B.UPJANG_CODE
        WHERE A.SALE_DATE BETWEEN :AFROM_DATE AND :ATO_DATE
            AND (A.UPJANG_CODE = :UPJANG_CODE OR :UPJANG_CODE IS NULL)
        UNION ALL
        SELECT B.DEPT_ITEM1,
            B.DEPT_ITEM2,
            B.UPJANG_CODE,
            0,
            0,
            C.D_GUESTS,
            C.D_NET_AMT + C.D_SVC_AMT
        FROM SA090MS_NEW_2012 C
        LEFT JOIN JA011MS B
            ON C.UPJANG_CODE = B.UPJANG_CODE
        WHERE C.SALE_DATE BETWEEN :AFROM_DATE AND :ATO_DATE
            AND C.UPJANG_CODE <> '1704'
            AND (C.UPJANG_CODE = :UPJANG_CODE OR :UPJANG_CODE IS NULL)
    ),
    W AS (
        SELECT DEPT_ITEM1, DEPT_ITEM2, UPJANG_CODE, SUM(DAY_GUESTS) AS DAY_GUESTS,
            SUM(DAY_SALE_AMT) AS DAY_SALE_AMT, SUM(REAL_GUESTS) AS REAL_GUESTS,
            SUM(REAL_NET_AMT) AS REAL_NET_AMT
        FROM S
        GROUP BY DEPT_ITEM1, DEPT_ITEM2, UPJANG_CODE
    ),
    L AS (
%1
    )
    SELECT DECODE(R.RANK1, 1, R.DEPT_ITEM1_NAME) AS GUBUN_NAME1,
        DECODE(R.RANK2, 1, R.DEPT_ITEM2_NAME) AS GUBUN_NAME2,
        DECODE(R.LVL, 3, R.UPJANG_NAME, '소 계') AS GUBUN_NAME3,
        R.DAY_GUESTS,
        R.DAY_SALE_AMT,
        R.REAL_GUESTS,
        NVL(ROUND(DECODE(R.REAL_NET_AMT, 0, 0, R.REAL_NET_AMT * 0.001), 0), 0) AS REAL_NET_AMT
    FROM (
        SELECT L.*,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0092' AND DETAIL = L.DEPT_ITEM1) AS DEPT_ITEM1_NAME,
            (SELECT DETAIL_NAME FROM ZX010MS WHERE HEAD = 'J0091' AND DETAIL = L.DEPT_ITEM2) AS DEPT_ITEM2_NAME,
            (SELECT UPJANG_NAME FROM JA010MS WHERE UPJANG_CODE = L.UPJANG_CODE) AS UPJANG_NAME,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1 ORDER BY L.DEPT_ITEM2 NULLS LAST, L.UPJANG_CODE NULLS LAST, L.LVL DESC) AS RANK1,
            RANK() OVER (PARTITION BY L.DEPT_ITEM1, L.DEPT_ITEM2 ORDER BY L.UPJANG_CODE NULLS LAST, L.LVL DESC) AS RANK2
        FROM L
        WHERE L.DEPT_ITEM1 <> '60'
    ) R
    ORDER BY R.DEPT_ITEM1, R.DEPT_ITEM2 NULLS LAST, R.UPJANG_CODE NULLS LAST, R.LVL DESC
)sql")
        .arg(RollUpLevels({QStringLiteral("DEPT_ITEM1"), QStringLiteral("DEPT_ITEM2"),
                           QStringLiteral("UPJANG_CODE")},
                          {QStringLiteral("DAY_GUESTS"), QStringLiteral("DAY_SALE_AMT"),
                           QStringLiteral("REAL_GUESTS"), QStringLiteral("REAL_NET_AMT")},
                          1));

std::vector<controls::GridColumn> periodColumns(const char *amountTitle) {
    const QStringList code{QStringLiteral("업장코드")};
    std::vector<controls::GridColumn> columns = {
        TextColumn("GUBUN_NAME1", "경영구분명", 150, code),
        TextColumn("GUBUN_NAME2", "경영구분명2", 150, code),
        TextColumn("GUBUN_NAME3", "영업장 명", 150, {QStringLiteral("영업장 명")}),
    };
    columns.back().visible = false;
    const QStringList target{QStringLiteral("목표")}, actual{QStringLiteral("실적")};
    columns.push_back(FigureColumn("DAY_GUESTS", "이용객", 120, target));
    columns.push_back(FigureColumn("DAY_SALE_AMT", amountTitle, 140, target));
    columns.push_back(FigureColumn("REAL_GUESTS", "이용객", 120, actual));
    columns.push_back(FigureColumn("REAL_NET_AMT", amountTitle, 140, actual));
    return columns;
}

} // namespace

TfrmSTS070::TfrmSTS070(db::Connection &connection, QWidget *parent)
    : TfrmSTS070(connection, QStringLiteral("frmSTS070"), CodeKind::Section, "실적", parent) {}

TfrmSTS070::TfrmSTS070(db::Connection &connection, const QString &name, CodeKind kind,
                       const char *amountTitle, QWidget *parent)
    : TfrmTargetInquiry(
          connection, name,
          Setup{.dates = Dates::Period, .kind = kind, .codeCaption = QStringLiteral("경영부분")},
          parent) {
    setWindowTitle(name);
    rgrGrid->setColumns(periodColumns(amountTitle));
    qryQuery->setSql(kind == CodeKind::Section ? kDepartments : kOutlets);
}

void TfrmSTS070::setParameters() {
    qryQuery->setParam(QStringLiteral("AFROM_DATE"), fromDate());
    qryQuery->setParam(QStringLiteral("ATO_DATE"), toDate());
    qryQuery->setParam(QStringLiteral("ADEPT_ITEM1"), code());
}

void TfrmSTS070::handOver() {
    HandoverWorkDate() = fromDate();
    HandoverToDate() = toDate();
    sri120::HandoverDeptItem() = code();
}

QString TfrmSTS070::printLocation() const {
    return MainLocation(QStringLiteral("MIS(SRI130)"));
}

QString TfrmSTS070::printParams() const {
    return NamedParams({{QStringLiteral("AFROM_DATE"), fromDate()},
                        {QStringLiteral("ATO_DATE"), toDate()},
                        {QStringLiteral("ADEPT_ITEM1"), code()}});
}

QString TfrmSTS070::previewProgram() const {
    return QStringLiteral("SRI120");
}

TfrmSTS080::TfrmSTS080(db::Connection &connection, QWidget *parent)
    : TfrmSTS070(connection, QStringLiteral("frmSTS080"), CodeKind::Outlet, "금 액", parent) {}

void TfrmSTS080::setParameters() {
    qryQuery->setParam(QStringLiteral("AFROM_DATE"), fromDate());
    qryQuery->setParam(QStringLiteral("ATO_DATE"), toDate());
    qryQuery->setParam(QStringLiteral("UPJANG_CODE"), code());
}

void TfrmSTS080::handOver() {
    HandoverWorkDate() = fromDate();
    HandoverToDate() = toDate();
    sri220::HandoverDeptItem() = code();
}

QString TfrmSTS080::printLocation() const {
    return MainLocation(QStringLiteral("MIS(SRI120)"));
}

QString TfrmSTS080::printParams() const {
    return TfrmSTS070::printParams();
}

QString TfrmSTS080::previewProgram() const {
    return QStringLiteral("SRI220");
}

} // namespace kelo::screens
