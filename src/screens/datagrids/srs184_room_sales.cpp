#include "screens/datagrids/srs184_room_sales.h"

#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/numbertext.h"
#include "framework/lookupdialogs.h"
#include "framework/screenhelpers.h"
#include "framework/xlsexport.h"
#include "screens/viewer/report_viewers.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QUrl>
#include <QVBoxLayout>

namespace kelo::screens {

namespace {

// Room charges (one group) and the other charges of the stays, the additional sales and the
// sales adjustments of the outlet (the other group), each grouped per stay, night and weekday
// mark. Rows without a stay keep their kind apart (추가매출, 매출조정), so an adjustment is
// never summed into the additional sales of the same day.
const QString kTotal = QStringLiteral(R"sql(
SELECT D.RSV_NO, D.MANAGE_NO, D.ROOM_NO, D.TASK_DATE, D.SALE_GUBUN, D.SALE_GUBUN2, D.MEM_GUBUN,
       D.GUEST_TYPE, D.GUEST_TYPE_NAME, D.MEMBER_NO,
       (SELECT MEMBER_NAME FROM BB010MS WHERE MEMBER_NO = D.MEMBER_NO) AS MEMBER_NAME,
       D.EX_CODE, D.ROOM_TYPE, D.ROOM_TYPE_NAME, D.CNT, D.AMT, D.REMARKS
FROM (
    SELECT C.RSV_NO, C.MANAGE_NO,
           (SELECT MAX(ROOM_NO)
            FROM DA010MS
            WHERE UPJANG_CODE = :UPJANG_CODE
                AND RSV_NO = C.RSV_NO
                AND MANAGE_NO = C.MANAGE_NO) AS ROOM_NO,
           C.TASK_DATE, MAX(C.SALE_GUBUN) AS SALE_GUBUN, MAX(C.SALE_GUBUN2) AS SALE_GUBUN2,
           MAX(C.MEM_GUBUN) AS MEM_GUBUN, MAX(C.GUEST_TYPE) AS GUEST_TYPE,
           MAX(C.GUEST_TYPE_NAME) AS GUEST_TYPE_NAME, MAX(C.MEMBER_NO) AS MEMBER_NO,
           MAX(DECODE(C.EX_CODE, 'F', '전용', '비전용')) AS EX_CODE, MAX(C.ROOM_TYPE) AS ROOM_TYPE,
           MAX(C.ROOM_TYPE_NAME) AS ROOM_TYPE_NAME, SUM(C.ROOMS) AS CNT, SUM(C.SALE_AMT) AS AMT,
           MAX(C.REMARKS) AS REMARKS, C.WEEK_GUBUN
    FROM (
        SELECT B.GRP, B.RSV_NO, B.MANAGE_NO, B.TASK_DATE, B.SALE_GUBUN, B.SALE_GUBUN2, B.ROOMS,
               B.SALE_AMT, B.GUEST_TYPE, B.MEMBER_NO, B.ROOM_TYPE, B.REMARKS,
               DECODE(B.UPJANG_CODE, '1002', DECODE(X.EXCLUSIVE_CODE, NULL, 'I', X.EXCLUSIVE_CODE), NULL) AS EX_CODE,
               (SELECT MAX(DETAIL_NAME) FROM ZX010MS WHERE HEAD = 'A0025' AND DETAIL = B.ROOM_TYPE) AS ROOM_TYPE_NAME,
               DECODE(SUBSTR(B.MEMBER_NO, 1, 2), '00', '회원', '23', '여행사', '41', '단체', '10', '임직원',
                      DECODE(LENGTH(B.MEMBER_NO), 10, '기타', '일반')) AS MEM_GUBUN,
               (SELECT MAX(DETAIL_NAME) FROM ZX010MS WHERE HEAD = 'Z0006' AND DETAIL = B.GUEST_TYPE) AS GUEST_TYPE_NAME,
               (SELECT DECODE(WEEK_CODE, '1', '주중', '주말') FROM CX011MS WHERE USE_DATE = B.TASK_DATE AND UPJANG_CODE = B.UPJANG_CODE) AS WEEK_GUBUN
        FROM (
            SELECT 1 AS GRP, S.UPJANG_CODE, S.RSV_NO, S.MANAGE_NO, S.TASK_DATE,
                   '객실료' AS SALE_GUBUN, CAST(NULL AS TEXT) AS SALE_GUBUN2, S.ROOMS, S.SALE_AMT,
                   S.GUEST_TYPE, S.MEMBER_NO, S.ROOM_TYPE, S.REMARKS
            FROM DA030SS S
            WHERE S.UPJANG_CODE = :UPJANG_CODE
                AND S.TASK_DATE BETWEEN :from_date AND :to_date
                AND (S.MENU_CODE IS NULL OR S.MENU_CODE = 'D1001')
            UNION ALL
            SELECT 2, S.UPJANG_CODE, S.RSV_NO, S.MANAGE_NO, S.TASK_DATE, '기타매출',
                   (SELECT MAX(MENU_NAME) FROM JB010MS WHERE UPJANG_CODE = S.UPJANG_CODE AND MENU_CODE = S.MENU_CODE),
                   S.ROOMS, S.SALE_AMT, S.GUEST_TYPE, S.MEMBER_NO, S.ROOM_TYPE, S.REMARKS
            FROM DA030SS S
            WHERE S.UPJANG_CODE = :UPJANG_CODE
                AND S.TASK_DATE BETWEEN :from_date AND :to_date
                AND S.MENU_CODE IS NOT NULL
                AND S.MENU_CODE <> 'D1001'
            UNION ALL
            SELECT 2, K.UPJANG_CODE, NULL, NULL, K.SALE_DATE, '기타매출', '추가매출', 0, K.SALE_AMT,
                   NULL, NULL, NULL, NULL
            FROM KE030MS K
            WHERE K.UPJANG_CODE = :UPJANG_CODE
                AND K.SALE_DATE BETWEEN :from_date AND :to_date
            UNION ALL
            SELECT 2, K.UPJANG_CODE, NULL, NULL, K.SALE_DATE, '기타매출', '매출조정', 0, K.SALE_AMT,
                   NULL, NULL, NULL, NULL
            FROM KE040MS K
            WHERE K.UPJANG_CODE = :UPJANG_CODE
                AND K.SALE_DATE BETWEEN :from_date AND :to_date
        ) B
        LEFT JOIN AA010MS X ON X.MEMBER_NO = B.MEMBER_NO
    ) C
    GROUP BY C.GRP, C.RSV_NO, C.MANAGE_NO, C.TASK_DATE, C.WEEK_GUBUN,
             DECODE(C.RSV_NO, NULL, C.SALE_GUBUN2, NULL)
) D
WHERE (D.MEM_GUBUN = :MEM_GUBUN OR :MEM_GUBUN IS NULL)
    AND (D.ROOM_TYPE = :ROOM_TYPE OR :ROOM_TYPE IS NULL)
    AND (D.EX_CODE = :EX_CODE OR :EX_CODE IS NULL)
    AND (D.SALE_GUBUN = :SALE_GUBUN OR :SALE_GUBUN IS NULL)
    AND (D.WEEK_GUBUN = :WEEK_GUBUN OR :WEEK_GUBUN IS NULL)
)sql");

const QString kCompOnly = kTotal + QStringLiteral("AND AMT = 0\n");

const QString kGovernmentTypes =
    QStringLiteral(" AND GUEST_TYPE IN ('003','004','005','006','007','008','009') ");

// The room types of the hotel in the outlet field; the first row holds the titles.
const QString kRoomTypeHelp = QStringLiteral(R"sql(
SELECT '객실타입', '객실타입 명'
FROM DUAL
UNION ALL
SELECT ROOM_TYPE, ROOM_TYPE_NAME
FROM (
    SELECT DETAIL AS ROOM_TYPE, DETAIL_NAME AS ROOM_TYPE_NAME
    FROM ZX010MS
    WHERE HEAD = 'A0025'
        AND ITEM1 = :param
) T
)sql");

QLabel *caption(QWidget *parent, const char *name, const char *text) {
    auto *l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

QToolButton *helpButton(QWidget *parent, const char *name) {
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(QStringLiteral("..."));
    return b;
}

QComboBox *choices(QWidget *parent, const char *name, const QStringList &items) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItems(items);
    return box;
}

QCheckBox *checkBox(QWidget *parent, const char *name, const char *text) {
    auto *box = new QCheckBox(QString::fromUtf8(text), parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

TfrmSRS184::TfrmSRS184(db::Connection &connection, QWidget *parent)
    : TfrmZZI090(connection, QStringLiteral("frmSRS184"), parent),
      m_total(std::make_unique<db::Query>(connection)),
      m_compOnly(std::make_unique<db::Query>(connection)) {
    setWindowTitle(QStringLiteral("frmSRS184"));
    resize(1680, height());
    qryTotal = m_total.get();
    qryCompOnly = m_compOnly.get();
    qryTotal->setSql(kTotal);
    qryCompOnly->setSql(kCompOnly);

    // The conditions stand on two rows beside the Search button, so that a desk of 1024 pixels
    // shows every field and caption whole: dates and the two codes above, the filters below.
    panSearch->setFixedHeight(62);
    auto *conditions = new QVBoxLayout;
    conditions->setSpacing(4);
    auto *lookups = new QHBoxLayout;
    auto *filters = new QHBoxLayout;
    conditions->addLayout(lookups);
    conditions->addLayout(filters);
    m_searchRow->insertLayout(0, conditions);
    const EventDates dates = AddEventDates(panSearch, lookups, QStringLiteral("매출일자"));
    med_Event_From_Date = dates.med_Event_From_Date;
    wlb_Event_From_Yoil = dates.wlb_Event_From_Yoil;
    med_Event_To_Date = dates.med_Event_To_Date;
    wlb_Event_To_Yoil = dates.wlb_Event_To_Yoil;

    edt_Upjang_No = new QLineEdit(panSearch);
    edt_Upjang_No->setObjectName(QStringLiteral("edt_Upjang_No"));
    edt_Upjang_No->setFixedWidth(55);
    edt_Upjang_No->setAlignment(Qt::AlignCenter);
    bbt_Upjang_No = helpButton(panSearch, "bbt_Upjang_No");
    wlb_Upjang_No = caption(panSearch, "wlb_Upjang_No", "");
    wlb_Upjang_No->setMinimumWidth(90);
    edt_Room_Type = new QLineEdit(panSearch);
    edt_Room_Type->setObjectName(QStringLiteral("edt_Room_Type"));
    edt_Room_Type->setMaxLength(2);
    edt_Room_Type->setFixedWidth(40);
    edt_Room_Type->setAlignment(Qt::AlignCenter);
    edt_Room_Type->setToolTip(QStringLiteral("객실타입코드"));
    bbt_Room_Type = helpButton(panSearch, "bbt_Room_Type");
    wlbl_Room_Type = caption(panSearch, "wlbl_Room_Type", "");
    wlbl_Room_Type->setToolTip(QStringLiteral("객실타입"));
    wlbl_Room_Type->setMinimumWidth(70);
    cmbMemGubun = choices(panSearch, "cmbMemGubun",
                          {QString(), QStringLiteral("회원"), QStringLiteral("일반"),
                           QStringLiteral("여행사"), QStringLiteral("단체"),
                           QStringLiteral("임직원"), QStringLiteral("기타")});
    CmbWeekGubun = choices(panSearch, "CmbWeekGubun",
                           {QString(), QStringLiteral("주중"), QStringLiteral("주말")});
    ChkExCode = checkBox(panSearch, "ChkExCode", "전용제외");
    ChkSaleGubun = checkBox(panSearch, "ChkSaleGubun", "기타매출제외");
    ChkSaleGubun->setChecked(true);
    ChkCompOnly = checkBox(panSearch, "ChkCompOnly", "CompOnly");
    CheckBox1 = checkBox(panSearch, "CheckBox1", "Only_정부투자기관");
    for (QWidget *w : std::initializer_list<QWidget *>{
             caption(panSearch, "lblUpjang", "영업장"), edt_Upjang_No, bbt_Upjang_No, wlb_Upjang_No,
             caption(panSearch, "lblRoom_Type", "객실타입"), edt_Room_Type, bbt_Room_Type,
             wlbl_Room_Type})
        lookups->addWidget(w);
    lookups->addStretch(1);
    for (QWidget *w : std::initializer_list<QWidget *>{
             caption(panSearch, "lblMemGubun", "고객구분"), cmbMemGubun,
             caption(panSearch, "lblWeekGubun", "주말구분"), CmbWeekGubun, ChkExCode, ChkSaleGubun,
             ChkCompOnly, CheckBox1})
        filters->addWidget(w);
    filters->addStretch(1);
    connect(bbt_Upjang_No, &QToolButton::clicked, this, [this] { bbt_Upjang_NoClick(); });
    connect(bbt_Room_Type, &QToolButton::clicked, this, [this] { bbt_Room_TypeClick(); });
    for (QWidget *field :
         {static_cast<QWidget *>(med_Event_From_Date), static_cast<QWidget *>(med_Event_To_Date),
          static_cast<QWidget *>(edt_Upjang_No), static_cast<QWidget *>(edt_Room_Type)})
        attachField(field);

    // A list only: no New, Delete or Save; Excel on the button bar.
    bbtAdd->hide();
    bbtDelete->hide();
    bbtSave->hide();
    controls::GridOptions o = rgrGrid->options();
    o.inserting = false;
    o.deleting = false;
    rgrGrid->setOptions(o);
    bbtExcel = FormButton(panButtons, "bbtExcel", QStringLiteral("Excel"), QSize(90, 25));
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtCancel), bbtExcel);
    connect(bbtExcel, &QPushButton::clicked, this, [this] { bbtExcelClick(); });
    bbtExcel->setEnabled(false); // search mode

    using controls::Column;
    auto centred = [](controls::GridColumn c) {
        c.alignment = Qt::AlignCenter;
        return c;
    };
    auto figure = [](const char *field, const char *title, int width) {
        controls::GridColumn c = Column(field, title, width);
        c.alignment = Qt::AlignRight | Qt::AlignVCenter;
        c.displayFormat = QStringLiteral("0,");
        return c;
    };
    rgrGrid->setColumns(
        {centred(Column("RSV_NO", "예약번호", 90)), centred(Column("MANAGE_NO", "ManageNo", 60)),
         centred(Column("ROOM_NO", "객실번호", 60)), centred(Column("TASK_DATE", "매출일자", 70)),
         Column("SALE_GUBUN", "매출구분", 70), Column("SALE_GUBUN2", "상세메뉴명", 110),
         Column("MEM_GUBUN", "고객구분", 60), centred(Column("GUEST_TYPE", "요금구분코드", 80)),
         Column("GUEST_TYPE_NAME", "요금구분 명", 90),
         centred(Column("MEMBER_NO", "Member_No", 90)), Column("MEMBER_NAME", "회원명", 80),
         centred(Column("EX_CODE", "전용구분", 60)), centred(Column("ROOM_TYPE", "객실타입", 60)),
         Column("ROOM_TYPE_NAME", "객실타입 명", 80), figure("CNT", "객실수량", 60),
         figure("AMT", "매출", 90), Column("REMARKS", "Remarks", 150)});
}

void TfrmSRS184::showEvent(QShowEvent *event) {
    TfrmZZI090::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfrmSRS184::FormShow() {
    const QString yesterday = AddDays(TodayYmd(), -1);
    med_Event_From_Date->setValue(yesterday);
    med_Event_To_Date->setValue(yesterday);
    wlb_Event_From_Yoil->setText(DayNameDb(connection(), yesterday));
    wlb_Event_To_Yoil->setText(DayNameDb(connection(), yesterday));
    edt_Upjang_No->setText(QStringLiteral("1002"));
    wlb_Upjang_No->setText(QStringLiteral("가족호텔"));
}

void TfrmSRS184::bbtSearchClick() {
    QString sql = ChkCompOnly->isChecked() ? qryCompOnly->sql() : qryTotal->sql();
    if (CheckBox1->isChecked())
        sql += kGovernmentTypes;
    qryQuery->setSql(sql);
    qryQuery->setParam(QStringLiteral("from_date"), med_Event_From_Date->value());
    qryQuery->setParam(QStringLiteral("to_date"), med_Event_To_Date->value());
    qryQuery->setParam(QStringLiteral("UPJANG_CODE"), edt_Upjang_No->text());
    qryQuery->setParam(QStringLiteral("MEM_GUBUN"), cmbMemGubun->currentText());
    qryQuery->setParam(QStringLiteral("ROOM_TYPE"), edt_Room_Type->text());
    qryQuery->setParam(QStringLiteral("WEEK_GUBUN"), CmbWeekGubun->currentText());
    qryQuery->setParam(QStringLiteral("EX_CODE"),
                       ChkExCode->isChecked() ? QStringLiteral("비전용") : QString());
    qryQuery->setParam(QStringLiteral("SALE_GUBUN"),
                       ChkSaleGubun->isChecked() ? QStringLiteral("객실료") : QString());
    TfrmZZI090::bbtSearchClick();
    // The figures are numbers in the grid (number cells in the Excel file); nothing changed.
    controls::GridModel *model = rgrGrid->gridModel();
    for (int row = 0; row < model->rowCount(); ++row)
        for (int column : {14, 15}) {
            const QString text = model->text(row, column);
            if (!text.isEmpty())
                model->setValue(row, column, ParseNumber(text));
        }
    Changed = false;
}

void TfrmSRS184::bbt_Upjang_NoClick() {
    const HelpResult r =
        ShowHelpDialog(connection(), QStringLiteral("영업장"), HotelOutletHelp(), QString(), this);
    edt_Upjang_No->setText(r.code);
    wlb_Upjang_No->setText(r.name);
    edt_Upjang_No->setFocus();
}

void TfrmSRS184::bbt_Room_TypeClick() {
    const HelpResult r = ShowHelpDialog(connection(), QStringLiteral("객실타입"), kRoomTypeHelp,
                                        edt_Upjang_No->text(), this);
    edt_Room_Type->setText(r.code);
    wlbl_Room_Type->setText(r.name);
    wlbl_Room_Type->setFocus();
}

void TfrmSRS184::bbtExcelClick() {
    RequireActive(bbtExcel);
    bbtExcel->setFocus();
    ExportGridAndOfferToOpen(rgrGrid, windowTitle(), QStringLiteral("SRS184"));
}

} // namespace kelo::screens
