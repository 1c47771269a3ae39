#include "screens/sales/sales_inquiries.h"

#include "common/dates.h"
#include "common/functions.h"
#include "db/query.h"
#include "framework/screenhelpers.h"
#include "screens/common/periods.h"
#include "screens/sales/sales_windows.h"

#include <QHBoxLayout>

namespace kelo::screens {

using namespace sales;
using periods::Bound;
using periods::Scalar;

namespace {

controls::GridColumn col(const char *field, const char *title, int width, bool figure = true,
                         const char *group = nullptr) {
    controls::GridColumn c = figure ? controls::NumberColumn(field, title, width)
                                    : controls::Column(field, title, width);
    if (figure)
        c.footer.style = controls::FooterStyle::Down;
    if (group)
        c.groups = {QString::fromUtf8(group)};
    return c;
}

void setupGrid(controls::Grid *grid, const std::vector<controls::GridColumn> &columns) {
    grid->setColumns(columns);
    controls::GridOptions o = grid->options();
    o.rowHeight = 25;
    grid->setOptions(o);
}

// Sums of an amount in the four windows: today, month to date, same day last year,
// last year's month to that day.
QString windows(const QString &date, const QString &qty, const QString &amount, bool quantities) {
    QString s;
    const QString today = QStringLiteral("%1 = :ASALE_DATE").arg(date);
    const QString month =
        QStringLiteral("%1 BETWEEN %2 AND :ASALE_DATE").arg(date, Scalar(Bound::MonthStart));
    const QString lastDay = QStringLiteral("%1 = %2").arg(date, Scalar(Bound::LastYearDay));
    const QString lastMonth =
        QStringLiteral("%1 BETWEEN %2 AND %3")
            .arg(date, Scalar(Bound::LastYearMonthStart), Scalar(Bound::LastYearDay));
    auto sum = [](const QString &when, const QString &what, const char *as) {
        return QStringLiteral("SUM(CASE WHEN %1 THEN %2 ELSE 0 END) AS %3")
            .arg(when, what, QLatin1String(as));
    };
    QStringList parts;
    if (quantities)
        parts << sum(today, qty, "D_C_QTY");
    parts << sum(today, amount, "D_C_SALE");
    if (quantities)
        parts << sum(lastDay, qty, "D_L_QTY");
    parts << sum(lastDay, amount, "D_L_SALE");
    if (quantities)
        parts << sum(month, qty, "M_C_QTY");
    parts << sum(month, amount, "M_C_SALE");
    if (quantities)
        parts << sum(lastMonth, qty, "M_L_QTY");
    parts << sum(lastMonth, amount, "M_L_SALE");
    s = parts.join(QStringLiteral(", "));
    return s;
}

QString windowFilter(const QString &date) {
    return QStringLiteral("(%1 BETWEEN %2 AND :ASALE_DATE OR %1 BETWEEN %3 AND %4)")
        .arg(date, Scalar(Bound::MonthStart), Scalar(Bound::LastYearMonthStart),
             Scalar(Bound::LastYearDay));
}

// NVL(sum, 0) of the figures of a grouped union.
QString nvlSums(const QStringList &fields, const char *alias = "A") {
    QStringList out;
    for (const QString &f : fields)
        out << QStringLiteral("NVL(SUM(%1.%2), 0) AS %2").arg(QLatin1String(alias), f);
    return out.join(QStringLiteral(", "));
}

} // namespace

// ---- SAS010 ------------------------------------------------------------------------

TfrmSAS010::TfrmSAS010(db::Connection &connection, QWidget *parent)
    : TfrmSZS010(connection, QStringLiteral("frmSAS010"), parent) {
    setWindowTitle(QStringLiteral("부문별 매출현황"));
    controls::GridColumn code = col("GUBUN", "구분", 50, false, "구분");
    code.alignment = Qt::AlignCenter;
    controls::GridColumn dRatio = col("D_GROTH", "대비율", 70, true, "당일");
    dRatio.displayFormat.clear();
    controls::GridColumn mRatio = col("M_GROTH", "대비율", 70, true, "월계");
    mRatio.displayFormat.clear();
    setupGrid(rgrGrid, {code, col("GUBUN_NAME", "구분", 120, false, "구분"),
                        col("D_C_SALE", "금년", 110, true, "당일"),
                        col("D_L_SALE", "전년", 110, true, "당일"), dRatio,
                        col("M_C_SALE", "금년", 120, true, "월계"),
                        col("M_L_SALE", "전년", 120, true, "월계"), mRatio});
    const QString amount = QStringLiteral("NVL(NET_AMT, 0) + NVL(TIP_AMT, 0)");
    const QString unionSql = QStringLiteral(R"sql(
        SELECT GUBUN1, CASE WHEN SALE_DATE = :ASALE_DATE THEN %1 ELSE 0 END AS D_C_SALE,
            %1 AS M_C_SALE, 0 AS D_L_SALE, 0 AS M_L_SALE
        FROM KF060MS
        WHERE SALE_DATE BETWEEN %2 AND :ASALE_DATE
        UNION ALL
        SELECT GUBUN1, 0, 0, CASE WHEN SALE_DATE = %3 THEN %1 ELSE 0 END, %1
        FROM KF060MS
        WHERE SALE_DATE BETWEEN %4 AND %3
    )sql")
                                 .arg(amount, Scalar(Bound::MonthStart), Scalar(Bound::LastYearDay),
                                      Scalar(Bound::LastYearMonthStart));
    const QString ratios =
        QStringLiteral("D_C_SALE, D_L_SALE, %1 AS D_GROTH, M_C_SALE, M_L_SALE, %2 AS M_GROTH")
            .arg(Ratio(QStringLiteral("D_C_SALE"), QStringLiteral("D_L_SALE")),
                 Ratio(QStringLiteral("M_C_SALE"), QStringLiteral("M_L_SALE")));
    const QStringList sums = {"D_C_SALE", "D_L_SALE", "M_C_SALE", "M_L_SALE"};
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT GUBUN, GUBUN_NAME, %1
        FROM (
            SELECT B.DETAIL AS GUBUN, B.DETAIL_NAME AS GUBUN_NAME, %2
            FROM ZX010MS B
            LEFT JOIN (%3) A ON A.GUBUN1 = B.DETAIL
            WHERE B.HEAD = 'J0011'
                AND B.DETAIL > ' '
            GROUP BY B.DETAIL, B.DETAIL_NAME
        )
        ORDER BY GUBUN
    )sql")
                         .arg(ratios, nvlSums(sums), unionSql));
    qryFooter->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM (
            SELECT %2
            FROM (%3) A
        )
    )sql")
                          .arg(ratios, nvlSums(sums), unionSql));
    connect(rgrGrid, &controls::Grid::cellDoubleClicked, this,
            [this](int, int) { rgrGridDblClick(); });
}

