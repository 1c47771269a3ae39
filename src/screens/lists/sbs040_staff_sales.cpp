#include "common/reportlocations.h"
#include "screens/lists/list_columns.h"
#include "screens/lists/list_inquiries.h"
#include "screens/lists/staff_sales_sql.h"

namespace kelo::screens {

namespace {

// The rooms (nights of DA030MS at the two hotels, house use left out) and golf rounds
// (bookings with their lockers of HA010MS, the locker sales of HA020MS as the amount) of the
// period whose member number is a staff member's or the head office's, with the member's
// team and part of today's department tree.
QString statement(bool headOffice) {
    return QStringLiteral(R"sql(
        SELECT C.USE_DATE, T.AFF_DEPT_NAME AS TEAM, D.DEPT_NAME AS PART, C.MEMBER_NO AS EMP_NO,
            M.MEMBER_NAME AS EMP_NAME, C.GUEST_NAME, C.GUBUN, J.UPJANG_NAME, C.ROOM_TYPE,
            C.GUEST_TYPE, C.CNT, C.USE_AMT
        FROM (
            SELECT B.TASK_DATE AS USE_DATE, A.MEMBER_NO, A.GUEST_NAME, '객실' AS GUBUN,
                A.UPJANG_CODE, A.ROOM_TYPE,
                (
                    SELECT DETAIL_NAME
                    FROM ZX010MS
                    WHERE HEAD = 'Z0006'
                        AND DETAIL = A.GUEST_TYPE
                ) AS GUEST_TYPE, 1 AS CNT, B.UNIT_AMT AS USE_AMT
            FROM DA010MS A
            JOIN DA030MS B ON B.UPJANG_CODE = A.UPJANG_CODE
                AND B.RSV_NO = A.RSV_NO
                AND B.MANAGE_NO = A.MANAGE_NO
            WHERE B.TASK_DATE BETWEEN :FROM_DATE AND :TO_DATE
                AND A.UPJANG_CODE IN ('1001', '1002')
                AND A.GUEST_TYPE <> '910'
                AND A.MEMBER_NO LIKE '10%'
                AND SUBSTR(A.MEMBER_NO, 9, 2) %1 '00'
            UNION ALL
            SELECT MAX(G.USE_DATE), MAX(G.MEMBER_NO), MAX(G.GUEST_NAME), G.GUBUN, '2001', NULL,
                MAX(G.GUEST_TYPE), 1, SUM(G.USE_AMT)
            FROM (
                SELECT '골프' AS GUBUN, A.RSV_NO, B.MEMBER_NO, B.GUEST_NAME,
                    A.SALE_DATE AS USE_DATE,
                    (
                        SELECT DETAIL_NAME
                        FROM ZX010MS
                        WHERE HEAD = 'B0003'
                            AND DETAIL = B.CHARGE_GUBUN
                    ) AS GUEST_TYPE,
                    (
                        SELECT SUM(SALE_AMT)
                        FROM HA020MS
                        WHERE SALE_DATE = A.SALE_DATE
                            AND LOCKER_NO = A.LOCKER_NO
                            AND LOCKER_SEQ = A.LOCKER_SEQ
                    ) AS USE_AMT
                FROM HA010MS A
                JOIN CA020MS B ON B.RSV_NO = A.RSV_NO
                WHERE A.SALE_DATE BETWEEN :FROM_DATE AND :TO_DATE
                    AND B.MEMBER_NO LIKE '10%'
                    AND SUBSTR(B.MEMBER_NO, 9, 2) %1 '00'
            ) G
            GROUP BY G.GUBUN, G.RSV_NO
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
    )sql")
        .arg(staff::MemberTest(headOffice), staff::TeamCode(9, 5));
}

} // namespace

TfrmSBS040::TfrmSBS040(db::Connection &connection, QWidget *parent)
    : TfrmStaffSalesInquiry(connection, QStringLiteral("frmSBS040"), QStringLiteral("매출일자"),
                            statement(false), statement(true), QStringLiteral("SBP040"), parent) {
    setWindowTitle(QStringLiteral("직원영업활동실적현황"));
    const Qt::Alignment centre = Qt::AlignCenter;
    rgrGrid->setColumns({
        ListColumn("USE_DATE", "매출일자", 80, centre),
        ListColumn("TEAM", "팀", 74, centre),
        ListColumn("PART", "파트", 83),
        ListColumn("EMP_NO", "직원번호", 88), // ten digits in the program's face
        ListColumn("EMP_NAME", "직원명", 64, centre),
        ListColumn("GUEST_NAME", "고객명", 80, centre),
        ListColumn("GUBUN", "구분", 53, centre),
        ListColumn("UPJANG_NAME", "영업장명", 83, centre),
        ListColumn("ROOM_TYPE", "객실형", 51, centre),
        ListColumn("GUEST_TYPE", "요금구분", 125),
        FigureListColumn("CNT", "수량", 48),
        FigureListColumn("USE_AMT", "이용금액", 100),
    });
}

QString TfrmSBS040::previewParams() {
    return PositionalParams({fromDate(), toDate()});
}

} // namespace kelo::screens
