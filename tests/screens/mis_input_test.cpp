#include "common/globals.h"
#include "common/silentstop.h"
#include "database/schema.h"
#include "db/query.h"
#include "db/serverobjects.h"
#include "framework/lookupdialogs.h"
#include "screens/mis/sri010_main_information.h"
#include "screens/mis/sri020_accounting.h"
#include "screens/mis/sri030_room_counts.h"
#include "screens/mis/sri040_sales_summary.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

// A click as the user makes it: through the application's event handling.
void press(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

// A database as the project makes them, opened as the program does.
class MisTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalValues{};
        Globals().empNo = QStringLiteral("20000001");
        Globals().clientIP = QStringLiteral("10.1.2.3");
    }
    QString value(const QString &sql) {
        db::Query q(connection);
        q.setSql(sql);
        q.open();
        return q.eof() ? QStringLiteral("<none>") : q.text(0);
    }
    template <typename Screen> void show(Screen &s, const char *date) {
        s.resize(1016, 700);
        s.show();
        s.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&s));
        s.dedSaleDate->setYmd(QLatin1String(date));
        press(s.bbtSearch);
    }
    // Types into a cell as a user does: the editor opens on the first key.
    static void type(controls::Grid *grid, int row, int column, const QString &text) {
        ASSERT_TRUE(grid->setCurrentCell(row, column));
        if (!grid->openEditor())
            grid->edit(grid->model()->index(row, column));
        if (auto *editor = qobject_cast<QLineEdit *>(grid->openEditor())) {
            editor->selectAll();
            QTest::keyClicks(editor, text);
            if (text.isEmpty())
                QTest::keyClick(editor, Qt::Key_Delete);
            grid->postEdit();
        } else {
            grid->setValue(row, column, text); // the cell as the editor would leave it
        }
        ASSERT_EQ(grid->text(row, column), text);
    }
    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
};

TEST_F(MisTest, MainInformationListsTheMonthWithTheDateCurrentAndYellowTens) {
    TfrmSRI010 screen(connection);
    show(screen, "20040407");
    EXPECT_EQ(screen.rgrGrid->rowCountFetched(), 30);
    EXPECT_EQ(screen.rgrGrid->currentRow(), 6);
    EXPECT_EQ(screen.rgrGrid->currentColumn(), 1);
    EXPECT_EQ(screen.rgrGrid->gridModel()->displayText(0, 0), QStringLiteral("2004-04-01"));
    QStringList yellow;
    const QImage picture = screen.rgrGrid->viewport()->grab().toImage();
    for (int r = 0; r < 30; ++r) {
        const QRect cell = screen.rgrGrid->visualRect(screen.rgrGrid->model()->index(r, 1));
        if (cell.isValid() &&
            picture.pixelColor(cell.left() + 3, cell.center().y()) == QColor(255, 255, 0))
            yellow << QString::number(r + 1);
    }
    // The days on screen whose tens digit is odd.
    for (const QString &day : yellow)
        EXPECT_TRUE((day.toInt() >= 10 && day.toInt() <= 19) || day.toInt() == 30)
            << day.toStdString();
    EXPECT_TRUE(yellow.contains(QStringLiteral("10")));
    EXPECT_FALSE(yellow.contains(QStringLiteral("9")));
}

TEST_F(MisTest, WeatherCodesAreCheckedAndSavedAsTyped) {
    TfrmSRI010 screen(connection);
    show(screen, "20040407");
    type(screen.rgrGrid, 6, 1, QStringLiteral("99")); // a code without a weather text
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors(), QStringList{QStringLiteral("날씨코드이(가) 정확하지 않습니다.")});
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA010MS")), QStringLiteral("0"));

    type(screen.rgrGrid, 6, 1, QStringLiteral("04"));
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors().size(), 1);
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT WEATHER || '/' || U_EMP_NO || '/' || U_IP FROM SA010MS WHERE SALE_DATE = "
                  "'20040407'")),
              QStringLiteral("04/20000001/10.1.2.3"));
    // After the save the rows come again from the database.
    EXPECT_EQ(screen.rgrGrid->text(6, 2), QStringLiteral("Rainy"));
    EXPECT_EQ(screen.rgrGrid->rowStatus(6), controls::RowStatus::Unchanged);
    EXPECT_TRUE(screen.changeLog().empty());
    // The cursor stands on the chosen day's weather again: the next key goes into that day.
    EXPECT_EQ(screen.rgrGrid->currentRow(), 6);
    EXPECT_EQ(screen.rgrGrid->currentColumn(), 1);

    // An empty code is saved as empty.
    type(screen.rgrGrid, 6, 1, QString());
    press(screen.bbtSave);
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT NVL(WEATHER, 'empty') FROM SA010MS WHERE SALE_DATE = '20040407'")),
              QStringLiteral("empty"));
}