void TfrmSAS010::rgrGridDblClick() {
    const int row = rgrGrid->currentRow();
    if (row < 0)
        return;
    const int division = rgrGrid->text(row, 0).toInt();
    const QString outlet = division == 1   ? QStringLiteral("1002")
                           : division == 2 ? QStringLiteral("1001")
                                           : QString();
    if (outlet.isEmpty())
        return;
    TfrmSAH010 dialog(connection(), outlet, DisplayToYmd(dedSaleDate->displayText()), this);
    dialog.exec();
}

// ---- SAS020 ------------------------------------------------------------------------

namespace {

// The target view of all divisions (division empty) or of one division's sub-divisions.
void targetQueries(db::Query *grid, db::Query *footer, bool detail) {
    const QString monthSale =
        QStringLiteral("SUM(CASE WHEN SALE_DATE BETWEEN %1 AND :ASALE_DATE THEN %2 END)");
    const QString amount = detail ? QStringLiteral("NVL(NET_AMT, 0) + NVL(TIP_AMT, 0)")
                                  : QStringLiteral("NET_AMT + TIP_AMT");
    const QString actuals =
        QStringLiteral(R"sql(
        SELECT %1 AS GUBUN, %2 AS MONTH_SALE, SUM(%3) AS YEAR_SALE, 0 AS MONTH_TARGET,
            0 AS YEAR_UNTIL_LAST_MONTH_TARGET, 0 AS YEAR_TARGET
        FROM KF060MS
        WHERE SALE_DATE BETWEEN %4 AND :ASALE_DATE
            %5
        GROUP BY %1
    )sql")
            .arg(detail ? QStringLiteral("GUBUN2") : QStringLiteral("GUBUN1"),
                 monthSale.arg(Scalar(Bound::MonthStart), amount), amount, Scalar(Bound::YearStart),
                 detail ? QStringLiteral("AND GUBUN1 = :AGUBUN1") : QString());
    const QString targets =
        QStringLiteral(R"sql(
            SELECT %1 AS GUBUN, 0, 0,
                SUM(CASE WHEN A.SALE_DATE BETWEEN %2 AND %3 THEN A.SALE_AMT ELSE 0 END),
                SUM(CASE WHEN A.SALE_DATE BETWEEN %4 AND %5 THEN A.SALE_AMT ELSE 0 END),
                SUM(A.SALE_AMT)
            FROM JH010MS A
            JOIN JA010MS B ON B.UPJANG_CODE = A.UPJANG_CODE
            WHERE A.SALE_DATE BETWEEN %4 AND %6
                %7
            GROUP BY %1
        )sql")
            .arg(detail ? QStringLiteral(":AGUBUN1") : QStringLiteral("B.SAUP_CODE1"),
                 Scalar(Bound::MonthStart), Scalar(Bound::MonthEnd), Scalar(Bound::YearStart),
                 Scalar(Bound::PreviousMonthEnd), Scalar(Bound::YearEnd),
                 detail ? QStringLiteral("AND B.SAUP_CODE1 = :AGUBUN1") : QString());
    const QString unionSql = actuals + QStringLiteral("UNION ALL") + targets;
    const QString sub = QStringLiteral(
        "ROUND(MONTH_TARGET / TO_CHAR(LAST_DAY(:ASALE_DATE), 'DD') * SUBSTR(:ASALE_DATE, 7, 2))");
    const QString outer =
        QStringLiteral("%1 AS MONTH_SUB_TARGET, MONTH_SALE, %2 AS MONTH_RATIO, MONTH_TARGET, "
                       "YEAR_UNTIL_LAST_MONTH_TARGET + "
                       "%1 AS YEAR_SUB_TARGET, YEAR_SALE, %3 AS YEAR_RATIO, YEAR_TARGET")
            .arg(sub, Ratio(QStringLiteral("MONTH_SALE"), sub),
                 Ratio(QStringLiteral("YEAR_SALE"),
                       QStringLiteral("(YEAR_UNTIL_LAST_MONTH_TARGET + %1)").arg(sub)));
    const QStringList sums = {"MONTH_SALE", "YEAR_SALE", "MONTH_TARGET",
                              "YEAR_UNTIL_LAST_MONTH_TARGET", "YEAR_TARGET"};
    const QString codes = detail
                              ? QStringLiteral("B.HEAD = 'J0012' AND B.DETAIL LIKE :AGUBUN1 || '%'")
                              : QStringLiteral("B.HEAD = 'J0011' AND B.DETAIL > ' '");
    grid->setSql(QStringLiteral(R"sql(
        SELECT GUBUN, GUBUN_NAME, %1
        FROM (
            SELECT B.DETAIL AS GUBUN, B.DETAIL_NAME AS GUBUN_NAME, %2
            FROM ZX010MS B
            LEFT JOIN (%3) A ON A.GUBUN = B.DETAIL
            WHERE %4
            GROUP BY B.DETAIL, B.DETAIL_NAME
        )
        ORDER BY GUBUN
    )sql")
                     .arg(outer, nvlSums(sums), unionSql, codes));
    footer->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM (
            SELECT %2
            FROM (%3) A
        )
    )sql")
                       .arg(outer, nvlSums(sums), unionSql));
}

