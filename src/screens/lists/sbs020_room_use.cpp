#include "screens/lists/list_columns.h"
#include "screens/lists/list_inquiries.h"

namespace kelo::screens {

TfrmSBS020::TfrmSBS020(db::Connection &connection, QWidget *parent)
    : TfrmListInquiry(connection, QStringLiteral("frmSBS020"),
                      {QStringLiteral("매출일자"), false, -1, -1}, parent) {
    setWindowTitle(QStringLiteral("객실이용구분별 현황"));
    const Qt::Alignment centre = Qt::AlignCenter;
    rgrGrid->setColumns({
        ListColumn("GUBUN", "객실이용구분", 92, centre),
        ListColumn("TASK_DATE", "매출일자", 91, centre),
        ListColumn("UPJANG_CODE", "호텔구분", 67, centre),
        ListColumn("RSV_NO", "예약번호", 90, centre),
        ListColumn("MENU_ITEM3", "객실형", 48, centre),
        ListColumn("QTY", "수량", 47, centre),
        ListColumn("CHECKIN", "체크인", 83, centre),
        ListColumn("CHECKOUT", "체크아웃", 84, centre),
        ListColumn("GUEST_NAME", "고객명", 150),
        ListColumn("REMARKS", "비고", 201),
    });
    // The complimentary (900), house-use (910) and the two other free room uses (033, 803)
    // among the room nights of the period. A reservation's stays are all of its hotel, so the
    // guest name is looked up within the hotel of the night.
    qryQuery->setSql(QStringLiteral(R"sql(
        SELECT (
                SELECT DETAIL_NAME
                FROM ZX010MS
                WHERE HEAD = 'Z0006'
                    AND DETAIL = A.MENU_ITEM2
            ) AS GUBUN, A.TASK_DATE,
            DECODE(A.UPJANG_CODE, '1001', '베로호텔', '1002', '가족호텔', '1003', '국민호텔', '기타') AS UPJANG_CODE,
            A.RSV_NO, A.MENU_ITEM3, 1 AS QTY,
            (
                SELECT CHECKIN_DATE
                FROM CA010MS
                WHERE RSV_NO = A.RSV_NO
            ) AS CHECKIN,
            (
                SELECT CHECKOUT_DATE
                FROM CA010MS
                WHERE RSV_NO = A.RSV_NO
            ) AS CHECKOUT,
            (
                SELECT MAX(GUEST_NAME)
                FROM DA010MS
                WHERE UPJANG_CODE = A.UPJANG_CODE
                    AND RSV_NO = A.RSV_NO
            ) AS GUEST_NAME,
            (
                SELECT REMARKS
                FROM CA010MS
                WHERE RSV_NO = A.RSV_NO
            ) AS REMARKS
        FROM DA030MS A
        WHERE A.TASK_DATE BETWEEN :START_DATE AND :END_DATE
            AND A.MENU_CODE = 'D1001'
            AND A.MENU_ITEM2 IN ('900', '910', '033', '803')
        ORDER BY GUBUN NULLS LAST, TASK_DATE, UPJANG_CODE
    )sql"));
}

void TfrmSBS020::setParameters() {
    qryQuery->setParam(QStringLiteral("START_DATE"), fromDate());
    qryQuery->setParam(QStringLiteral("END_DATE"), toDate());
}

} // namespace kelo::screens
