// Two users on the same figures: a save never overwrites what another user saved since the
// search, and a save that waits on another user's lock gives up with a message.
#include "common/globals.h"
#include "db/query.h"
#include "db/transaction.h"
#include "screens/mis/sri010_main_information.h"
#include "screens/targets/target_input.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

class TwoUsersTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalValues{};
        Globals().empNo = QStringLiteral("20000001");
        Globals().clientIP = QStringLiteral("10.0.0.1");
        other.setParams(connection.params());
        other.open();
    }
    // The other user's statements, committed at once (another client, or psql).
    void otherSaves(const QString &sql) {
        db::Transaction t(other);
        t.begin();
        other.executeScript(sql);
        t.commit();
    }
    QString query(const QString &sql) { return test::QueryText(connection, sql); }
    static void press(QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    // A day's weather as the user enters it: the cursor on the cell, the code set, the row
    // posted when the cursor leaves it or at the save.
    static void type(controls::Grid *grid, int row, const QString &code) {
        ASSERT_TRUE(grid->setCurrentCell(row, 1));
        grid->setValue(row, 1, code);
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    db::Connection other;
    test::ScriptedDialogsScope dialogs;
};

const QString kWeatherRefused =
    QStringLiteral("오류가 발생되었습니다.\r\r다른 사용자가 조회 이후에 이 자료(SALE_DATE "
                   "20040407)를 저장했습니다. 다시 조회하면 바뀐 내용을 볼 수 있습니다.");

// The grid input screens: the second save is refused whole, the first user's weather stays,
// and a new search shows it and saves again.
TEST_F(TwoUsersTest, GridInputRefusesARowAnotherUserSavedSinceTheSearch) {
    TfrmSRI010 screen(connection);
    screen.resize(1016, 700);
    screen.show();
    screen.dedSaleDate->setYmd(QStringLiteral("20040407"));
    press(screen.bbtSearch);
    ASSERT_EQ(screen.rgrGrid->text(6, 0), QStringLiteral("20040407"));

    otherSaves(QStringLiteral(R"sql(
INSERT INTO SA010MS (SALE_DATE, WEATHER)
VALUES ('20040407', '02')
)sql"));
    type(screen.rgrGrid, 5, QStringLiteral("01")); // a day nobody else touched
    type(screen.rgrGrid, 6, QStringLiteral("04"));
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors(), QStringList{kWeatherRefused});
    EXPECT_EQ(query(QStringLiteral(R"sql(
SELECT SALE_DATE, WEATHER
FROM SA010MS
ORDER BY SALE_DATE
)sql")),
              QStringLiteral("20040407|02"));
    EXPECT_FALSE(connection.inTransaction());

    // A new search shows the other user's weather; the change then saves.
    dialogs->clear();
    press(screen.bbtCancel);
    press(screen.bbtSearch);
    EXPECT_EQ(screen.rgrGrid->text(6, 1), QStringLiteral("02"));
    type(screen.rgrGrid, 6, QStringLiteral("04"));
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors(), QStringList());
    EXPECT_EQ(query(QStringLiteral("SELECT WEATHER FROM SA010MS WHERE SALE_DATE = '20040407'")),
              QStringLiteral("04"));
}

// The editable grids: the same for a target another user changed, and a row changed twice by
// the same user in two saves is no conflict.
TEST_F(TwoUsersTest, EditableGridRefusesARowAnotherUserSavedSinceTheSearch) {
    schemaDb.exec(QStringLiteral(R"sql(
INSERT INTO JA010MS (UPJANG_CODE, UPJANG_NAME)
VALUES ('1101', '베로호텔 객실');
INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT)
VALUES ('20240301', '1101', '11', 10, 1000);
INSERT INTO JH040MS (SALE_DATE, UPJANG_CODE, DIVISION, GUESTS, SALE_AMT)
VALUES ('20240302', '1101', '11', 20, 2000)
)sql"));
    TfrmSTI010 screen(connection);
    screen.resize(1028, 600);
    screen.show();
    screen.mdtWorkDate->setValue(QStringLiteral("202403"));
    screen.edt_Upjang_No->setText(QStringLiteral("1101"));
    press(screen.bbtSearch);
    ASSERT_EQ(screen.rgrGrid->rowCountFetched(), 2);

    // Saved twice by this user: the second save is checked against the first.
    for (const char *guests : {"11", "12"}) {
        screen.rgrGrid->setCurrentCell(1, 3);
        screen.rgrGrid->setValue(1, 3, QLatin1String(guests));
        dialogs->answer(true); // "저장 하시겠습니까?"
        press(screen.bbtSave);
    }
    EXPECT_EQ(dialogs->errors(), QStringList());
    EXPECT_EQ(query(QStringLiteral("SELECT GUESTS FROM JH040MS WHERE SALE_DATE = '20240302'")),
              QStringLiteral("12"));

    otherSaves(QStringLiteral(R"sql(
UPDATE JH040MS
SET SALE_AMT = 1500
WHERE SALE_DATE = '20240301'
)sql"));
    screen.rgrGrid->setCurrentCell(0, 3);
    screen.rgrGrid->setValue(0, 3, QStringLiteral("99"));
    dialogs->answer(true);
    press(screen.bbtSave); // the save's error box, then the general error handling's
    ASSERT_FALSE(dialogs->errors().isEmpty());
    EXPECT_TRUE(dialogs->errors().first().contains(
        QStringLiteral("다른 사용자가 조회 이후에 이 자료(SALE_DATE 20240301, UPJANG_CODE 1101, "
                       "DIVISION 11)를 저장했습니다.")))
        << dialogs->errors().first().toStdString();
    EXPECT_EQ(query(QStringLiteral("SELECT GUESTS, SALE_AMT FROM JH040MS WHERE SALE_DATE = "
                                   "'20240301'")),
              QStringLiteral("10|1500"));
}

// Another user's save that is not finished holds the row: the save waits the connection's
// lock time (10 s by default, shortened here), then says so and keeps nothing.
TEST_F(TwoUsersTest, ASaveWaitingOnAnotherUsersLockGivesUpWithAMessage) {
    connection.close();
    connection.setParam(QStringLiteral("LOCK_TIMEOUT"), QStringLiteral("300"));
    connection.open();
    schemaDb.exec(QStringLiteral(R"sql(
INSERT INTO SA010MS (SALE_DATE, WEATHER)
VALUES ('20040407', '02')
)sql"));
    TfrmSRI010 screen(connection);
    screen.resize(1016, 700);
    screen.show();
    screen.dedSaleDate->setYmd(QStringLiteral("20040407"));
    press(screen.bbtSearch);

    db::Transaction holding(other);
    holding.begin();
    other.executeScript(QStringLiteral(R"sql(
UPDATE SA010MS
SET WEATHER = '03'
WHERE SALE_DATE = '20040407'
)sql"));
    type(screen.rgrGrid, 6, QStringLiteral("04"));
    press(screen.bbtSave);
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(dialogs->errors().first().contains(
        QStringLiteral("다른 사용자가 데이터베이스를 사용 중입니다. 잠시 후 다시 시도하십시오.")))
        << dialogs->errors().first().toStdString();
    EXPECT_FALSE(connection.inTransaction());
    holding.rollback();
    EXPECT_EQ(query(QStringLiteral("SELECT WEATHER FROM SA010MS WHERE SALE_DATE = '20040407'")),
              QStringLiteral("02"));
}

// A save on a connection that was closed opens it first; when it cannot, the user reads why
// the database cannot be reached, not that the save failed, and nothing is lost on screen.
TEST_F(TwoUsersTest, ASaveOnAClosedConnectionThatCannotOpenSaysWhy) {
    TfrmSRI010 screen(connection);
    screen.resize(1016, 700);
    screen.show();
    screen.dedSaleDate->setYmd(QStringLiteral("20040407"));
    press(screen.bbtSearch);
    type(screen.rgrGrid, 6, QStringLiteral("04"));
    connection.close();
    const QString alias = connection.param(QStringLiteral("DATABASE"));
    connection.setParam(QStringLiteral("DATABASE"), QStringLiteral("NO_SUCH_ALIAS"));
    press(screen.bbtSave);
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(dialogs->errors().first().startsWith(
        QStringLiteral("데이터베이스와 연결할 수 없습니다.\r\r에러내용:\r")))
        << dialogs->errors().first().toStdString();
    EXPECT_EQ(screen.rgrGrid->text(6, 1), QStringLiteral("04"));

    // Reachable again, the same save goes through.
    connection.setParam(QStringLiteral("DATABASE"), alias);
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors().size(), 1);
    EXPECT_EQ(query(QStringLiteral("SELECT WEATHER FROM SA010MS WHERE SALE_DATE = '20040407'")),
              QStringLiteral("04"));
}

} // namespace