std::vector<controls::GridColumn> targetColumns() {
    controls::GridColumn code = col("GUBUN", "구분", 50, false, "구분");
    code.alignment = Qt::AlignCenter;
    return {code,
            col("GUBUN_NAME", "구분", 120, false, "구분"),
            col("MONTH_SUB_TARGET", "진행목표", 90, true, "월계"),
            col("MONTH_SALE", "실적", 100, true, "월계"),
            col("MONTH_RATIO", "달성율", 55, true, "월계"),
            col("MONTH_TARGET", "목표", 100, true, "월계"),
            col("YEAR_SUB_TARGET", "진행목표", 100, true, "년계"),
            col("YEAR_SALE", "실적", 110, true, "년계"),
            col("YEAR_RATIO", "달성율", 55, true, "년계"),
            col("YEAR_TARGET", "목표", 110, true, "년계")};
}

} // namespace

TfrmSAS020::TfrmSAS020(db::Connection &connection, QWidget *parent)
    : TfrmSZS010(connection, QStringLiteral("frmSAS020"), parent) {
    setWindowTitle(QStringLiteral("목표대비 매출현황"));
    setupGrid(rgrGrid, targetColumns());
    targetQueries(qryQuery, qryFooter, false);
    connect(rgrGrid, &controls::Grid::cellDoubleClicked, this,
            [this](int, int) { rgrGridDblClick(); });
}

void TfrmSAS020::rgrGridDblClick() {
    const int row = rgrGrid->currentRow();
    if (row < 0)
        return;
    TfrmSAH030 dialog(connection(), rgrGrid->text(row, 0), DisplayToYmd(dedSaleDate->displayText()),
                      this);
    dialog.exec();
}