TEST_F(MisTest, RoomCountsComputeAvailableAndRefuseNegatives) {
    TfrmSRI030 screen(connection);
    show(screen, "20040407");
    ASSERT_EQ(screen.rgrGrid->rowCountFetched(), 30);
    type(screen.rgrGrid, 6, 1, QStringLiteral("120"));
    type(screen.rgrGrid, 6, 2, QStringLiteral("3"));
    type(screen.rgrGrid, 6, 3, QStringLiteral("2"));
    EXPECT_EQ(screen.rgrGrid->text(6, 4), QStringLiteral("115")); // as soon as the cell is left

    type(screen.rgrGrid, 6, 2, QStringLiteral("-1"));
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors().last(),
              QStringLiteral("OOO이(가) 0보다 작은 값이 입력되었습니다."));

    type(screen.rgrGrid, 6, 1, QStringLiteral("2"));
    type(screen.rgrGrid, 6, 2, QStringLiteral("3"));
    type(screen.rgrGrid, 6, 3, QStringLiteral("0"));
    EXPECT_EQ(screen.rgrGrid->text(6, 4), QStringLiteral("-1"));
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors().last(),
              QStringLiteral("AVL이(가) 0보다 작은 값이 입력되었습니다."));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA020MS")), QStringLiteral("0"));

    type(screen.rgrGrid, 6, 1, QStringLiteral("120"));
    press(screen.bbtSave);
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT GROUP_CONCAT(UPJANG_CODE || ':' || TO_CHAR(TOTAL_RMS) || '-' || "
                  "TO_CHAR(OOO_RMS) || '=' || TO_CHAR(AVAILABLE_RMS), ' ') FROM (SELECT * FROM "
                  "SA020MS WHERE SALE_DATE = '20040407' ORDER BY UPJANG_CODE)")),
              QStringLiteral("1001:120-3=117 1002:0-0=0 1003:0-0=0"));
}

TEST_F(MisTest, SalesSummaryTotalsNegativeNetAndInputMethods) {
    TfrmSRI040 screen(connection);
    show(screen, "20040407");
    const int rows = screen.rgrGrid->rowCountFetched();
    EXPECT_GT(rows, 30); // every outlet-division pair of the date
    // NET 100,000, VAT 10,000, SVC 10,000, ETC 0: revenue 120,000.
    type(screen.rgrGrid, 0, 13, QStringLiteral("100000"));
    type(screen.rgrGrid, 0, 14, QStringLiteral("10000"));
    type(screen.rgrGrid, 0, 15, QStringLiteral("10000"));
    EXPECT_EQ(screen.rgrGrid->gridModel()->displayText(0, 12), QStringLiteral("120,000"));
    type(screen.rgrGrid, 1, 13, QStringLiteral("-5000")); // negative NET is accepted
    press(screen.bbtSave);
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    const QString outlet = screen.rgrGrid->text(0, 1);
    EXPECT_EQ(value(QStringLiteral(
                        "SELECT TO_CHAR(SALE_AMT) || '/' || TO_CHAR(NET_AMT) FROM SA030MS WHERE "
                        "SALE_DATE = '20040407' AND UPJANG_CODE = '%1' ORDER BY DIVISION")
                        .arg(outlet)),
              QStringLiteral("120000/100000"));
    EXPECT_EQ(value(QStringLiteral("SELECT MIN(NET_AMT) FROM SA030MS")), QStringLiteral("-5000"));

    // By outlet: the first entry searches nothing.
    press(screen.bbtCancel);
    press(screen.rbtPerUpjang);
    EXPECT_TRUE(screen.cboUpjang->isVisible());
    EXPECT_THROW(screen.bbtSearchClick(), SilentStop);
    EXPECT_EQ(dialogs->errors().last(), QStringLiteral("영업장을 선택하여 주십시요."));
    screen.cboUpjang->setValue(QStringLiteral("1001"));
    EXPECT_FALSE(screen.wlbMisUpjangGubun1->text().isEmpty());
    press(screen.bbtSearch);
    EXPECT_EQ(screen.rgrGrid->rowCountFetched(), 30 * 2); // April for its two divisions
    // Back to by date: the list hides and every outlet of the date comes again.
    press(screen.bbtCancel);
    press(screen.rbtPerDate);
    EXPECT_FALSE(screen.cboUpjang->isVisible());
    press(screen.bbtSearch);
    EXPECT_EQ(screen.rgrGrid->rowCountFetched(), rows);
}

