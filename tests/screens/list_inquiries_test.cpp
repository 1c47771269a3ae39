#include "common/appdir.h"
#include "common/dates.h"
#include "common/functions.h"
#include "common/globals.h"
#include "db/query.h"
#include "framework/screenhelpers.h"
#include "screens/lists/list_inquiries.h"
#include "screens/registerscreens.h"
#include "screens/viewer/report_viewers.h"
#include "shell/registry.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"
#include "xlsrecords.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using namespace kelo;
using namespace kelo::screens;

namespace {

// The codes, outlets and the department tree every list reads. Today's tree: the team 객실팀
// (1110) with its part 프론트파트 (1111); 면세점팀 (1190) closed in 2003. Employees 10000001 in
// the part, 10000002 in the team, 10000003 in the closed department. Member numbers: the
// employees' own (…00) and one of the head office's (1000000101, employee 10000001).
const char *const kBase = R"sql(
DELETE FROM ZX010MS WHERE HEAD IN ('Z0006', 'B0003');
INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME)
VALUES ('Z0006', ' ', '고객유형'),
    ('Z0006', '100', '일반'),
    ('Z0006', '200', '회원'),
    ('Z0006', '900', '무료'),
    ('Z0006', '910', '하우스유스'),
    ('B0003', ' ', '요금구분'),
    ('B0003', '1', '회원'),
    ('B0003', '2', '비회원');
DELETE FROM JA010MS;
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME)
VALUES ('1001', '베로호텔'),
    ('1002', '가족호텔'),
    ('1003', '국민호텔'),
    ('2001', '골프장'),
    ('5073', '스낵바'),
    ('5074', '카페'),
    ('4058', '스키렌탈'),
    ('6001', '기타');
INSERT INTO QA160MS
VALUES ('1000', '켈로리조트'),
    ('1100', '호텔본부'),
    ('1110', '객실팀'),
    ('1111', '프론트파트'),
    ('1190', '면세점팀');
INSERT INTO QA160MS_DATE (DEPT_CODE, DEPT_NAME, R_CODE, BGN_DATE, END_DATE)
VALUES ('1110', '객실팀', '100011001110', TO_DATE('20000101'), TO_DATE('99991231')),
    ('1111', '프론트파트', '1000110011101111', TO_DATE('20000101'), TO_DATE('99991231')),
    ('1190', '면세점팀', '100011001190', TO_DATE('20000101'), TO_DATE('20031231'));
INSERT INTO QA010MS (EMP_NO, EMP_K_NAME, EMP_AFF_DEPT_CODE)
VALUES ('10000001', '홍길동', '1111'),
    ('10000002', '김철수', '1110'),
    ('10000003', '이영희', '1190');
INSERT INTO BA040MS
VALUES ('1000000100', '홍길동'),
    ('1000000101', '홍길동(본사)'),
    ('1000000200', '김철수'),
    ('1000000300', '이영희');
)sql";

// Golf bookings with their lockers and the green fees: G1 a staff member's (entered 2 March,
// played 10 March, a weekend day), G2 the head office's (entered 3 March, played 11 March),
// G3 a staff member's cancelled one.
const char *const kGolf = R"sql(
INSERT INTO CA020MS (RSV_NO, COME_DATE, MEMBER_NO, GUEST_NAME, CHARGE_GUBUN, RATE_GUBUN,
    ROUND_GUBUN, STATUS_CODE, I_DATE)
VALUES ('G1', '20240310', '1000000200', '골프손님', '1', '1', '18', 'R', TO_DATE('20240302')),
    ('G2', '20240311', '1000000101', '본사골프', '2', '1', '18', 'R', TO_DATE('20240303')),
    ('G3', '20240312', '1000000100', '취소골프', '1', '1', '18', 'RC', TO_DATE('20240304'));
INSERT INTO HA010MS
VALUES ('20240310', 'G1', '0001', 1),
    ('20240310', 'G1', '0002', 2),
    ('20240311', 'G2', '0003', 1);
INSERT INTO HA020MS
VALUES ('20240310', '0001', 1, 50000),
    ('20240310', '0002', 2, 30000),
    ('20240311', '0003', 1, 70000);
INSERT INTO CX030MS
VALUES ('20240310', '2'),
    ('20240311', '1');
INSERT INTO JB010MS (UPJANG_CODE, MENU_CODE, MENU_NAME, MENU_ITEM1, MENU_ITEM2, MENU_ITEM3,
    MENU_ITEM4, DATE_FROM, UNIT_AMT)
VALUES ('2001', 'GF111', '그린피', '1', '1', '1', '18', '20000101', 45000),
    ('2001', 'GF112', '그린피', '1', '1', '2', '18', '20000101', 57500),
    ('2001', 'GF211', '그린피', '2', '1', '1', '18', '20000101', 60000);
)sql";

class ListInquiriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalValues{};
        script(kBase);
    }
    void script(const char *sql) { connection.executeScript(QString::fromUtf8(sql)); }

    template <class Screen> std::unique_ptr<Screen> open() {
        auto screen = std::make_unique<Screen>(connection);
        screen->resize(1100, 600);
        screen->show();
        return screen;
    }
    // Types a date into a date field as the user does: the field emptied, then the keys.
    static void type(controls::MaskedEdit *edit, const QString &text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        edit->home(false);
        QTest::keyClicks(edit, text);
    }
    static void search(TfrmListInquiry &s, const QString &from, const QString &to = QString()) {
        type(s.med_Event_From_Date, from);
        if (!to.isEmpty())
            type(s.med_Event_To_Date, to);
        QTest::mouseClick(s.bbtSearch, Qt::LeftButton);
    }
    // The grid's rows, the cells of the fields joined by '|', in the order shown.
    static QStringList rows(const TfrmListInquiry &s, const QStringList &fields) {
        QStringList out;
        for (int r = 0; r < s.rgrGrid->rowCountFetched(); ++r) {
            QStringList cells;
            for (const QString &f : fields)
                cells << s.rgrGrid->gridModel()->displayText(r, s.rgrGrid->columnByField(f));
            out << cells.join(u'|');
        }
        return out;
    }
    static QStringList sorted(QStringList list) {
        list.sort();
        return list;
    }
    static QStringList texts(const QComboBox *box) {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
};

const QStringList kSbs040Fields{"USE_DATE",  "TEAM",       "PART",  "EMP_NO",
                                "EMP_NAME",  "GUEST_NAME", "GUBUN", "UPJANG_NAME",
                                "ROOM_TYPE", "GUEST_TYPE", "CNT",   "USE_AMT"};
const QStringList kSbs050Fields{"GUBUN",     "UPJANG_NAME", "EMP_NO", "EMP_NAME",   "USE_DATE",
                                "ROOM_TYPE", "GUEST_NAME",  "CNT",    "GUEST_TYPE", "I_DATE",
                                "PART",      "TEAM",        "USE_AMT"};

TEST_F(ListInquiriesTest, RegisteredForTheMenu) {
    shell::ProgramRegistry registry;
    RegisterScreens(registry);
    for (const char *id : {"SBS020", "SBS040", "SBS050", "SRS330", "SRS340"}) {
        std::unique_ptr<QWidget> screen(registry.create(QLatin1String(id), connection));
        ASSERT_TRUE(screen) << id;
        EXPECT_EQ(screen->objectName(), QStringLiteral("frm") + QLatin1String(id));
        EXPECT_TRUE(qobject_cast<TfrmListInquiry *>(screen.get())) << id;
    }
}

TEST_F(ListInquiriesTest, DatesStartFromTheirDefaultsWithTheDatabasesWeekdays) {
    const QString today = QStringLiteral("20261210"), yesterday = QStringLiteral("20261209");
    auto sbs020 = open<TfrmSBS020>();
    auto sbs040 = open<TfrmSBS040>();
    auto sbs050 = open<TfrmSBS050>();
    auto srs330 = open<TfrmSRS330>();
    auto srs340 = open<TfrmSRS340>();
    const struct {
        TfrmListInquiry *screen;
        const char *caption;
        QString from, to;
        bool toShown;
    } cases[] = {
        {sbs020.get(), "매출일자", yesterday, yesterday, true},
        {sbs040.get(), "매출일자", today, today, true},
        {sbs050.get(), "입력일자", today, today, true},
        {srs330.get(), "매출일자", yesterday, today, false},
        {srs340.get(), "매출일자", yesterday, today, false},
    };
    for (const auto &c : cases) {
        const std::string id = c.screen->programId().toStdString();
        EXPECT_EQ(c.screen->lbl_Event_Date->text(), QString::fromUtf8(c.caption)) << id;
        EXPECT_EQ(c.screen->med_Event_From_Date->value(), c.from) << id;
        EXPECT_EQ(c.screen->med_Event_To_Date->value(), c.to) << id;
        EXPECT_EQ(c.screen->med_Event_To_Date->isVisible(), c.toShown) << id;
        EXPECT_EQ(c.screen->wlb_Event_To_Yoil->isVisible(), c.toShown) << id;
        EXPECT_EQ(c.screen->wlb_Event_From_Yoil->text(), DayNameDb(connection, c.from)) << id;
        EXPECT_FALSE(c.screen->wlb_Event_From_Yoil->text().isEmpty()) << id;
    }
    // The weekday follows the typing; a date that does not exist has none.
    type(sbs020->med_Event_From_Date, QStringLiteral("20240315"));
    EXPECT_EQ(sbs020->wlb_Event_From_Yoil->text(), QStringLiteral("금요일"));
    type(sbs020->med_Event_To_Date, QStringLiteral("20240230"));
    EXPECT_EQ(sbs020->wlb_Event_To_Yoil->text(), QString());
    // Shown again (a tab coming back), the screen keeps what the user typed.
    sbs020->hide();
    sbs020->show();
    EXPECT_EQ(sbs020->med_Event_From_Date->value(), QStringLiteral("20240315"));
    // Print and preview as each screen has them.
    EXPECT_TRUE(sbs020->bbtPrint->isVisible() && sbs020->bbtPreview->isVisible());
    for (TfrmListInquiry *s : {static_cast<TfrmListInquiry *>(sbs040.get()),
                               static_cast<TfrmListInquiry *>(sbs050.get())})
        EXPECT_TRUE(!s->bbtPrint->isVisible() && s->bbtPreview->isVisible());
    for (TfrmListInquiry *s : {static_cast<TfrmListInquiry *>(srs330.get()),
                               static_cast<TfrmListInquiry *>(srs340.get())})
        EXPECT_TRUE(!s->bbtPrint->isVisible() && !s->bbtPreview->isVisible());
}