TfrmSAH030::TfrmSAH030(db::Connection &connection, const QString &division, const QString &saleDate,
                       QWidget *parent)
    : TfrmSZP000(connection, QStringLiteral("frmSAH030"), QString(), saleDate, parent) {
    setWindowTitle(QStringLiteral("목표대비 매출현황 상세"));
    setupGrid(rgrGrid, targetColumns());
    targetQueries(qryQuery, qryFooter, true);
    qryQuery->setParam(QStringLiteral("AGUBUN1"), division);
    qryFooter->setParam(QStringLiteral("AGUBUN1"), division);
}

// ---- SAS030 ------------------------------------------------------------------------

TfrmSAS030::TfrmSAS030(db::Connection &connection, const QString &upjangCode, QWidget *parent)
    : TfrmSZS010(connection, QStringLiteral("frmSAS030"), parent), m_upjang(upjangCode) {
    setWindowTitle(QStringLiteral("호텔 객실판매현황"));
    controls::GridColumn type = col("ROOM_TYPE", "구분", 100, false);
    type.alignment = Qt::AlignCenter;
    auto ratio = [](const char *field, const char *group) {
        controls::GridColumn c = col(field, "점유율", 70, true, group);
        c.displayFormat.clear();
        return c;
    };
    setupGrid(rgrGrid, {type, col("DAY_ROOM", "객실수", 70, true, "당일"), ratio("DAY_OCC", "당일"),
                        col("DAY_GUEST", "고객수", 70, true, "당일"),
                        col("DAY_SALE_AMT", "객실료", 110, true, "당일"),
                        col("DAY_DANGA", "객단가", 90, true, "당일"),
                        col("MONTH_ROOM", "객실수", 70, true, "월계"), ratio("MONTH_OCC", "월계"),
                        col("MONTH_GUEST", "고객수", 70, true, "월계"),
                        col("MONTH_SALE_AMT", "객실료", 120, true, "월계"),
                        col("MONTH_DANGA", "객단가", 90, true, "월계")});
    const QString today = QStringLiteral("TASK_DATE = :ASALE_DATE");
    const QString month =
        QStringLiteral("TASK_DATE BETWEEN %1 AND :ASALE_DATE").arg(Scalar(Bound::MonthStart));
    auto cases = [](const QString &when, const QString &what) {
        return QStringLiteral("SUM(CASE WHEN %1 THEN %2 ELSE 0 END)").arg(when, what);
    };
    const QString range =
        QStringLiteral("TASK_DATE BETWEEN %1 AND :ASALE_DATE AND UPJANG_CODE = :AUPJANG_CODE")
            .arg(Scalar(Bound::YearStart));
    const QString sold =
        QStringLiteral(R"sql(
            SELECT ROOM_TYPE, TASK_DATE,
                %1 AS DAY_ROOM, %2 AS DAY_GUEST, %3 AS DAY_SALE_AMT,
                %4 AS MONTH_ROOM, %5 AS MONTH_GUEST, %6 AS MONTH_SALE_AMT,
                0 AS DAY_TTL_ROOM, 0 AS MONTH_TTL_ROOM
            FROM DE030MS
            WHERE %7
                AND GUEST_TYPE NOT IN ('900', '910')
            GROUP BY ROOM_TYPE, TASK_DATE
        )sql")
            .arg(cases(today, QStringLiteral("ROOMS")), cases(today, QStringLiteral("GUESTS")),
                 cases(today, QStringLiteral("NET_AMT + SVC_AMT")),
                 cases(month, QStringLiteral("ROOMS")), cases(month, QStringLiteral("GUESTS")),
                 cases(month, QStringLiteral("NET_AMT + SVC_AMT")), range);
    const QString available = QStringLiteral("ROOM_CNT - BROKEN_CNT - INVENTORY_CNT");
    const QString rooms = QStringLiteral(R"sql(
        SELECT ROOM_TYPE, TASK_DATE, 0, 0, 0, 0, 0, 0, %1, %2
        FROM DE020MS
        WHERE %3
        GROUP BY ROOM_TYPE, TASK_DATE
    )sql")
                              .arg(cases(today, available), cases(month, available), range);
    const QStringList sums = {"DAY_ROOM",   "DAY_GUEST",   "DAY_SALE_AMT",   "DAY_TTL_ROOM",
                              "MONTH_ROOM", "MONTH_GUEST", "MONTH_SALE_AMT", "MONTH_TTL_ROOM"};
    const QString outer =
        QStringLiteral("DAY_ROOM, %1 AS DAY_OCC, DAY_GUEST, DAY_SALE_AMT, "
                       "NVL(ROUND(DECODE(DAY_ROOM, 0, 0, DAY_SALE_AMT / "
                       "DAY_ROOM), 0), 0) AS DAY_DANGA, MONTH_ROOM, %2 AS MONTH_OCC, MONTH_GUEST, "
                       "MONTH_SALE_AMT, "
                       "NVL(ROUND(DECODE(MONTH_ROOM, 0, 0, MONTH_SALE_AMT / MONTH_ROOM), 0), 0) AS "
                       "MONTH_DANGA")
            .arg(Ratio(QStringLiteral("DAY_ROOM"), QStringLiteral("DAY_TTL_ROOM")),
                 Ratio(QStringLiteral("MONTH_ROOM"), QStringLiteral("MONTH_TTL_ROOM")));
    const QString inner = sold + QStringLiteral("UNION ALL") + rooms;
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT A.ROOM_TYPE, %1
        FROM (
            SELECT ROOM_TYPE, %2
            FROM (%3) A
            GROUP BY ROOM_TYPE
        ) A
        JOIN ZX010MS B ON B.HEAD = 'DA009' AND B.DETAIL = A.ROOM_TYPE
        ORDER BY B.ITEM7
    )sql")
                         .arg(outer, nvlSums(sums), inner));
    qryFooter->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM (
            SELECT %2
            FROM (%3) A
        )
    )sql")
                          .arg(outer, nvlSums(sums), inner));
}