TEST_F(MisTest, AFailedSaveRollsEverythingBackAndARetrySendsEachChangeOnce) {
    // A procedure that refuses the second call of a save.
    db::ServerObjects objects = db::ServerObjects::standard();
    int calls = 0;
    const db::ProcedureDef *real = objects.procedure(QStringLiteral("PR_SA010DT_01"));
    db::ProcedureDef refusing = *real;
    auto body = real->body;
    refusing.body = [&calls, body](db::ProcCall &call) {
        body(call);
        if (++calls == 2)
            call.setOutput(QStringLiteral("AERROR_MSG"),
                           QStringLiteral("두 번째 행을 거부합니다."));
    };
    objects.addProcedure(refusing);
    connection.setServerObjects(objects);

    TfrmSRI020 screen(connection);
    show(screen, "20040407");
    ASSERT_EQ(screen.rgrGrid->rowCountFetched(), 10);
    type(screen.rgrGrid, 0, 4, QStringLiteral("1000"));
    type(screen.rgrGrid, 1, 4, QStringLiteral("2000"));
    screen.rgrGrid->setCurrentCell(2, 4);
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors().last(),
              QStringLiteral("오류가 발생되었습니다.\r\r두 번째 행을 거부합니다."));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA010DT")),
              QStringLiteral("0"));                                // the first is rolled back
    EXPECT_EQ(screen.rgrGrid->text(0, 4), QStringLiteral("1000")); // the rows stay as edited
    EXPECT_EQ(screen.changeLog().size(), 2u);
    // The retry sends the two changes once each.
    calls = 10;
    press(screen.bbtSave);
    EXPECT_EQ(calls, 12);
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT GROUP_CONCAT(TO_CHAR(AMOUNT), ',') FROM (SELECT * FROM SA010DT ORDER BY "
                  "ITEM_CODE)")),
              QStringLiteral("1000,2000"));
    EXPECT_EQ(value(QStringLiteral("SELECT MIN(SALE_DATE) || MIN(U_EMP_NO) FROM SA010DT")),
              QStringLiteral("2004040720000001"));
}

TEST_F(MisTest, ASearchWithoutRowsStaysInSearchMode) {
    TfrmSRI020 screen(connection);
    connection.executeScript(QStringLiteral("DELETE FROM SX020MS"));
    show(screen, "20040407");
    EXPECT_EQ(screen.stbMessage->panelText(1), QStringLiteral("검색된 결과가 없습니다."));
    EXPECT_TRUE(screen.isSearchMode());
}

