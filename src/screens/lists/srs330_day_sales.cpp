#include "screens/lists/list_columns.h"
#include "screens/lists/list_inquiries.h"

namespace kelo::screens {

TfrmSRS330::TfrmSRS330(db::Connection &connection, QWidget *parent)
    : TfrmListInquiry(connection, QStringLiteral("frmSRS330"),
                      {QStringLiteral("매출일자"), true, -1, 0}, parent) {
    setWindowTitle(QStringLiteral("객실 및 영업장 매출현황"));
    bbtPrint->hide();
    bbtPreview->hide();
    const Qt::Alignment centre = Qt::AlignCenter;
    rgrGrid->setColumns({
        ListColumn("영업장명", "영업장명", 63, centre),
        ListColumn("매출일자", "매출일자", 68, centre), // eight digits in the program's face
        ListColumn("동명", "동명", 77),
        ListColumn("객실번호", "객실번호", 54, centre),
        ListColumn("회원번호", "회원번호", 84, centre), // ten digits
        ListColumn("회원명", "회원명", 99),
        ListColumn("고객유형", "고객유형", 86),
        ListColumn("투숙객명", "투숙객명", 108),
        ListColumn("객실형", "객실형", 45, centre),
        ListColumn("메뉴구분", "메뉴구분", 63, centre),
        FigureListColumn("NET금액", "NET금액", 64),
        FigureListColumn("VAT금액", "VAT금액", 64),
        ListColumn("전용구분", "전용구분", 53, centre),
        FigureListColumn("인원수", "인원수", 44),
    });
    // The day's sales lines of the hotels one by one (L): the room charges of the rooms
    // occupied that day (R: stays over the night, same-day stays, carried-over stays) with the
    // guest and room type of the stay, the room charges of other bills, the other menus; then
    // one total row for each of the outlets 5073, 5074, 5076, 5078, 4053 and 4058 with sales
    // that day. A stay without a room number occupies no room that a bill could name. The two
    // bounds that every stay in the house meets come first; the check-out date's index finds
    // the few stays that have not left (the outlet test is written so that the table's key
    // does not lead the plan instead). Within the bounds the three kinds of stay (over the
    // night: in on or before the day and out after it; same-day: in and out that day;
    // carried over: in that day, out after it, check-in type 2, which the first holds
    // already) are every stay but one that leaves that day after coming earlier. Written so,
    // as one negation: as the three alternatives the server expected a single stay and
    // looked up the day's sales lines once per occupied room (about 0.1 s on five years).
    qryQuery->setSql(QStringLiteral(R"sql(
        WITH R AS (
            SELECT ROOM_NO, GUEST_NAME, ROOM_TYPE
            FROM DA010MS
            WHERE CHECKOUT_DATE >= :SALE_DATE
                AND CHECKIN_DATE <= :SALE_DATE
                AND UPJANG_CODE || '' > ' '
                AND OUT_YN IN ('Y', 'N')
                AND ROOM_NO IS NOT NULL
                AND TO_NUMBER(MANAGE_NO) > 0
                AND NOT (CHECKOUT_DATE = :SALE_DATE AND CHECKIN_DATE < :SALE_DATE)
        ),
        L AS (
            SELECT A.UPJANG_CODE, A.BILL_NO, A.MEMBER_NO, A.GUEST_TYPE, O.GUEST_NAME, O.ROOM_TYPE,
                '객실료' AS MENU_KIND, A.NET_AMT, A.VAT_AMT, A.KOREAN_QTY + A.FOREIGN_QTY AS QTY
            FROM IA010MS A
            JOIN (
                SELECT ROOM_NO, MAX(GUEST_NAME) AS GUEST_NAME, MAX(ROOM_TYPE) AS ROOM_TYPE
                FROM R
                GROUP BY ROOM_NO
            ) O ON O.ROOM_NO = A.BILL_NO
            WHERE A.SALE_DATE = :SALE_DATE
                AND A.UPJANG_CODE LIKE '10%'
                AND A.MENU_CODE = 'D1001'
            UNION ALL
            SELECT A.UPJANG_CODE, A.BILL_NO, A.ACCEPT_MEMBER_NO, A.GUEST_TYPE, NULL, NULL,
                '기타객실료', A.NET_AMT, A.VAT_AMT, A.KOREAN_QTY + A.FOREIGN_QTY
            FROM IA010MS A
            WHERE A.SALE_DATE = :SALE_DATE
                AND A.UPJANG_CODE LIKE '10%'
                AND A.MENU_CODE = 'D1001'
                AND A.BILL_NO NOT IN (
                    SELECT ROOM_NO
                    FROM R
                )
            UNION ALL
            SELECT A.UPJANG_CODE, A.BILL_NO, A.ACCEPT_MEMBER_NO, A.GUEST_TYPE, NULL, NULL,
                (
                    SELECT MAX(MENU_NAME)
                    FROM JB010MS
                    WHERE UPJANG_CODE = A.UPJANG_CODE
                        AND MENU_CODE = A.MENU_CODE
                ), A.NET_AMT, A.VAT_AMT, A.KOREAN_QTY + A.FOREIGN_QTY
            FROM IA010MS A
            WHERE A.SALE_DATE = :SALE_DATE
                AND A.UPJANG_CODE LIKE '10%'
                AND A.MENU_CODE <> 'D1001'
        )
        SELECT (
                SELECT UPJANG_NAME
                FROM JA010MS
                WHERE UPJANG_CODE = L.UPJANG_CODE
            ) AS "영업장명", :SALE_DATE AS "매출일자",
            (
                SELECT DONG_NAME
                FROM DZ021MS
                WHERE UPJANG_CODE = L.UPJANG_CODE
                    AND DONG_GUBUN = SUBSTR(L.BILL_NO, 1, 2)
            ) AS "동명", L.BILL_NO AS "객실번호", L.MEMBER_NO AS "회원번호",
            (
                SELECT MEMBER_NAME
                FROM BB010MS
                WHERE MEMBER_NO = L.MEMBER_NO
            ) AS "회원명",
            (
                SELECT DETAIL_NAME
                FROM ZX010MS
                WHERE HEAD = 'Z0006'
                    AND DETAIL = L.GUEST_TYPE
            ) AS "고객유형", L.GUEST_NAME AS "투숙객명", L.ROOM_TYPE AS "객실형",
            L.MENU_KIND AS "메뉴구분", L.NET_AMT AS "NET금액", L.VAT_AMT AS "VAT금액",
            (
                SELECT DECODE(EXCLUSIVE_CODE, 'F', '전용', 'M', '전용', '')
                FROM AA010MS
                WHERE MEMBER_NO = SUBSTR(L.MEMBER_NO, 1, 8)
            ) AS "전용구분", L.QTY AS "인원수"
        FROM L
        UNION ALL
        SELECT (
                SELECT UPJANG_NAME
                FROM JA010MS
                WHERE UPJANG_CODE = A.UPJANG_CODE
            ), A.SALE_DATE, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, SUM(A.NET_AMT),
            SUM(A.VAT_AMT), NULL, SUM(A.KOREAN_QTY + A.FOREIGN_QTY)
        FROM IA010MS A
        WHERE A.SALE_DATE = :SALE_DATE
            AND A.UPJANG_CODE IN ('5073', '5074', '5076', '5078', '4053', '4058')
        GROUP BY A.UPJANG_CODE, A.SALE_DATE
    )sql"));
}

void TfrmSRS330::setParameters() {
    qryQuery->setParam(QStringLiteral("SALE_DATE"), fromDate());
}

} // namespace kelo::screens