void TfrmSAS030::bbtSearchClick() {
    for (db::Query *q : {qryQuery, qryFooter})
        if (q->hasParam(QStringLiteral("AUPJANG_CODE")))
            q->setParam(QStringLiteral("AUPJANG_CODE"), m_upjang);
    TfrmSZS010::bbtSearchClick();
}

// ---- SAS040 ------------------------------------------------------------------------

namespace {

std::vector<controls::GridColumn> quantityColumns(const char *qtyTitle, const char *saleTitle) {
    return {col("D_C_QTY", qtyTitle, 60, true, "당일"),
            col("D_C_SALE", saleTitle, 100, true, "당일"),
            col("D_L_QTY", "전년객수", 70, true, "당일"),
            col("D_L_SALE", "전년매출", 100, true, "당일"),
            col("M_C_QTY", qtyTitle, 70, true, "월계"),
            col("M_C_SALE", saleTitle, 110, true, "월계"),
            col("M_L_QTY", "전년객수", 70, true, "월계"),
            col("M_L_SALE", "전년매출", 110, true, "월계")};
}

const QStringList kQuantityFields = {"D_C_QTY", "D_C_SALE", "D_L_QTY", "D_L_SALE",
                                     "M_C_QTY", "M_C_SALE", "M_L_QTY", "M_L_SALE"};

QString sameItem(const char *a, const char *b) {
    QStringList parts;
    for (int i = 1; i <= 5; ++i)
        parts << QStringLiteral("NVL(%1.MENU_ITEM%3, ' ') = NVL(%2.MENU_ITEM%3, ' ')")
                     .arg(QLatin1String(a), QLatin1String(b))
                     .arg(i);
    return parts.join(QStringLiteral(" AND "));
}

} // namespace

