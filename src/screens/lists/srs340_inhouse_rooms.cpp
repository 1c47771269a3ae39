#include "screens/lists/list_columns.h"
#include "screens/lists/list_inquiries.h"

namespace kelo::screens {

TfrmSRS340::TfrmSRS340(db::Connection &connection, QWidget *parent)
    : TfrmListInquiry(connection, QStringLiteral("frmSRS340"),
                      {QStringLiteral("매출일자"), true, -1, 0}, parent) {
    setWindowTitle(QStringLiteral("재실 객실별 객실매출현황"));
    bbtPrint->hide();
    bbtPreview->hide();
    const Qt::Alignment centre = Qt::AlignCenter;
    controls::GridColumn outlet = ListColumn("UPJANG_CODE", "업장코드", 44, centre);
    outlet.visible = false;
    rgrGrid->setColumns({
        ListColumn("TASK_DATE", "매출일자", 73, centre),
        outlet,
        ListColumn("UPJANG_NAME", "영업장명", 80),
        ListColumn("RSV_NO", "예약번호", 88, centre),
        ListColumn("CHECKIN_DATE", "입실일자", 70, centre),
        ListColumn("CHECKOUT_DATE", "퇴실일자", 68, centre),
        ListColumn("ROOM_NO", "객실번호", 61, centre),
        ListColumn("ROOM_TYPE", "객실형", 46, centre),
        ListColumn("GUEST_TYPE", "고객유형", 61, centre),
        ListColumn("GUEST_TYPE_NAME", "고객유형명", 100),
        ListColumn("MEMBER_NO", "회원번호", 83, centre),
        ListColumn("MEMBER_NAME", "회원명", 115),
        FigureListColumn("NET_AMT", "NET금액", 87, Qt::AlignCenter),
        FigureListColumn("VAT_AMT", "VAT금액", 84),
    });
    // The stays in the house on the day (normal stays over the night, same-day stays,
    // carried-over stays checked in that day) with the day's room revenue of each: the
    // charges of DC020MS of the day in the states N and XS that are their own first line and
    // their own check-out line. The two bounds that every stay in the house meets come first;
    // the check-out date's index finds the few stays that have not left (the outlet test is
    // written so that the table's key does not lead the plan instead).
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT :ASALE_DATE AS TASK_DATE, A.UPJANG_CODE,
            (
                SELECT UPJANG_NAME
                FROM JA010MS
                WHERE UPJANG_CODE = A.UPJANG_CODE
            ) AS UPJANG_NAME, A.RSV_NO, A.CHECKIN_DATE, A.CHECKOUT_DATE, A.ROOM_NO, A.ROOM_TYPE,
            A.GUEST_TYPE,
            (
                SELECT DETAIL_NAME
                FROM ZX010MS
                WHERE HEAD = 'Z0006'
                    AND DETAIL = A.GUEST_TYPE
            ) AS GUEST_TYPE_NAME, A.MEMBER_NO, A.MEMBER_NAME,
            (
                SELECT SUM(B.NET_AMT)
                FROM DC020MS B
                WHERE B.UPJANG_CODE = A.UPJANG_CODE
                    AND B.RSV_NO = A.RSV_NO
                    AND B.MANAGE_NO = A.MANAGE_NO
                    AND B.TASK_DATE = :ASALE_DATE
                    AND B.ITEM_STAT IN ('N', 'XS')
                    AND B.UPJANG_CODE = B.FIRST_UPJANG_CODE
                    AND B.RSV_NO = B.FIRST_RSV_NO
                    AND B.MANAGE_NO = B.FIRST_MANAGE_NO
                    AND B.TASK_DATE = B.FIRST_TASK_DATE
                    AND B.SEQ_NO = B.FIRST_SEQ_NO
                    AND B.UPJANG_CODE = B.CO_UPJANG_CODE
                    AND B.RSV_NO = B.CO_RSV_NO
                    AND B.MANAGE_NO = B.CO_MANAGE_NO
                    AND B.TASK_DATE = B.CO_TASK_DATE
                    AND B.SEQ_NO = B.CO_SEQ_NO
            ) AS NET_AMT,
            (
                SELECT SUM(B.VAT_AMT)
                FROM DC020MS B
                WHERE B.UPJANG_CODE = A.UPJANG_CODE
                    AND B.RSV_NO = A.RSV_NO
                    AND B.MANAGE_NO = A.MANAGE_NO
                    AND B.TASK_DATE = :ASALE_DATE
                    AND B.ITEM_STAT IN ('N', 'XS')
                    AND B.UPJANG_CODE = B.FIRST_UPJANG_CODE
                    AND B.RSV_NO = B.FIRST_RSV_NO
                    AND B.MANAGE_NO = B.FIRST_MANAGE_NO
                    AND B.TASK_DATE = B.FIRST_TASK_DATE
                    AND B.SEQ_NO = B.FIRST_SEQ_NO
                    AND B.UPJANG_CODE = B.CO_UPJANG_CODE
                    AND B.RSV_NO = B.CO_RSV_NO
                    AND B.MANAGE_NO = B.CO_MANAGE_NO
                    AND B.TASK_DATE = B.CO_TASK_DATE
                    AND B.SEQ_NO = B.CO_SEQ_NO
            ) AS VAT_AMT
        FROM DA010MS A
        WHERE A.CHECKOUT_DATE >= :ASALE_DATE
            AND A.CHECKIN_DATE <= :ASALE_DATE
            AND A.UPJANG_CODE || '' > ' '
            AND A.OUT_YN IN ('Y', 'N')
            AND TO_NUMBER(A.MANAGE_NO) > 0
            AND (A.CHECKIN_DATE <= :ASALE_DATE AND A.CHECKOUT_DATE > :ASALE_DATE
                    AND A.CHECKIN_TYPE <> '2'
                OR A.CHECKIN_DATE = :ASALE_DATE AND A.CHECKOUT_DATE = :ASALE_DATE
                OR A.CHECKIN_DATE = :ASALE_DATE AND A.CHECKIN_TYPE = '2')
    )sql"));
}

void TfrmSRS340::setParameters() {
    qryQuery->setParam(QStringLiteral("ASALE_DATE"), fromDate());
}

} // namespace kelo::screens