TEST_F(MisTest, EditingARowTwiceAndPostingTwiceSendsItTwice) {
    TfrmSRI020 screen(connection);
    show(screen, "20040407");
    int sent = 0;
    db::ServerObjects objects = db::ServerObjects::standard();
    db::ProcedureDef counting = *objects.procedure(QStringLiteral("PR_SA010DT_01"));
    auto body = counting.body;
    counting.body = [&sent, body](db::ProcCall &call) {
        ++sent;
        body(call);
    };
    objects.addProcedure(counting);
    connection.setServerObjects(objects);
    type(screen.rgrGrid, 0, 4, QStringLiteral("1"));
    screen.rgrGrid->setCurrentCell(1, 4); // posted
    type(screen.rgrGrid, 0, 4, QStringLiteral("2"));
    screen.rgrGrid->setCurrentCell(1, 4); // posted again
    press(screen.bbtSave);
    EXPECT_EQ(sent, 2);
    EXPECT_EQ(value(QStringLiteral("SELECT TO_CHAR(AMOUNT) FROM SA010DT")), QStringLiteral("2"));
}

} // namespace

namespace {

// The main information screen with Delete shown, as the template offers it.
class DeletingScreen : public TfrmSRI010 {
public:
    using TfrmSRI010::TfrmSRI010;
    void enableDelete() {
        bbtDelete->show();
        bbtDelete->setEnabled(true);
    }
};

TEST_F(MisTest, DeletingAnUnchangedRowSendsStatus3) {
    connection.executeScript(
        QStringLiteral("INSERT INTO SA010MS (SALE_DATE, WEATHER) VALUES ('20040407', '01')"));
    DeletingScreen screen(connection);
    screen.enableDelete();
    show(screen, "20040407");
    screen.rgrGrid->setCurrentCell(6, 1);
    dialogs->answer(true);
    press(screen.bbtDelete);
    EXPECT_EQ(dialogs->questions().last(), QStringLiteral("데이타를 삭제하시겠습니까?"));
    ASSERT_EQ(screen.changeLog().size(), 1u);
    EXPECT_EQ(screen.changeLog().front().status, controls::RowStatus::Deleted);
    press(screen.bbtSave);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA010MS")), QStringLiteral("0"));
}

TEST_F(MisTest, F1OnTheWeatherColumnPicksACode) {
    TfrmSRI010 screen(connection);
    show(screen, "20040407");
    screen.rgrGrid->setCurrentCell(6, 1);
    screen.rgrGrid->postEdit();
    QTimer::singleShot(0, [] {
        auto *lookup = qobject_cast<TfrmSZP900 *>(QApplication::activeModalWidget());
        ASSERT_NE(lookup, nullptr);
        lookup->rgrGrid->setCurrentCell(1, 0); // 02 partly cloudy
        lookup->bbtOK->click();
    });
    QTest::keyClick(screen.rgrGrid, Qt::Key_F1);
    EXPECT_EQ(screen.rgrGrid->text(6, 1), QStringLiteral("02"));
    press(screen.bbtSave);
    EXPECT_EQ(value(QStringLiteral("SELECT WEATHER FROM SA010MS WHERE SALE_DATE = '20040407'")),
              QStringLiteral("02"));
    EXPECT_EQ(screen.rgrGrid->text(6, 2),
              QStringLiteral("Partly Cloudy")); // the weather text after the reload
}

} // namespace

namespace {

TEST_F(MisTest, FnbIndexTotalsCoversAndRevenue) {
    TfrmSRI050 screen(connection);
    show(screen, "20040407");
    EXPECT_EQ(
        screen.rgrGrid->rowCountFetched(),
        value(QStringLiteral("SELECT COUNT(*) * 4 FROM JA010MS WHERE MIS_UPJANG_GUBUN1 = '20'"))
            .toInt());
    type(screen.rgrGrid, 0, 6, QStringLiteral("30"));
    type(screen.rgrGrid, 0, 7, QStringLiteral("12"));
    type(screen.rgrGrid, 0, 9, QStringLiteral("500000"));
    type(screen.rgrGrid, 0, 10, QStringLiteral("80000"));
    EXPECT_EQ(screen.rgrGrid->text(0, 8), QStringLiteral("42"));
    EXPECT_EQ(screen.rgrGrid->gridModel()->displayText(0, 12), QStringLiteral("580,000"));
    press(screen.bbtSave);
    EXPECT_EQ(value(QStringLiteral(
                  "SELECT TO_CHAR(TOTAL_COVER) || '/' || TO_CHAR(TOTAL_REVENUE) FROM SA040MS")),
              QStringLiteral("42/580000"));
}

} // namespace