TfrmSAS040::TfrmSAS040(db::Connection &connection, QWidget *parent)
    : TfrmSZS010(connection, QStringLiteral("frmSAS040"), parent) {
    setWindowTitle(QStringLiteral("골프장 매출현황"));
    std::vector<controls::GridColumn> columns = {col("GUBUN", "업장코드", 60, false),
                                                 col("GUBUN_NAME", "업장", 120, false)};
    for (const auto &c : quantityColumns("객수", "매출"))
        columns.push_back(c);
    setupGrid(rgrGrid, columns);
    const QString figures = windows(QStringLiteral("A.SALE_DATE"), QStringLiteral("A.SALE_QTY"),
                                    QStringLiteral("A.NET_AMT"), true);
    // The course's sales are cut to the two windows first and only then matched with the
    // menu's validity periods: left to itself the planner walks the menus and reads each
    // menu's whole validity range of sales.
    const QString courseSales = QStringLiteral(R"sql(
        WITH C AS MATERIALIZED (
            SELECT *
            FROM IA010MS A
            WHERE A.UPJANG_CODE = '2001'
                AND %1
        )
    )sql")
                                    .arg(windowFilter(QStringLiteral("A.SALE_DATE")));
    const QString course = QStringLiteral(R"sql(
        SELECT B.MENU_GUBUN_CODE AS GUBUN, %1
        FROM C A
        JOIN JB010MS B ON B.UPJANG_CODE = A.UPJANG_CODE
            AND B.MENU_CODE = A.MENU_CODE
            AND %2
            AND A.SALE_DATE BETWEEN B.DATE_FROM AND B.DATE_TO
        GROUP BY B.MENU_GUBUN_CODE
    )sql")
                               .arg(figures, sameItem("B", "A"));
    const QString outlets = QStringLiteral(R"sql(
        SELECT A.UPJANG_CODE AS GUBUN, %1
        FROM IA010MS A
        WHERE A.UPJANG_CODE IN ('2002', '2003', '2004', '2005')
            AND %2
        GROUP BY A.UPJANG_CODE
    )sql")
                                .arg(figures, windowFilter(QStringLiteral("A.SALE_DATE")));
    const QString rows = QStringLiteral(R"sql(
        SELECT UPJANG_CODE AS GUBUN, UPJANG_NAME AS GUBUN_NAME
        FROM JA010MS
        WHERE UPJANG_CODE IN ('2002', '2003', '2004', '2005')
        UNION ALL
        SELECT DETAIL, DETAIL_NAME
        FROM ZX010MS
        WHERE HEAD = 'J0001'
            AND ITEM1 = 'Y'
            AND DETAIL > ' '
    )sql");
    QStringList nvl;
    for (const QString &f : kQuantityFields)
        nvl << QStringLiteral("NVL(F.%1, 0) AS %1").arg(f);
    qryQuery->setSql(courseSales + QStringLiteral(R"sql(
        SELECT R.GUBUN, R.GUBUN_NAME, %1
        FROM (%2) R
        LEFT JOIN (%3 UNION ALL %4) F ON F.GUBUN = R.GUBUN
        ORDER BY LENGTH(R.GUBUN) ASC, R.GUBUN
    )sql")
                                       .arg(nvl.join(QStringLiteral(", ")), rows, course, outlets));
    qryFooter->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM IA010MS A
        WHERE A.UPJANG_CODE IN ('2001', '2002', '2003', '2004', '2005')
            AND %2
    )sql")
                          .arg(figures, windowFilter(QStringLiteral("A.SALE_DATE"))));
}

// ---- SAS050 ------------------------------------------------------------------------

TfrmSAS050::TfrmSAS050(db::Connection &connection, QWidget *parent)
    : TfrmSZS010(connection, QStringLiteral("frmSAS050"), parent) {
    setWindowTitle(QStringLiteral("스키장 매출현황"));
    controls::GridColumn name = col("UPJANG_NAME", "업장", 120, false);
    name.repeatBlank = true;
    controls::GridColumn kind = col("TICKET_KIND", "권종", 30, false);
    kind.alignment = Qt::AlignCenter;
    std::vector<controls::GridColumn> columns = {col("UPJANG_CODE", "업장코드", 60, false), name,
                                                 kind, col("TICKET_KIND_NAME", "권종", 120, false)};
    for (const auto &c : quantityColumns("객수", "매출"))
        columns.push_back(c);
    setupGrid(rgrGrid, columns);
    const QString figures = windows(QStringLiteral("A.SALE_DATE"), QStringLiteral("A.SALE_QTY"),
                                    QStringLiteral("A.NET_AMT"), true);
    const QString outlets = QStringLiteral("A.UPJANG_CODE IN ('5001', '5003', '5004', '5007')");
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT A.UPJANG_CODE, J.UPJANG_NAME, A.TICKET_KIND, D.DETAIL_NAME AS TICKET_KIND_NAME, %1
        FROM IA010MS A
        JOIN JA010MS J ON J.UPJANG_CODE = A.UPJANG_CODE
        JOIN ZX010MS D ON D.HEAD = 'I0005' AND D.DETAIL > ' ' AND D.DETAIL = A.TICKET_KIND
        WHERE %2
            AND %3
        GROUP BY A.UPJANG_CODE, J.UPJANG_NAME, A.TICKET_KIND, D.DETAIL_NAME, D.DETAIL
        ORDER BY A.UPJANG_CODE, D.DETAIL
    )sql")
                         .arg(figures, outlets, windowFilter(QStringLiteral("A.SALE_DATE"))));
    qryFooter->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM IA010MS A
        WHERE %2
            AND %3
    )sql")
                          .arg(figures, outlets, windowFilter(QStringLiteral("A.SALE_DATE"))));
}

// ---- the drill-downs ------------------------------------------------------------------