// Complimentary and house-use room nights by category, date and hotel; a category without a
// code name comes last.
TEST_F(ListInquiriesTest, Sbs020ListsTheFreeRoomNightsByCategory) {
    script(R"sql(
INSERT INTO DA030MS
VALUES ('1001', 'R1', '01', '20240305', 'D1001', '900', 'ST', 0),
    ('1001', 'R1', '01', '20240306', 'D1001', '900', 'ST', 0),
    ('1002', 'R2', '01', '20240305', 'D1001', '910', 'FM', 0),
    ('1003', 'R3', '01', '20240306', 'D1001', '803', 'ST', 0),
    ('1001', 'R4', '01', '20240305', 'D1001', '100', 'ST', 180000),
    ('1001', 'R1', '01', '20240305', 'D2001', '900', 'ST', 0),
    ('1001', 'R5', '01', '20240401', 'D1001', '900', 'ST', 0);
INSERT INTO CA010MS (RSV_NO, UPJANG_CODE, CHECKIN_DATE, CHECKOUT_DATE, REMARKS)
VALUES ('R1', '1001', '20240305', '20240307', '무료숙박');
INSERT INTO CA010MS (RSV_NO, UPJANG_CODE, CHECKIN_DATE, CHECKOUT_DATE)
VALUES ('R2', '1002', '20240304', '20240306');
INSERT INTO DA010MS (UPJANG_CODE, RSV_NO, MANAGE_NO, GUEST_NAME)
VALUES ('1001', 'R1', '01', '손님1'),
    ('1002', 'R2', '01', '손님2');
)sql");
    auto s = open<TfrmSBS020>();
    search(*s, QStringLiteral("20240301"), QStringLiteral("20240331"));
    EXPECT_EQ(rows(*s, {"GUBUN", "TASK_DATE", "UPJANG_CODE", "RSV_NO", "MENU_ITEM3", "QTY",
                        "CHECKIN", "CHECKOUT", "GUEST_NAME", "REMARKS"}),
              QStringList({"무료|20240305|베로호텔|R1|ST|1|20240305|20240307|손님1|무료숙박",
                           "무료|20240306|베로호텔|R1|ST|1|20240305|20240307|손님1|무료숙박",
                           "하우스유스|20240305|가족호텔|R2|FM|1|20240304|20240306|손님2|",
                           "|20240306|국민호텔|R3|ST|1||||"}));
    EXPECT_EQ(dialogs->errors(), QStringList());
}

TEST_F(ListInquiriesTest, Sbs040ListsStaffOrHeadOfficeSalesByUseDate) {
    script(kGolf);
    script(R"sql(
INSERT INTO DA010MS (UPJANG_CODE, RSV_NO, MANAGE_NO, ROOM_TYPE, GUEST_NAME, GUEST_TYPE, MEMBER_NO)
VALUES ('1001', 'S1', '01', 'ST', '직원손님', '200', '1000000100'),
    ('1002', 'S2', '01', 'FM', '본사손님', '200', '1000000101'),
    ('1001', 'S3', '01', 'ST', '일반손님', '100', '2000000001'),
    ('1003', 'S4', '01', 'ST', '국민손님', '200', '1000000100'),
    ('1001', 'S5', '01', 'ST', '하우스', '910', '1000000100');
INSERT INTO DA030MS
VALUES ('1001', 'S1', '01', '20240305', 'D1001', '200', 'ST', 120000),
    ('1001', 'S1', '01', '20240306', 'D1001', '200', 'ST', 110000),
    ('1001', 'S1', '01', '20240401', 'D1001', '200', 'ST', 100000),
    ('1002', 'S2', '01', '20240305', 'D1001', '200', 'FM', 90000),
    ('1001', 'S3', '01', '20240305', 'D1001', '100', 'ST', 150000),
    ('1003', 'S4', '01', '20240305', 'D1001', '200', 'ST', 80000),
    ('1001', 'S5', '01', '20240305', 'D1001', '910', 'ST', 0);
)sql");
    auto s = open<TfrmSBS040>();
    EXPECT_TRUE(s->RadioButton1->isChecked());
    search(*s, QStringLiteral("20240301"), QStringLiteral("20240331"));
    // Two lockers of one booking are one round with their sales added up.
    EXPECT_EQ(sorted(rows(*s, kSbs040Fields)),
              QStringList({"20240305|객실팀|프론트파트|1000000100|홍길동|직원손님|객실|베로호텔|ST|"
                           "회원|1|120,000",
                           "20240306|객실팀|프론트파트|1000000100|홍길동|직원손님|객실|베로호텔|ST|"
                           "회원|1|110,000",
                           "20240310|객실팀|객실팀|1000000200|김철수|골프손님|골프|골프장||회원|1|"
                           "80,000"}));
    QTest::mouseClick(s->RadioButton2, Qt::LeftButton);
    ASSERT_TRUE(s->RadioButton2->isChecked());
    QTest::mouseClick(s->bbtSearch, Qt::LeftButton);
    EXPECT_EQ(
        sorted(rows(*s, kSbs040Fields)),
        QStringList({"20240305|객실팀|프론트파트|1000000101|홍길동(본사)|본사손님|객실|가족호"
                     "텔|FM|회원|1|90,000",
                     "20240311|객실팀|프론트파트|1000000101|홍길동(본사)|본사골프|골프|골프장|"
                     "|비회원|1|70,000"}));
    // One day of the range.
    search(*s, QStringLiteral("20240311"), QStringLiteral("20240311"));
    EXPECT_EQ(s->rgrGrid->rowCountFetched(), 1);
    EXPECT_EQ(dialogs->errors(), QStringList());
}