namespace {

// Values a careless or hostile user types: no crash, no figure silently erased.
TEST_F(MisTest, HugeAndNonNumericFiguresNeitherCrashNorEraseAFigure) {
    TfrmSRI040 screen(connection);
    show(screen, "20040407");
    type(screen.rgrGrid, 0, 11, QStringLiteral("252"));
    press(screen.bbtSave);
    ASSERT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    const QString outlet = screen.rgrGrid->text(0, 1), division = screen.rgrGrid->text(0, 4);
    const QString guests = QStringLiteral("SELECT TO_CHAR(GUESTS) FROM SA030MS WHERE SALE_DATE = "
                                          "'20040407' AND UPJANG_CODE = '%1' AND DIVISION = '%2'")
                               .arg(outlet, division);
    ASSERT_EQ(value(guests), QStringLiteral("252"));

    // 1e80 rooms: the total reads in the scientific form.
    type(screen.rgrGrid, 0, 6, QStringLiteral("1e80"));
    screen.rgrGrid->setCurrentCell(0, 7);
    EXPECT_EQ(screen.rgrGrid->gridModel()->displayText(0, 9), QStringLiteral("1E+80"));
    type(screen.rgrGrid, 0, 6, QStringLiteral("0"));

    for (const char *notANumber : {"inf", "nan"}) {
        type(screen.rgrGrid, 0, 11, QLatin1String(notANumber));
        press(screen.bbtSave);
        EXPECT_EQ(dialogs->errors().last(),
                  QStringLiteral("오류가 발생되었습니다.\r\rAGUESTS의 값 '%1'은(는) 숫자가 "
                                 "아닙니다.")
                      .arg(QLatin1String(notANumber)));
        EXPECT_EQ(value(guests), QStringLiteral("252"));
    }
}

// A stored H/U of 12345 in a column that takes 4 characters: clicking into its cell shows it
// whole, and clicking out, saving and closing leave it as it is.
TEST_F(MisTest, AStoredValueLongerThanTheInputLengthIsNeverCut) {
    auto *screen = new TfrmSRI040(connection);
    QPointer<TfrmSRI040> alive(screen);
    show(*screen, "20040407");
    controls::Grid *grid = screen->rgrGrid;
    connection.executeScript(
        QStringLiteral("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, HU_RMS, COMP_RMS, "
                       "ETC_RMS, TOTAL_RMS) VALUES ('20040407', '%1', '%2', 12345, 73, 0, 12418)")
            .arg(grid->text(0, 1), grid->text(0, 4)));
    press(screen->bbtCancel);
    press(screen->bbtSearch);
    auto click = [grid](int column) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(0, column)).center());
    };
    for (int round = 0; round < 2; ++round) { // before and after a save
        SCOPED_TRACE(round);
        click(7);
        click(6);
        auto *editor = qobject_cast<QLineEdit *>(grid->openEditor());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), QStringLiteral("12345"));
        click(7);
        EXPECT_EQ(grid->text(0, 6), QStringLiteral("12345"));
        EXPECT_EQ(grid->gridModel()->displayText(0, 9), QStringLiteral("12,418"));
        EXPECT_EQ(grid->rowStatus(0), controls::RowStatus::Unchanged);
        if (round == 0)
            press(screen->bbtSave);
    }
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT TO_CHAR(HU_RMS) || '/' || TO_CHAR(TOTAL_RMS) FROM "
                                   "SA030MS")),
              QStringLiteral("12345/12418"));
    // Nothing was changed: F12 closes without asking.
    QTest::keyClick(screen, Qt::Key_F12);
    EXPECT_TRUE(dialogs->questions().isEmpty()) << dialogs->questions().join(u'|').toStdString();
    QTRY_VERIFY(alive.isNull());
}