namespace {

std::vector<controls::GridColumn> drillColumns(const char *code, const char *codeTitle,
                                               const char *name, const char *nameTitle,
                                               bool outletFirst) {
    std::vector<controls::GridColumn> columns;
    if (outletFirst) {
        controls::GridColumn outletName = col("UPJANG_NAME", "업장", 110, false);
        outletName.repeatBlank = true;
        columns.push_back(col("UPJANG_CODE", "업장", 50, false));
        columns.push_back(outletName);
    }
    controls::GridColumn c = col(code, codeTitle, 70, false);
    if (!outletFirst)
        c.repeatBlank = true;
    columns.push_back(c);
    columns.push_back(col(name, nameTitle, 150, false));
    for (const auto &[f, t, g] : {std::tuple{"D_C_QTY", "수량", "당일"},
                                  {"D_C_SALE", "금액", "당일"},
                                  {"D_L_SALE", "전년", "당일"},
                                  {"M_C_QTY", "수량", "월계"},
                                  {"M_C_SALE", "금액", "월계"},
                                  {"M_L_SALE", "전년", "월계"}})
        columns.push_back(col(f, t, 90, true, g));
    return columns;
}

const char *kDrillFields = "D_C_QTY, D_C_SALE, D_L_SALE, M_C_QTY, M_C_SALE, M_L_SALE";

QString drillSums(const QString &alias) {
    QStringList out;
    for (const QString &f : QString::fromLatin1(kDrillFields).split(QStringLiteral(", ")))
        out << QStringLiteral("NVL(SUM(%1.%2), 0) AS %2").arg(alias, f);
    return out.join(QStringLiteral(", "));
}

} // namespace

TfrmSAH010::TfrmSAH010(db::Connection &connection, const QString &upjangCode,
                       const QString &saleDate, QWidget *parent)
    : TfrmSZP000(connection, QStringLiteral("frmSAH010"), upjangCode, saleDate, parent) {
    setupGrid(rgrGrid, drillColumns("MENU_CODE", "항목", "MENU_NAME", "항목", true));
    db::Query caption(connection);
    caption.setSql(QStringLiteral(R"sql(
        SELECT UPJANG_NAME
        FROM JA010MS
        WHERE UPJANG_CODE = :AUPJANG_CODE
    )sql"));
    caption.setParam(QStringLiteral("AUPJANG_CODE"), upjangCode);
    caption.open();
    setWindowTitle(caption.eof() ? QString() : caption.text(0));
    const QString figures = windows(QStringLiteral("A.SALE_DATE"), QStringLiteral("A.SALE_QTY"),
                                    QStringLiteral("NVL(A.NET_AMT, 0) + NVL(A.TIP_AMT, 0)"), true);
    const QString hotels = upjangCode == QLatin1String("1002") ? QStringLiteral("('1002', '1003')")
                                                               : QStringLiteral("('1001')");
    const QString hotelPart =
        QStringLiteral(R"sql(
            SELECT A.UPJANG_CODE, A.MENU_CODE, B.MENU_SHORT_NAME AS MENU_NAME, %1
            FROM IA010MS A
            JOIN JB010MS B ON B.UPJANG_CODE = A.UPJANG_CODE
                AND B.MENU_CODE = A.MENU_CODE
                AND B.MENU_ITEM1 = 'D3'
                AND B.MENU_ITEM2 = '1'
            WHERE A.UPJANG_CODE IN %2
                AND %3
            GROUP BY A.UPJANG_CODE, A.MENU_CODE, B.MENU_SHORT_NAME
        )sql")
            .arg(figures, hotels, windowFilter(QStringLiteral("A.SALE_DATE")));
    const QString sauna =
        QStringLiteral(R"sql(
            SELECT A.UPJANG_CODE, B.MENU_GUBUN_CODE AS MENU_CODE, C.DETAIL_NAME AS MENU_NAME, %1
            FROM IA010MS A
            JOIN JB010MS B ON B.UPJANG_CODE = A.UPJANG_CODE
                AND B.MENU_CODE = A.MENU_CODE
                AND %2
                AND A.SALE_DATE BETWEEN B.DATE_FROM AND B.DATE_TO
            LEFT JOIN ZX010MS C ON C.HEAD = 'J0001' AND C.DETAIL = B.MENU_GUBUN_CODE
            WHERE A.UPJANG_CODE = '4053'
                AND %3
            GROUP BY A.UPJANG_CODE, B.MENU_GUBUN_CODE, C.DETAIL_NAME
        )sql")
            .arg(figures, sameItem("B", "A"), windowFilter(QStringLiteral("A.SALE_DATE")));
    const QString parts = upjangCode == QLatin1String("1002")
                              ? hotelPart + QStringLiteral("UNION ALL") + sauna
                              : hotelPart;
    const QString select =
        QStringLiteral("D_C_QTY, D_C_SALE, D_L_SALE, M_C_QTY, M_C_SALE, M_L_SALE");
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT A.UPJANG_CODE, J.UPJANG_NAME, A.MENU_CODE, A.MENU_NAME, %1
        FROM (%2) A
        JOIN JA010MS J ON J.UPJANG_CODE = A.UPJANG_CODE
        ORDER BY A.UPJANG_CODE, A.MENU_CODE
    )sql")
                         .arg(select, parts));
    qryFooter->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM (%2) A
    )sql")
                          .arg(drillSums(QStringLiteral("A")), parts));
}