class Sbs050Test : public ListInquiriesTest {
protected:
    void SetUp() override {
        ListInquiriesTest::SetUp();
        script(kGolf);
        // B1, B2 staff bookings entered in March; B3 the head office's (3 nights of 2 rooms);
        // B4 cancelled, B5 entered in February, B6 for a stay before the period, B7 at 1003.
        script(R"sql(
INSERT INTO CA010MS (RSV_NO, UPJANG_CODE, CHECKIN_DATE, CHECKOUT_DATE, NIGHTS, ROOM_CNT, ROOM_TYPE,
    GUEST_NAME, GUEST_TYPE, MEMBER_NO, STATUS_CODE, I_DATE)
VALUES ('B1', '1001', '20240320', '20240322', 2, 2, 'ST', '예약손님1', '200', '1000000100', 'R',
    TO_DATE('20240305')),
    ('B2', '1002', '20240325', '20240326', 1, 1, 'FM', '예약손님2', '100', '1000000200', 'R',
        TO_DATE('20240306')),
    ('B3', '1001', '20240320', '20240323', 3, 2, 'ST', '본사손님', '200', '1000000101', 'R',
        TO_DATE('20240307')),
    ('B4', '1001', '20240320', '20240321', 1, 1, 'ST', '취소손님', '200', '1000000100', 'C',
        TO_DATE('20240305')),
    ('B5', '1001', '20240320', '20240321', 1, 1, 'ST', '이월손님', '200', '1000000100', 'R',
        TO_DATE('20240220')),
    ('B6', '1001', '20240228', '20240229', 1, 1, 'ST', '지난손님', '200', '1000000100', 'R',
        TO_DATE('20240305')),
    ('B7', '1003', '20240320', '20240321', 1, 1, 'ST', '국민손님', '200', '1000000100', 'R',
        TO_DATE('20240305'));
INSERT INTO CA011DT
VALUES ('B1', '20240320', 1, 100000, '1110'),
    ('B1', '20240321', 1, 110000, '1110'),
    ('B2', '20240325', 1, 80000, '1110'),
    ('B3', '20240320', 1, 100000, '1110'),
    ('B4', '20240320', 1, 100000, '1110'),
    ('B5', '20240320', 1, 100000, '1110'),
    ('B6', '20240228', 1, 100000, '1110'),
    ('B7', '20240320', 1, 100000, '1110');
)sql");
    }
    // A search of March with the department and team chosen by their texts.
    void searchMarch(TfrmSBS050 &s, const char *department, const char *team) {
        s.wcbBusea->setCurrentIndex(s.wcbBusea->findText(QString::fromUtf8(department)));
        s.wcbDeptCode->setCurrentIndex(s.wcbDeptCode->findText(QString::fromUtf8(team)));
        search(s, QStringLiteral("20240301"), QStringLiteral("20240331"));
    }

    const QString staff1a = QStringLiteral("객실|베로호텔|1000000100|홍길동|20240320|ST|예약손님1|"
                                           "2|회원|20240305|프론트파트|프론트파트|200,000");
    const QString staff1b = QStringLiteral("객실|베로호텔|1000000100|홍길동|20240321|ST|예약손님1|"
                                           "2|회원|20240305|프론트파트|프론트파트|220,000");
    const QString staff2 = QStringLiteral("객실|가족호텔|1000000200|김철수|20240325|FM|예약손님2|1|"
                                          "일반|20240306|객실팀|객실팀|80,000");
    // 57,500 a player on the weekend rate of 10 March, four players.
    const QString staff2Golf = QStringLiteral("골프|골프장|1000000200|김철수|20240310||골프손님|1|"
                                              "회원|20240302|객실팀|객실팀|230,000");
    const QString headOffice = QStringLiteral("객실|베로호텔|1000000101|홍길동(본사)|20240320|ST|"
                                              "본사손님|6|회원|20240307|프론트파트|객실팀|200,000");
    const QString headOfficeGolf = QStringLiteral("골프|골프장|1000000101|홍길동(본사)|20240311||"
                                                  "본사골프|1|비회원|20240303|프론트파트|객실팀|"
                                                  "240,000");
};

