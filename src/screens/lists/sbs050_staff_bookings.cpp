#include "common/reportlocations.h"
#include "db/query.h"
#include "screens/lists/list_columns.h"
#include "screens/lists/list_inquiries.h"
#include "screens/lists/staff_sales_sql.h"

#include <QHBoxLayout>

namespace kelo::screens {

namespace {

const QString kAll = QStringLiteral("전체");

// The room reservations (one row per booked night of CA011DT) and golf bookings (the green
// fee of the day's calendar for four players) entered in the period for stays and rounds from
// its first day on, cancelled ones left out, whose member number is a staff member's or the
// head office's; then only the rows of the chosen department (TEAM) and team (PART), empty
// choosing all. Both lists are ordered by outlet. The head office's rooms count nights
// times rooms, and its department is taken one level higher in the tree.
QString statement(bool headOffice) {
    return QStringLiteral(R"sql(
        SELECT X.*
        FROM (
            SELECT C.I_DATE, C.USE_DATE, T.AFF_DEPT_NAME AS TEAM, D.DEPT_NAME AS PART,
                C.MEMBER_NO AS EMP_NO, M.MEMBER_NAME AS EMP_NAME, C.GUEST_NAME, C.GUBUN,
                J.UPJANG_NAME, C.ROOM_TYPE, C.GUEST_TYPE, C.CNT, C.USE_AMT, C.UPJANG_CODE
            FROM (
                SELECT TO_CHAR(A.I_DATE, 'YYYYMMDD') AS I_DATE, B.USE_DATE, A.MEMBER_NO,
                    A.GUEST_NAME, '객실' AS GUBUN, A.UPJANG_CODE, A.ROOM_TYPE,
                    (
                        SELECT DETAIL_NAME
                        FROM ZX010MS
                        WHERE HEAD = 'Z0006'
                            AND DETAIL = A.GUEST_TYPE
                    ) AS GUEST_TYPE, %3 AS CNT, B.USE_AMT * A.ROOM_CNT AS USE_AMT
                FROM CA010MS A
                JOIN CA011DT B ON B.RSV_NO = A.RSV_NO
                WHERE A.CHECKIN_DATE >= :FROM_DATE
                    AND TO_CHAR(A.I_DATE, 'YYYYMMDD') BETWEEN :FROM_DATE AND :TO_DATE
                    AND A.UPJANG_CODE IN ('1001', '1002')
                    AND A.MEMBER_NO LIKE '10%'
                    AND SUBSTR(A.MEMBER_NO, 9, 2) %1 '00'
                    AND A.STATUS_CODE <> 'C'
                UNION ALL
                SELECT TO_CHAR(A.I_DATE, 'YYYYMMDD'), A.COME_DATE, A.MEMBER_NO, A.GUEST_NAME,
                    '골프', '2001', NULL,
                    (
                        SELECT DETAIL_NAME
                        FROM ZX010MS
                        WHERE HEAD = 'B0003'
                            AND DETAIL = A.CHARGE_GUBUN
                    ), 1,
                    (
                        SELECT MAX(G.UNIT_AMT) * 4
                        FROM JB010MS G
                        WHERE G.MENU_ITEM1 = A.CHARGE_GUBUN
                            AND G.MENU_ITEM2 = A.RATE_GUBUN
                            AND G.MENU_ITEM4 = A.ROUND_GUBUN
                            AND G.MENU_ITEM3 = (
                                SELECT BUSI_CODE
                                FROM CX030MS
                                WHERE USE_DATE = A.COME_DATE
                            )
                    )
                FROM CA020MS A
                WHERE A.COME_DATE >= :FROM_DATE
                    AND TO_CHAR(A.I_DATE, 'YYYYMMDD') BETWEEN :FROM_DATE AND :TO_DATE
                    AND A.MEMBER_NO LIKE '10%'
                    AND SUBSTR(A.MEMBER_NO, 9, 2) %1 '00'
                    AND A.STATUS_CODE <> 'RC'
            ) C
            LEFT JOIN QA010MS E ON E.EMP_NO = SUBSTR(C.MEMBER_NO, 1, 8)
            LEFT JOIN (
                SELECT DEPT_CODE, DEPT_NAME, %2 AS TEAM_CODE
                FROM QA160MS_DATE
                WHERE SYSDATE() BETWEEN BGN_DATE AND END_DATE
            ) D ON D.DEPT_CODE = E.EMP_AFF_DEPT_CODE
            LEFT JOIN QA160MS T ON T.AFF_DEPT_CODE = D.TEAM_CODE
            LEFT JOIN BA040MS M ON M.MEMBER_NO = C.MEMBER_NO
            LEFT JOIN JA010MS J ON J.UPJANG_CODE = C.UPJANG_CODE
        ) X
        WHERE (X.TEAM = :TEAM OR :TEAM IS NULL)
            AND (X.PART = :PART OR :PART IS NULL)
        ORDER BY X.UPJANG_CODE
    )sql")
        .arg(staff::MemberTest(headOffice),
             headOffice ? staff::TeamCode(9, 5) : staff::TeamCode(13, 9),
             headOffice ? QStringLiteral("A.ROOM_CNT * A.NIGHTS") : QStringLiteral("A.ROOM_CNT"));
}

// The departments (부서구분) of today's tree that employees belong to, one level below the
// teams where the tree is that deep.
const QString kDepartments = QStringLiteral(R"sql(
    SELECT DEPT_CODE, DEPT_NAME
    FROM (
        SELECT T.AFF_DEPT_CODE AS DEPT_CODE, T.AFF_DEPT_NAME AS DEPT_NAME
        FROM QA010MS A
        JOIN (
            SELECT DEPT_CODE, %1 AS TEAM_CODE
            FROM QA160MS_DATE
            WHERE SYSDATE() BETWEEN BGN_DATE AND END_DATE
        ) B ON B.DEPT_CODE = A.EMP_AFF_DEPT_CODE
        JOIN QA160MS T ON T.AFF_DEPT_CODE = B.TEAM_CODE
    ) X
    GROUP BY DEPT_NAME, DEPT_CODE
    ORDER BY DEPT_NAME, DEPT_CODE
)sql");

// The departments of today's tree that employees belong to (팀구분).
const QString kTeams = QStringLiteral(R"sql(
    SELECT B.DEPT_CODE, B.DEPT_NAME
    FROM QA010MS A
    JOIN QA160MS_DATE B ON B.DEPT_CODE = A.EMP_AFF_DEPT_CODE
    WHERE SYSDATE() BETWEEN B.BGN_DATE AND B.END_DATE
        AND B.DEPT_NAME IS NOT NULL
    GROUP BY B.DEPT_NAME, B.DEPT_CODE
    ORDER BY B.DEPT_NAME, B.DEPT_CODE
)sql");

// "전체" (value empty) followed by the statement's names (field 1) with their codes (field 0).
void fillChoices(db::Connection &connection, controls::ChoiceBox *box, const QString &sql) {
    db::Query q(connection);
    q.setSql(sql);
    q.open();
    QStringList texts{kAll}, values{QString()};
    for (; !q.eof(); q.next()) {
        texts << q.text(1);
        values << q.text(0);
    }
    box->setItems(texts, values);
    box->setCurrentIndex(0);
}

controls::ChoiceBox *choiceBox(QWidget *parent, const char *name, int width) {
    auto *box = new controls::ChoiceBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setFixedWidth(width);
    return box;
}

} // namespace

TfrmSBS050::TfrmSBS050(db::Connection &connection, QWidget *parent)
    : TfrmStaffSalesInquiry(connection, QStringLiteral("frmSBS050"), QStringLiteral("입력일자"),
                            statement(false), statement(true), QStringLiteral("SBP050"), parent) {
    setWindowTitle(QStringLiteral("직원영업활동예약현황"));
    lblBusea = new QLabel(QStringLiteral("부서구분"), panSearch);
    lblBusea->setObjectName(QStringLiteral("lblBusea"));
    wcbBusea = choiceBox(panSearch, "wcbBusea", 130);
    lblDeptCode = new QLabel(QStringLiteral("팀구분"), panSearch);
    lblDeptCode->setObjectName(QStringLiteral("lblDeptCode"));
    wcbDeptCode = choiceBox(panSearch, "wcbDeptCode", 130);
    int at = m_searchRow->indexOf(RadioButton2) + 1;
    m_searchRow->insertSpacing(at++, 16);
    m_searchRow->insertWidget(at++, lblBusea);
    m_searchRow->insertWidget(at++, wcbBusea);
    m_searchRow->insertSpacing(at++, 8);
    m_searchRow->insertWidget(at++, lblDeptCode);
    m_searchRow->insertWidget(at++, wcbDeptCode);

    const Qt::Alignment centre = Qt::AlignCenter;
    rgrGrid->setColumns({
        ListColumn("GUBUN", "구분", 53, centre),
        ListColumn("UPJANG_NAME", "영업장명", 83, centre),
        ListColumn("EMP_NO", "사번", 88), // ten digits in the program's face
        ListColumn("EMP_NAME", "성명", 64, centre),
        ListColumn("USE_DATE", "예약일자", 80, centre),
        ListColumn("ROOM_TYPE", "객실형", 51, centre),
        ListColumn("GUEST_NAME", "고객명", 91, centre),
        FigureListColumn("CNT", "수량", 48),
        ListColumn("GUEST_TYPE", "요금구분", 125),
        ListColumn("I_DATE", "입력일자", 76),
        ListColumn("PART", "팀", 83),
        ListColumn("TEAM", "부서", 74, centre),
        FigureListColumn("USE_AMT", "이용금액", 100),
    });
}

void TfrmSBS050::FormShow() {
    TfrmListInquiry::FormShow();
    fillChoices(connection(), wcbBusea, kDepartments.arg(staff::TeamCode(13, 9)));
    fillChoices(connection(), wcbDeptCode, kTeams);
}

void TfrmSBS050::emptyAllChoices() {
    for (controls::ChoiceBox *box : {wcbDeptCode, wcbBusea})
        if (box->currentText() == kAll)
            box->setCurrentIndex(-1);
}

void TfrmSBS050::setParameters() {
    TfrmStaffSalesInquiry::setParameters();
    emptyAllChoices();
    // The names chosen, as the statement's TEAM and PART columns hold them.
    qryQuery->setParam(QStringLiteral("TEAM"), wcbBusea->currentText());
    qryQuery->setParam(QStringLiteral("PART"), wcbDeptCode->currentText());
}

QString TfrmSBS050::previewParams() {
    emptyAllChoices();
    return PositionalParams(
        {fromDate(), toDate(), wcbBusea->currentText(), wcbDeptCode->currentText()});
}

} // namespace kelo::screens