void TfrmSAH010::rgrGridDblClick() {
    const int row = rgrGrid->currentRow();
    if (row < 0 || rgrGrid->text(row, 2) != QLatin1String("D1001"))
        return;
    TfrmSAH020 dialog(connection(), rgrGrid->text(row, 0), DisplayToYmd(dedSaleDate->displayText()),
                      this);
    dialog.exec();
}

TfrmSAH020::TfrmSAH020(db::Connection &connection, const QString &upjangCode,
                       const QString &saleDate, QWidget *parent)
    : TfrmSZP000(connection, QStringLiteral("frmSAH020"), upjangCode, saleDate, parent) {
    setWindowTitle(QStringLiteral("객실 - 고객유형별"));
    setupGrid(rgrGrid, drillColumns("GUBUN", "구분", "GUBUN_NAME", "구분", false));
    const QString figures = windows(QStringLiteral("A.TASK_DATE"), QStringLiteral("1"),
                                    QStringLiteral("NVL(A.NET_AMT, 0) + NVL(A.SVC_AMT, 0)"), true);
    // Only the first line of each stay counts.
    const QString lines = QStringLiteral(R"sql(
        SELECT B.ITEM9 AS GRP, %1
        FROM DC020MS A
        JOIN ZX010MS B ON B.HEAD = 'Z0006' AND B.DETAIL = A.GUEST_TYPE
        WHERE A.MENU_CODE = 'D1001'
            AND A.UPJANG_CODE = :AUPJANG_CODE
            AND A.UPJANG_CODE = A.FIRST_UPJANG_CODE
            AND A.RSV_NO = A.FIRST_RSV_NO
            AND A.MANAGE_NO = A.FIRST_MANAGE_NO
            AND A.TASK_DATE = A.FIRST_TASK_DATE
            AND A.SEQ_NO = A.FIRST_SEQ_NO
            AND %2
        GROUP BY B.ITEM9
    )sql")
                              .arg(figures, windowFilter(QStringLiteral("A.TASK_DATE")));
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT C.DETAIL AS GUBUN, C.DETAIL_NAME AS GUBUN_NAME, %1
        FROM ZX010MS C
        LEFT JOIN (%2) F ON F.GRP = C.DETAIL
        WHERE C.HEAD = 'S0012'
            AND C.DETAIL > ' '
        GROUP BY C.DETAIL, C.DETAIL_NAME
        ORDER BY C.DETAIL
    )sql")
                         .arg(drillSums(QStringLiteral("F")), lines));
    qryFooter->setSql(QStringLiteral(R"sql(
        SELECT %1
        FROM (%2) F
    )sql")
                          .arg(drillSums(QStringLiteral("F")), lines));
}

// ---- the hub -------------------------------------------------------------------------

TfrmSAS000::TfrmSAS000(db::Connection &connection, QWidget *parent)
    : TfrmSZS000(connection, QStringLiteral("frmSAS000"), parent) {
    setWindowTitle(QStringLiteral("매출조회"));
    lblNetSvc = new QLabel(QStringLiteral("** NET + SVC"), panButtons);
    lblNetSvc->setObjectName(QStringLiteral("lblNetSvc"));
    QFont f = lblNetSvc->font();
    f.setBold(true);
    lblNetSvc->setFont(f);
    lblNetSvc->setStyleSheet(QStringLiteral("color: blue;"));
    m_buttonRow->insertWidget(0, lblNetSvc);
    CreateSubScreens();
}

void TfrmSAS000::CreateSubScreens() {
    db::Connection &c = connection();
    AddSubScreen(QStringLiteral("부문별 매출현황"), new TfrmSAS010(c, this));
    AddSubScreen(QStringLiteral("목표대비 매출현황"), new TfrmSAS020(c, this));
    AddSubScreen(QStringLiteral("베로호텔 객실판매현황"),
                 new TfrmSAS030(c, QStringLiteral("1001"), this));
    AddSubScreen(QStringLiteral("가족호텔 객실판매현황"),
                 new TfrmSAS030(c, QStringLiteral("1002"), this));
    AddSubScreen(QStringLiteral("국민호텔 객실판매현황"),
                 new TfrmSAS030(c, QStringLiteral("1003"), this));
    AddSubScreen(QStringLiteral("골프장 매출현황"), new TfrmSAS040(c, this));
    AddSubScreen(QStringLiteral("스키장 매출현황"), new TfrmSAS050(c, this));
}

} // namespace kelo::screens
