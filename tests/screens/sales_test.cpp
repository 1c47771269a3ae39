#include "common/globals.h"
#include "common/silentstop.h"
#include "database/schema.h"
#include "db/query.h"
#include "screens/sales/sales_inquiries.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

// A small database whose figures are known by construction.
class SalesTest : public ::testing::Test {
protected:
    void SetUp() override {
        connection.executeScript(QStringLiteral(
            // Division 1 (condo): 1000 + tip 100 today, 500 earlier this month; last year the same
            // day 800.
            "INSERT INTO KF060MS VALUES ('20040407', '1', '11', '111', 1000, 100);"
            "INSERT INTO KF060MS VALUES ('20040402', '1', '11', '111', 500, NULL);"
            "INSERT INTO KF060MS VALUES ('20030407', '1', '11', '111', 800, 0);"
            "INSERT INTO KF060MS VALUES ('20030403', '1', '11', '111', 200, 0);"
            // Division 2 (hotel): sales this year only: the growth on a zero base is 0.
            "INSERT INTO KF060MS VALUES ('20040407', '2', '21', '211', 300, 0);"
            // 29 February 2004 and the days of February 2003.
            "INSERT INTO KF060MS VALUES ('20040229', '1', '11', '111', 10, 0);"
            "INSERT INTO KF060MS VALUES ('20030228', '1', '11', '111', 7, 0);"
            "INSERT INTO KF060MS VALUES ('20030201', '1', '11', '111', 3, 0);"));
    }
    template <typename Screen> void search(Screen &s, const char *date) {
        s.dedSaleDate->setYmd(QLatin1String(date));
        QTest::mouseClick(s.bbtSearch, Qt::LeftButton);
    }
    QStringList row(const controls::Grid *grid, int r) {
        QStringList out;
        for (int c = 0; c < int(grid->columns().size()); ++c)
            out << grid->gridModel()->text(r, c);
        return out;
    }
    QStringList footer(const controls::Grid *grid) {
        QStringList out;
        for (int c = 0; c < int(grid->columns().size()); ++c)
            out << grid->footerText(c);
        return out;
    }
    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
};