TEST_F(Sbs050Test, ListsOfferAllThenTodaysDepartmentsAndTeams) {
    auto s = open<TfrmSBS050>();
    EXPECT_EQ(texts(s->wcbBusea), QStringList({"전체", "객실팀", "프론트파트"}));
    EXPECT_EQ(texts(s->wcbDeptCode), QStringList({"전체", "객실팀", "프론트파트"}));
    EXPECT_EQ(s->wcbBusea->value(), QString());
    EXPECT_EQ(s->wcbBusea->currentText(), QStringLiteral("전체"));
    s->wcbDeptCode->setCurrentIndex(2);
    EXPECT_EQ(s->wcbDeptCode->value(), QStringLiteral("1111"));
}

TEST_F(Sbs050Test, AllInBothListsFiltersNothingAndLeavesThemEmpty) {
    auto s = open<TfrmSBS050>();
    searchMarch(*s, "전체", "전체");
    EXPECT_EQ(sorted(rows(*s, kSbs050Fields)), sorted({staff1a, staff1b, staff2, staff2Golf}));
    // Ordered by outlet: 1001, 1002, then golf 2001.
    EXPECT_EQ(rows(*s, {"UPJANG_NAME"}),
              QStringList({"베로호텔", "베로호텔", "가족호텔", "골프장"}));
    EXPECT_EQ(s->wcbBusea->currentText(), QString());
    EXPECT_EQ(s->wcbDeptCode->currentText(), QString());
    // The lists stay empty and the next search still shows everything.
    QTest::mouseClick(s->bbtSearch, Qt::LeftButton);
    EXPECT_EQ(s->rgrGrid->rowCountFetched(), 4);
    EXPECT_EQ(dialogs->errors(), QStringList());
}

TEST_F(Sbs050Test, DepartmentAndTeamFilterStaffAndHeadOffice) {
    auto s = open<TfrmSBS050>();
    const struct {
        bool headOffice;
        const char *department, *team;
        QStringList rows;
    } cases[] = {
        {false, "프론트파트", "전체", {staff1a, staff1b}},
        {false, "전체", "객실팀", {staff2, staff2Golf}},
        {false, "객실팀", "프론트파트", {}},
        {true, "전체", "전체", {headOffice, headOfficeGolf}},
        // The head office's department is taken a level up: 객실팀, never 프론트파트.
        {true, "객실팀", "전체", {headOffice, headOfficeGolf}},
        {true, "프론트파트", "전체", {}},
        {true, "전체", "프론트파트", {headOffice, headOfficeGolf}},
        {true, "전체", "객실팀", {}},
    };
    for (const auto &c : cases) {
        QTest::mouseClick(c.headOffice ? s->RadioButton2 : s->RadioButton1, Qt::LeftButton);
        ASSERT_EQ(s->RadioButton2->isChecked(), c.headOffice);
        searchMarch(*s, c.department, c.team);
        EXPECT_EQ(sorted(rows(*s, kSbs050Fields)), sorted(c.rows))
            << c.headOffice << c.department << c.team;
    }
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// Sales lines of 15 March: room 0501 occupied (its room charge with the stay's guest), room
// 0502 a same-day stay (occupied too), room 0503 checked out that day (an other room charge),
// a stay without a room number, a minibar bill; outlet lines of 5073 (two), 4058, 6001 (not
// listed) and 5074 on another day.
TEST_F(ListInquiriesTest, Srs330GivesOneTotalRowPerOutletWithOrWithoutRoomRows) {
    script(R"sql(
INSERT INTO DA010MS (UPJANG_CODE, RSV_NO, MANAGE_NO, ROOM_NO, ROOM_TYPE, GUEST_NAME, CHECKIN_DATE,
    CHECKOUT_DATE, CHECKIN_TYPE, OUT_YN)
VALUES ('1001', 'H1', '01', '0501', 'ST', '투숙객1', '20240314', '20240316', '1', 'N'),
    ('1001', 'H2', '01', '0502', 'DX', '당일객', '20240315', '20240315', '1', 'Y'),
    ('1001', 'H3', '01', '0503', 'SU', '퇴실객', '20240310', '20240315', '1', 'Y');
INSERT INTO DA010MS (UPJANG_CODE, RSV_NO, MANAGE_NO, ROOM_TYPE, GUEST_NAME, CHECKIN_DATE,
    CHECKOUT_DATE, CHECKIN_TYPE, OUT_YN)
VALUES ('1001', 'H4', '01', 'ST', '무번호', '20240314', '20240316', '1', 'N');
INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, MENU_CODE, NET_AMT, VAT_AMT,
    GUEST_TYPE, MEMBER_NO, ACCEPT_MEMBER_NO, KOREAN_QTY, FOREIGN_QTY)
VALUES ('20240315', '1001', '0501', 1, 'D1001', 150000, 15000, '200', '2000000001', '2000000009',
    2, 0),
    ('20240315', '1001', '0503', 1, 'D1001', 120000, 12000, '100', NULL, '2000000002', 1, 1),
    ('20240315', '1001', '0502', 1, 'D1001', 80000, 8000, '100', NULL, NULL, 1, 0);
INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, MENU_CODE, NET_AMT, VAT_AMT,
    GUEST_TYPE, KOREAN_QTY, FOREIGN_QTY)
VALUES ('20240315', '1001', 'H000001', 1, 'D2001', 30000, 3000, '100', 1, 0);
INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, MENU_CODE, NET_AMT, VAT_AMT,
    KOREAN_QTY, FOREIGN_QTY)