// NET, VAT and SVC whose sum passes the range of a figure: the total the user cannot edit is
// said once to be out of range, and nothing is saved.
TEST_F(MisTest, ATotalOutOfRangeIsSaidOnceAndNothingIsSaved) {
    TfrmSRI040 screen(connection);
    show(screen, "20040407");
    for (int column : {13, 14, 15})
        type(screen.rgrGrid, 0, column, QStringLiteral("1e308"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2); // saving from the cell
    EXPECT_EQ(dialogs->errors(),
              QStringList{QStringLiteral("TTL이(가) 허용 범위를 벗어났습니다.")});
    press(screen.bbtSave); // and from the button
    EXPECT_EQ(dialogs->errors().size(), 2);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA030MS")), QStringLiteral("0"));
}

// A refused entry, corrected, saves: the correction replaces what was refused.
TEST_F(MisTest, ACorrectedValueSavesAfterARefusal) {
    TfrmSRI030 screen(connection);
    show(screen, "20040407");
    type(screen.rgrGrid, 6, 2, QStringLiteral("ab"));
    press(screen.bbtSave);
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(dialogs->errors().last().contains(QStringLiteral("'ab'")))
        << dialogs->errors().last().toStdString();
    // Saving again without a correction is refused again.
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors().size(), 2);
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA020MS")), QStringLiteral("0"));

    type(screen.rgrGrid, 6, 1, QStringLiteral("10"));
    type(screen.rgrGrid, 6, 2, QStringLiteral("1"));
    ASSERT_EQ(screen.changeLog().size(), 1u); // the corrected row in place of the refused one
    press(screen.bbtSave);
    EXPECT_EQ(dialogs->errors().size(), 2) << dialogs->errors().last().toStdString();
    EXPECT_EQ(value(QStringLiteral("SELECT TO_CHAR(OOO_RMS) FROM SA020MS WHERE SALE_DATE = "
                                   "'20040407' AND UPJANG_CODE = '1001'")),
              QStringLiteral("1"));
}

// Closing with unsaved entries asks first; No keeps the screen and its entries.
TEST_F(MisTest, ClosingWithUnsavedEntriesAsksFirst) {
    auto *screen = new TfrmSRI010(connection);
    QPointer<TfrmSRI010> alive(screen);
    show(*screen, "20040407");
    screen->rgrGrid->setCurrentCell(6, 1);
    if (!screen->rgrGrid->openEditor())
        screen->rgrGrid->edit(screen->rgrGrid->model()->index(6, 1));
    auto *editor = qobject_cast<QLineEdit *>(screen->rgrGrid->openEditor());
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("04"));
    QTest::keyClick(editor, Qt::Key_Return);

    dialogs->answer(false);
    QTest::keyClick(screen, Qt::Key_F12);
    ASSERT_EQ(dialogs->questions().size(), 1);
    EXPECT_EQ(dialogs->questions().last(),
              QStringLiteral("저장되지 않은 변경 내용이 있습니다. 저장하지 않고 닫으시겠습니까?"));
    QCoreApplication::processEvents();
    ASSERT_TRUE(alive);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->rgrGrid->text(6, 1), QStringLiteral("04"));

    // Saved, it closes without a question.
    press(screen->bbtSave);
    ASSERT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    press(screen->bbtClose);
    EXPECT_EQ(dialogs->questions().size(), 1);
    QTRY_VERIFY(alive.isNull());
}

TEST_F(MisTest, ClosingWithUnsavedEntriesClosesOnYes) {
    auto *screen = new TfrmSRI030(connection);
    QPointer<TfrmSRI030> alive(screen);
    show(*screen, "20040407");
    type(screen->rgrGrid, 6, 1, QStringLiteral("120"));
    dialogs->answer(true);
    press(screen->bbtClose);
    EXPECT_EQ(dialogs->questions().size(), 1);
    QTRY_VERIFY(alive.isNull());
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA020MS")), QStringLiteral("0"));
}

TEST_F(MisTest, ADateTheCalendarLacksIsRefusedBeforeTheSearch) {
    TfrmSRI010 screen(connection);
    show(screen, "20040230");
    EXPECT_EQ(dialogs->errors(),
              QStringList{QStringLiteral("입력된 영업일자가 정확하지 않습니다.")});
    EXPECT_TRUE(screen.isSearchMode());
    EXPECT_EQ(screen.rgrGrid->rowCountFetched(), 0);
}

} // namespace