TEST_F(SalesTest, SalesByDivisionAgainstLastYear) {
    TfrmSAS010 screen(connection);
    screen.show();
    search(screen, "20040407");
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    ASSERT_EQ(screen.rgrGrid->rowCountFetched(),
              7); // every division, with zeros where nothing sold
    EXPECT_EQ(row(screen.rgrGrid, 0),
              (QStringList{"1", "콘도사업부", "1100", "800", "137.5", "1600", "1000", "160"}));
    EXPECT_EQ(row(screen.rgrGrid, 1),
              (QStringList{"2", "호텔사업부", "300", "0", "0", "300", "0", "0"}));
    EXPECT_EQ(row(screen.rgrGrid, 2),
              (QStringList{"3", "골프사업부", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(footer(screen.rgrGrid),
              (QStringList{"", "", "1,400", "800", "175", "1,900", "1,000", "190"}));
}

TEST_F(SalesTest, TheTwentyNinthOfFebruaryHasNoSameDayLastYear) {
    TfrmSAS010 screen(connection);
    screen.show();
    search(screen, "20040229");
    // The same day last year (29 February 2003) matches nothing; its month covers 1 to 28 February.
    EXPECT_EQ(row(screen.rgrGrid, 0),
              (QStringList{"1", "콘도사업부", "10", "0", "0", "10", "10", "100"}));
}

TEST_F(SalesTest, HubHoldsTheSevenViewsInOrder) {
    TfrmSAS000 hub(connection);
    EXPECT_EQ(hub.subScreenCount(), 7);
    EXPECT_EQ(hub.rgrMenu->text(3, 1), QStringLiteral("가족호텔 객실판매현황"));
    EXPECT_EQ(qobject_cast<TfrmSAS030 *>(hub.subScreen(4))->upjangCode(), QStringLiteral("1003"));
    EXPECT_EQ(hub.lblNetSvc->text(), QStringLiteral("** NET + SVC"));
}

} // namespace

namespace {

class SalesDetailTest : public SalesTest {
protected:
    void SetUp() override {
        SalesTest::SetUp();
        connection.executeScript(QStringLiteral(
            // Items: a hotel room charge (D3/1), the sauna's entry (menu group 20), golf green fees
            // (group 01).
            "INSERT INTO JB010MS (UPJANG_CODE, MENU_CODE, MENU_NAME, MENU_SHORT_NAME, MENU_ITEM1, "
            "MENU_ITEM2, "
            "MENU_GUBUN_CODE, DATE_FROM, DATE_TO) VALUES "
            "('1002', 'D1001', '객실료', '객실', 'D3', '1', '30', '20000101', '99991231'),"
            "('1003', 'D1001', '객실료', '객실', 'D3', '1', '30', '20000101', '99991231'),"
            "('4053', 'L1001', '입장료', '입장', 'L1', '1', '20', '20000101', '99991231'),"
            "('2001', 'G0101', '그린피', '그린피', 'G1', '1', '01', '20000101', '99991231');"
            "INSERT INTO IA010MS (SALE_DATE, UPJANG_CODE, BILL_NO, SEQ_NO, MENU_CODE, MENU_ITEM1, "
            "MENU_ITEM2, "
            "SALE_QTY, NET_AMT, TIP_AMT) VALUES "
            "('20040407', '1002', 'B1', 1, 'D1001', 'D3', '1', 10, 1000000, 100000),"
            "('20040407', '1003', 'B2', 1, 'D1001', 'D3', '1', 5, 400000, NULL),"
            "('20040407', '4053', 'B3', 1, 'L1001', 'L1', '1', 20, 300000, 0),"
            "('20040407', '2001', 'B4', 1, 'G0101', 'G1', '1', 8, 1600000, 0),"
            "('20040407', '2002', 'B5', 1, 'F1001', 'F1', '1', 3, 90000, 0);"
            // Stays: two first lines and one follow-up night that does not count again.
            "INSERT INTO DC020MS (UPJANG_CODE, RSV_NO, MANAGE_NO, TASK_DATE, SEQ_NO, MENU_CODE, "
            "GUEST_TYPE, NET_AMT, "
            "SVC_AMT, FIRST_UPJANG_CODE, FIRST_RSV_NO, FIRST_MANAGE_NO, FIRST_TASK_DATE, "
            "FIRST_SEQ_NO) VALUES "
            "('1002', 'R1', '01', '20040407', 1, 'D1001', '100', 100000, 10000, '1002', 'R1', "
            "'01', '20040407', 1),"
            "('1002', 'R2', '01', '20040406', 1, 'D1001', '200', 80000, 8000, '1002', 'R2', '01', "
            "'20040406', 1),"
            "('1002', 'R2', '01', '20040407', 1, 'D1001', '200', 80000, 8000, '1002', 'R2', '01', "
            "'20040406', 1);"
            // Rooms: 100 sellable today, 40 sold (5 of them house use, not counted).
            "INSERT INTO DE020MS VALUES ('1001', '20040407', 'ST', 105, 3, 2);"
            "INSERT INTO DE030MS VALUES ('1001', '20040407', 'ST', '100', 40, 70, 4000000, 400000);"
            "INSERT INTO DE030MS VALUES ('1001', '20040407', 'ST', '900', 5, 5, 0, 0);"
            // Targets of division 1: its outlets' whole month.
            "INSERT INTO JH010MS VALUES ('20040415', '1002', '10', 3000, 0, 0);"));
    }
};

int rowOf(const controls::Grid *grid, int column, const QString &value) {
    for (int r = 0; r < grid->rowCountFetched(); ++r)
        if (grid->gridModel()->text(r, column) == value)
            return r;
    return -1;
}

TEST_F(SalesDetailTest, HotelItemsWithTheSaunaUnder4053) {
    TfrmSAH010 dialog(connection, QStringLiteral("1002"), QStringLiteral("20040407"));
    dialog.show();
    QTest::mouseClick(dialog.bbtSearch, Qt::LeftButton);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("가족호텔"));
    ASSERT_EQ(dialog.rgrGrid->rowCountFetched(), 3);
    EXPECT_EQ(row(dialog.rgrGrid, 0), (QStringList{"1002", "가족호텔", "D1001", "객실", "10",
                                                   "1100000", "0", "10", "1100000", "0"}));
    EXPECT_EQ(row(dialog.rgrGrid, 2), (QStringList{"4053", "사우나", "20", "입장료", "20", "300000",
                                                   "0", "20", "300000", "0"}));
    EXPECT_EQ(dialog.rgrGrid->footerText(5),
              QStringLiteral("1,800,000")); // 1002, 1003 and the sauna
}

TEST_F(SalesDetailTest, GuestTypeGroupsCountFirstLinesOnly) {
    TfrmSAH020 dialog(connection, QStringLiteral("1002"), QStringLiteral("20040407"));
    dialog.show();
    QTest::mouseClick(dialog.bbtSearch, Qt::LeftButton);
    EXPECT_EQ(dialog.rgrGrid->rowCountFetched(), 5); // every group of S0012
    const int general = rowOf(dialog.rgrGrid, 0, QStringLiteral("1"));
    const int members = rowOf(dialog.rgrGrid, 0, QStringLiteral("2"));
    EXPECT_EQ(row(dialog.rgrGrid, general).mid(2),
              (QStringList{"1", "110000", "0", "1", "110000", "0"}));
    // The member's stay began the day before: the month counts it once, today not at all.
    EXPECT_EQ(row(dialog.rgrGrid, members).mid(2), (QStringList{"0", "0", "0", "1", "88000", "0"}));
}

// Enter in the business date searches on every view, the golf page's included.
TEST_F(SalesDetailTest, EnterInTheBusinessDateSearches) {
    TfrmSAS000 hub(connection);
    hub.show();
    for (int i : {0, 5}) {
        auto *view = qobject_cast<TfrmSZS010 *>(hub.subScreen(i));
        ASSERT_NE(view, nullptr) << i;
        view->dedSaleDate->setYmd(QStringLiteral("20040407"));
        QTest::keyClick(view->dedSaleDate, Qt::Key_Return);
        EXPECT_GT(view->rgrGrid->rowCountFetched(), 0) << view->objectName().toStdString();
    }
}

// Ctrl+F11 in the hub saves the grid of the page in front, wherever the focus is in the hub.
TEST_F(SalesDetailTest, CtrlF11InTheHubSavesThePageInFront) {
    QTemporaryDir dir;
    TfrmSAS000 hub(connection);
    hub.resize(1200, 700);
    hub.show();
    hub.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&hub));
    for (int i : {0, 5}) {
        hub.ShowSubScreen(i);
        auto *view = qobject_cast<TfrmSZS010 *>(hub.subScreen(i));
        ASSERT_NE(view, nullptr) << i;
        view->dedSaleDate->setYmd(QStringLiteral("20040407"));
        QTest::keyClick(view->dedSaleDate, Qt::Key_Return);
        ASSERT_GT(view->rgrGrid->rowCountFetched(), 0);
        for (QWidget *focus :
             {static_cast<QWidget *>(view->rgrGrid), static_cast<QWidget *>(hub.rgrMenu)}) {
            const QString file =
                dir.filePath(QStringLiteral("p%1_%2.xls").arg(i).arg(focus->objectName()));
            dialogs->answerFile(file);
            dialogs->answer(false); // not opened
            focus->setFocus();
            QTest::keyClick(focus, Qt::Key_F11, Qt::ControlModifier);
            EXPECT_TRUE(QFileInfo::exists(file)) << i << " " << focus->objectName().toStdString();
        }
    }
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    // A page without a result says so where the user reads it: the hub's bar.
    hub.ShowSubScreen(1);
    QTest::keyClick(hub.rgrMenu, Qt::Key_F11, Qt::ControlModifier);
    EXPECT_EQ(hub.stbMessage->panelText(1),
              QStringLiteral("조회 결과가 없습니다. 조회를 먼저 하십시오."));
}