VALUES ('20240315', '5073', 'B1', 1, 'F001', 10000, 1000, 2, 0),
    ('20240315', '5073', 'B2', 1, 'F001', 20000, 2000, 1, 1),
    ('20240315', '4058', 'B1', 1, 'R001', 50000, 5000, 3, 0),
    ('20240315', '6001', 'B1', 1, 'X001', 9000, 900, 1, 0),
    ('20240314', '5074', 'B1', 1, 'C001', 7000, 700, 1, 0),
    ('20240316', '5073', 'B1', 1, 'F001', 40000, 4000, 2, 0);
INSERT INTO JB010MS (UPJANG_CODE, MENU_CODE, MENU_NAME, DATE_FROM)
VALUES ('1001', 'D2001', '미니바', '20000101');
INSERT INTO DZ021MS
VALUES ('1001', '05', '본관');
INSERT INTO BB010MS
VALUES ('2000000001', '회원일'),
    ('2000000002', '회원이');
INSERT INTO AA010MS
VALUES ('20000000', 'F');
)sql");
    auto s = open<TfrmSRS330>();
    const QStringList fields{"영업장명", "매출일자", "동명",     "객실번호", "회원번호",
                             "회원명",   "고객유형", "투숙객명", "객실형",   "메뉴구분",
                             "NET금액",  "VAT금액",  "전용구분", "인원수"};
    search(*s, QStringLiteral("20240315"));
    EXPECT_EQ(sorted(rows(*s, fields)),
              sorted({"베로호텔|20240315|본관|0501|2000000001|회원일|회원|투숙객1|ST|객실료|"
                      "150,000|15,000|전용|2",
                      "베로호텔|20240315|본관|0502|||일반|당일객|DX|객실료|80,000|8,000||1",
                      "베로호텔|20240315|본관|0503|2000000002|회원이|일반|||기타객실료|120,000|"
                      "12,000|전용|2",
                      "베로호텔|20240315||H000001|||일반|||미니바|30,000|3,000||1",
                      "스낵바|20240315|||||||||30,000|3,000||4",
                      "스키렌탈|20240315|||||||||50,000|5,000||3"}));
    // A day with outlet sales only.
    search(*s, QStringLiteral("20240316"));
    EXPECT_EQ(rows(*s, fields), QStringList({"스낵바|20240316|||||||||40,000|4,000||2"}));
    // Saved as an Excel file: the Korean field names are bound, the amounts are
    // numbers.
    QTemporaryDir out;
    dialogs->answerFile(out.filePath(QStringLiteral("srs330.xls")));
    dialogs->answer(false); // not opened in Excel
    QTest::mouseClick(s->bbtExcel, Qt::LeftButton);
    QStringList titles, row;
    for (const XlsRecord &r : ReadXls(out.filePath(QStringLiteral("srs330.xls")))) {
        if (r.row == 2)
            titles << r.text;
        if (r.row == 3)
            row << (r.isNumber() ? QStringLiteral("#%1").arg(r.number) : r.text);
    }
    EXPECT_EQ(titles, fields);
    EXPECT_EQ(row, QStringList({"스낵바", "20240316", "", "", "", "", "", "", "", "", "#40000",
                                "#4000", "", "#2"}));
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// Stays of 15 March: K1 over the night, K2 same-day, K3 carried over and checked in that day;
// not in the house: K4 a carried-over stay checked in the day before, K5 checked out, K6
// without a management number, K7 with another out state. K1's charges of the day: two that
// count, one moved to another stay, one in another state, one of the day before.
TEST_F(ListInquiriesTest, Srs340ListsTheRoomsInTheHouseWithTheDaysRevenue) {
    script(R"sql(
INSERT INTO DA010MS
VALUES ('1001', 'K1', '01', '0501', 'ST', '정상객', '200', '2000000001', '회원일',
    '20240314', '20240316', '1', 'N'),
    ('1001', 'K2', '01', '0502', 'DX', '당일객', '100', NULL, NULL,
        '20240315', '20240315', '1', 'Y'),
    ('1002', 'K3', '01', '0601', 'FM', '이월객', '100', NULL, NULL,
        '20240315', '20240317', '2', 'N'),
    ('1002', 'K4', '01', '0602', 'FM', '연박객', '100', NULL, NULL,
        '20240314', '20240316', '2', 'N'),
    ('1001', 'K5', '01', '0503', 'SU', '퇴실객', '100', NULL, NULL,
        '20240310', '20240315', '1', 'Y'),
    ('1001', 'K6', '00', '0504', 'ST', '무관리', '100', NULL, NULL,
        '20240314', '20240316', '1', 'N'),
    ('1001', 'K7', '01', '0505', 'ST', '취소객', '100', NULL, NULL,
        '20240314', '20240316', '1', 'C');
INSERT INTO DC020MS
VALUES ('1001', 'K1', '01', '20240315', 1, 'D1001', '200', 100000, 0, 10000, 'N',
    '1001', 'K1', '01', '20240315', 1, '1001', 'K1', '01', '20240315', 1),
    ('1001', 'K1', '01', '20240315', 2, 'D2001', '200', 20000, 0, 2000, 'XS',
        '1001', 'K1', '01', '20240315', 2, '1001', 'K1', '01', '20240315', 2),
    ('1001', 'K1', '01', '20240315', 3, 'D2001', '200', 50000, 0, 5000, 'N',
        '1001', 'K1', '01', '20240315', 3, '1001', 'K9', '01', '20240315', 3),
    ('1001', 'K1', '01', '20240315', 4, 'D2001', '200', 70000, 0, 7000, 'C',
        '1001', 'K1', '01', '20240315', 4, '1001', 'K1', '01', '20240315', 4),
    ('1001', 'K1', '01', '20240314', 1, 'D1001', '200', 90000, 0, 9000, 'N',
        '1001', 'K1', '01', '20240314', 1, '1001', 'K1', '01', '20240314', 1),
    ('1001', 'K2', '01', '20240315', 1, 'D1001', '100', 80000, 0, 8000, 'N',
        '1001', 'K2', '01', '20240315', 1, '1001', 'K2', '01', '20240315', 1);
)sql");
    auto s = open<TfrmSRS340>();
    search(*s, QStringLiteral("20240315"));
    EXPECT_EQ(
        sorted(rows(*s, {"TASK_DATE", "UPJANG_NAME", "RSV_NO", "CHECKIN_DATE", "CHECKOUT_DATE",
                         "ROOM_NO", "ROOM_TYPE", "GUEST_TYPE", "GUEST_TYPE_NAME", "MEMBER_NO",
                         "MEMBER_NAME", "NET_AMT", "VAT_AMT"})),
        QStringList({"20240315|가족호텔|K3|20240315|20240317|0601|FM|100|일반||||",
                     "20240315|베로호텔|K1|20240314|20240316|0501|ST|200|회원|2000000001|"
                     "회원일|120,000|12,000",
                     "20240315|베로호텔|K2|20240315|20240315|0502|DX|100|일반|||80,000|"
                     "8,000"}));
    EXPECT_TRUE(s->rgrGrid->isColumnHidden(s->rgrGrid->columnByField("UPJANG_CODE")));
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// The preview opens the report viewer screen modally with the range (and SBS050's choices,
// "전체" sent as empty) and frees it when it closes.
TEST_F(Sbs050Test, PreviewOpensTheReportOfTheRangeModally) {
    QFile ini(AppFile(QStringLiteral("Kelo_S.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ReportServer]\nMain=http://main:8001\n");
    ini.close();
    const QString base = QStringLiteral("http://main:8001/REPORT/경영정보관리/");
    auto sbs040 = open<TfrmSBS040>();
    auto sbs050 = open<TfrmSBS050>();
    struct Seen {
        QString id, location, params;
        bool modal = false;
        QPointer<QWidget> screen;
    };
    // Presses Preview; while the viewer is up, notes what it opened and closes it.
    auto preview = [](TfrmListInquiry &s) {
        Seen seen;
        QTimer::singleShot(0, [&seen] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *v = qobject_cast<TfrmParamViewer *>(w); v && v->isVisible()) {
                    seen = {v->programId(), v->Rdviewer401->location(), v->Rdviewer401->params(),
                            v->isModal(), v};
                    v->close();
                }
        });
        QTest::mouseClick(s.bbtPreview, Qt::LeftButton);
        return seen;
    };
    type(sbs040->med_Event_From_Date, QStringLiteral("20240301"));
    type(sbs040->med_Event_To_Date, QStringLiteral("20240331"));
    Seen seen = preview(*sbs040);
    EXPECT_EQ(seen.id, QStringLiteral("SBP040"));
    EXPECT_EQ(seen.location, base + QStringLiteral("직원영업활동실적현황.mrd"));
    EXPECT_EQ(seen.params, QStringLiteral("/rp [20240301] [20240331]"));
    EXPECT_TRUE(seen.modal);
    EXPECT_TRUE(seen.screen.isNull()); // freed when closed

    type(sbs050->med_Event_From_Date, QStringLiteral("20240301"));
    type(sbs050->med_Event_To_Date, QStringLiteral("20240331"));
    seen = preview(*sbs050);
    EXPECT_EQ(seen.id, QStringLiteral("SBP050"));
    EXPECT_EQ(seen.location, base + QStringLiteral("직원영업활동예약현황.mrd"));
    EXPECT_EQ(seen.params, QStringLiteral("/rp [20240301] [20240331] [] []"));
    EXPECT_EQ(sbs050->wcbBusea->currentText(), QString());
    EXPECT_EQ(sbs050->wcbDeptCode->currentText(), QString());
    EXPECT_TRUE(seen.screen.isNull());
    sbs050->wcbBusea->setCurrentIndex(sbs050->wcbBusea->findText(QStringLiteral("프론트파트")));
    EXPECT_EQ(preview(*sbs050).params, QStringLiteral("/rp [20240301] [20240331] [프론트파트] []"));
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// A typing mistake in a date is named and keeps the shown result; a range that ends before it
// begins holds nothing. Neither reaches the database.
TEST_F(ListInquiriesTest, BadDatesAreNamedAndLoseNothing) {
    script(R"sql(
INSERT INTO DA030MS
VALUES ('1001', 'R1', '01', '20240305', 'D1001', '900', 'ST', 0);
)sql");
    auto sbs020 = open<TfrmSBS020>();
    auto sbs050 = open<TfrmSBS050>();
    auto srs330 = open<TfrmSRS330>();
    const struct {
        TfrmListInquiry *screen;
        const char *from, *to;
        const char *error; // empty: none
        const char *focus; // the field that has the focus afterwards
    } cases[] = {
        {sbs020.get(), "20240230", "20240331", "입력된 매출일자가 정확하지 않습니다.",
         "med_Event_From_Date"},
        {sbs020.get(), "20240301", "202403", "입력된 매출일자가 정확하지 않습니다.",
         "med_Event_To_Date"},
        {sbs020.get(), "", "20240331", "입력된 매출일자가 정확하지 않습니다.",
         "med_Event_From_Date"},
        {sbs050.get(), "20241301", "20240331", "입력된 입력일자가 정확하지 않습니다.",
         "med_Event_From_Date"},
        {srs330.get(), "2024031", "", "입력된 매출일자가 정확하지 않습니다.",
         "med_Event_From_Date"},
        {sbs020.get(), "20240331", "20240301", "", "med_Event_From_Date"},
    };
    for (const auto &c : cases) {
        TfrmListInquiry &s = *c.screen;
        const std::string what = s.programId().toStdString() + " " + c.from + "~" + c.to;
        // A result on the screen first.
        search(s, QStringLiteral("20240301"),
               s.med_Event_To_Date->isVisible() ? QStringLiteral("20240331") : QString());
        const int shown = s.rgrGrid->rowCountFetched();
        dialogs->clear();
        type(s.med_Event_From_Date, QString::fromUtf8(c.from));
        if (s.med_Event_To_Date->isVisible())
            type(s.med_Event_To_Date, QString::fromUtf8(c.to));
        QTest::mouseClick(s.bbtSearch, Qt::LeftButton);
        if (*c.error) {
            EXPECT_EQ(dialogs->errors(), QStringList({QString::fromUtf8(c.error)})) << what;
            EXPECT_EQ(s.rgrGrid->rowCountFetched(), shown) << what;
            EXPECT_TRUE(s.isResultOpen() || shown == 0) << what;
        } else {
            EXPECT_EQ(dialogs->errors(), QStringList()) << what;
            EXPECT_EQ(s.rgrGrid->rowCountFetched(), 0) << what;
            EXPECT_EQ(s.stbMessage->panelText(1), QStringLiteral("조회할 내용이 없습니다."))
                << what;
        }
        ASSERT_TRUE(s.focusWidget()) << what;
        EXPECT_EQ(s.focusWidget()->objectName(), QLatin1String(c.focus)) << what;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << what;
    }
    EXPECT_EQ(sbs020->med_Event_From_Date->value(), QStringLiteral("20240331"));
    // The preview refuses a wrong date the same way.
    auto sbs040 = open<TfrmSBS040>();
    dialogs->clear();
    type(sbs040->med_Event_To_Date, QStringLiteral("20240231"));
    QTest::mouseClick(sbs040->bbtPreview, Qt::LeftButton);
    EXPECT_EQ(dialogs->errors(), QStringList({"입력된 매출일자가 정확하지 않습니다."}));
}

TEST_F(ListInquiriesTest, FailuresAreReportedAndTheCursorRestored) {
    auto s = open<TfrmSBS020>();
    // A statement the database refuses (a table it does not have).
    script("DROP TABLE CA010MS;");
    search(*s, QStringLiteral("20240301"), QStringLiteral("20240331"));
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(dialogs->errors().at(0).startsWith(QStringLiteral("오류가 발생되었습니다.\r\r")));
    EXPECT_GT(dialogs->errors().at(0).size(), QStringLiteral("오류가 발생되었습니다.\r\r").size());
    EXPECT_FALSE(s->isResultOpen());
    EXPECT_EQ(s->rgrGrid->rowCountFetched(), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // No statement at all.
    dialogs->clear();
    s->qryQuery->setSql(QString());
    QTest::mouseClick(s->bbtSearch, Qt::LeftButton);
    EXPECT_EQ(dialogs->errors(), QStringList({"그리드용 조회쿼리가 없습니다."}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

} // namespace