TEST_F(SalesDetailTest, GolfGroupsWithoutSalesShowZeros) {
    TfrmSAS040 screen(connection);
    screen.show();
    search(screen, "20040407");
    const int fees = rowOf(screen.rgrGrid, 0, QStringLiteral("01"));
    const int carts = rowOf(screen.rgrGrid, 0, QStringLiteral("02"));
    ASSERT_GE(fees, 0);
    ASSERT_GE(carts, 0);
    EXPECT_LT(fees, rowOf(screen.rgrGrid, 0, QStringLiteral("2002"))); // shorter codes first
    EXPECT_EQ(row(screen.rgrGrid, fees).mid(2, 2), (QStringList{"8", "1600000"}));
    EXPECT_EQ(row(screen.rgrGrid, carts).mid(2),
              (QStringList{"0", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(screen.rgrGrid->footerText(3), QStringLiteral("1,690,000"));
}

TEST_F(SalesDetailTest, RoomSalesOccupancyAndRate) {
    TfrmSAS030 screen(connection, QStringLiteral("1001"));
    screen.show();
    search(screen, "20040407");
    ASSERT_EQ(screen.rgrGrid->rowCountFetched(), 1);
    // 40 of 100 sellable rooms; revenue with service 4,400,000; 110,000 a room.
    EXPECT_EQ(row(screen.rgrGrid, 0).mid(0, 6),
              (QStringList{"ST", "40", "40", "70", "4400000", "110000"}));
}

TEST_F(SalesDetailTest, TheDivisionTargetLandsOnItsOwnSubDivision) {
    TfrmSAH030 dialog(connection, QStringLiteral("1"), QStringLiteral("20040407"));
    dialog.show();
    QTest::mouseClick(dialog.bbtSearch, Qt::LeftButton);
    const int own = rowOf(dialog.rgrGrid, 0, QStringLiteral("1"));
    const int family = rowOf(dialog.rgrGrid, 0, QStringLiteral("11"));
    ASSERT_GE(own, 0);
    // The month's target 3000 over 30 days, 7 days in: 700.
    EXPECT_EQ(row(dialog.rgrGrid, own).mid(2, 4), (QStringList{"700", "0", "0", "3000"}));
    EXPECT_EQ(row(dialog.rgrGrid, family).mid(3, 1), QStringList{"1600"}); // 1100 + 500 this month
}

} // namespace
