#include "controls/grid.h"
#include "db/rowset.h"
#include "support/scripted_dialogs.h"
#include "support/temp_database.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QToolTip>
#include <functional>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::controls;

namespace {

GridColumn col(const char *field, const char *title, bool readOnly = false) {
    GridColumn c;
    c.field = QLatin1String(field);
    c.title = QString::fromUtf8(title);
    c.readOnly = readOnly;
    c.width = 60;
    return c;
}

// A plain, editable grid: A edit, B read-only, C edit, D hidden, E edit.
class EditGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto hidden = col("D", "D");
        hidden.visible = false;
        grid.setColumns({col("A", "A"), col("B", "B", true), col("C", "C"), hidden, col("E", "E")});
        GridOptions o;
        o.editing = true;
        o.inserting = true;
        o.deleting = true;
        grid.setOptions(o);
        for (int r = 0; r < 3; ++r) {
            const int row = grid.gridModel()->appendRow();
            for (int c = 0; c < 5; ++c)
                grid.setValue(row, c, QStringLiteral("%1%2").arg(QChar(u'a' + c)).arg(r));
        }
        grid.gridModel()->clearStatus();
        grid.resize(500, 300);
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
        grid.setCurrentCell(0, 0);
    }
    // Types into the current cell and presses Enter.
    void type(const QString &text, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClicks(&grid, text);
        QWidget *editor = QApplication::focusWidget();
        QTest::keyClick(editor, Qt::Key_Return, modifiers);
    }
    std::pair<int, int> at() const { return {grid.currentRow(), grid.currentColumn()}; }
    Grid grid;
};

TEST_F(EditGridTest, EnterMovesLikeTabAndSkipsReadOnlyAndHiddenColumnsBothWays) {
    type(QStringLiteral("x"));
    EXPECT_EQ(at(), std::make_pair(0, 2));
    EXPECT_EQ(grid.text(0, 0), QStringLiteral("x"));
    type(QStringLiteral("y"));
    EXPECT_EQ(at(), std::make_pair(0, 4)); // over the hidden column
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(at(), std::make_pair(1, 0)); // on to the next row
    QTest::keyClick(&grid, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(at(), std::make_pair(0, 4));
    QTest::keyClick(&grid, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(at(), std::make_pair(0, 2));
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_EQ(at(), std::make_pair(0, 4));
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(at(), std::make_pair(1, 4));
    EXPECT_EQ(grid.rowStatus(0), RowStatus::Changed);
    EXPECT_EQ(grid.rowStatus(1), RowStatus::Unchanged);
}

TEST_F(EditGridTest, AtTheLastCellEnterAppendsANewRowWhenInsertingIsOn) {
    grid.setCurrentCell(2, 4);
    QTest::keyClick(&grid, Qt::Key_Return);
    EXPECT_EQ(grid.rowCountFetched(), 4);
    EXPECT_EQ(at(), std::make_pair(3, 0));
    EXPECT_EQ(grid.rowStatus(3), RowStatus::New);
}

TEST_F(EditGridTest, ARefusedRowExitKeepsTheCursor) {
    int asked = 0;
    grid.beforeRowExit = [&](int row) {
        ++asked;
        return row != 0;
    };
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(at(), std::make_pair(0, 0));
    EXPECT_FALSE(grid.setCurrentCell(2, 0));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                      grid.visualRect(grid.model()->index(2, 2)).center());
    EXPECT_EQ(grid.currentRow(), 0);
    QTest::keyClick(&grid, Qt::Key_Right); // moving within the row is not leaving it
    EXPECT_EQ(at(), std::make_pair(0, 1));
    EXPECT_EQ(asked, 3);
    grid.beforeRowExit = nullptr;
    EXPECT_TRUE(grid.setCurrentCell(2, 0));
}

TEST_F(EditGridTest, PostingOnceWhenAChangedRowIsLeft) {
    int before = 0;
    std::vector<int> posted;
    grid.beforePost = [&](int) {
        ++before;
        return true;
    };
    QObject::connect(&grid, &Grid::afterPost, [&](int row) { posted.push_back(row); });
    QTest::keyClick(&grid, Qt::Key_Down); // an unchanged row posts nothing
    EXPECT_EQ(before, 0);
    type(QStringLiteral("z"));
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(before, 1);
    EXPECT_EQ(posted, std::vector<int>{1});
    // A post that is refused keeps the row.
    grid.beforePost = [](int) { return false; };
    type(QStringLiteral("w"));
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.currentRow(), 2);
}

// Column A takes 4 characters and holds "12345": the editor shows it whole and leaves it as it
// is; what the user types is held to the 4 characters.
TEST_F(EditGridTest, TheInputLengthHoldsWhatIsTypedNotTheStoredValue) {
    grid.column(0).maxLength = 4;
    const struct {
        const char *what;
        std::function<void(QLineEdit *)> keys;
        const char *stored;
    } cases[] = {
        {"entered and left", [](QLineEdit *) {}, "12345"},
        {"a character more", [](QLineEdit *e) { QTest::keyClicks(e, QStringLiteral("6")); },
         "12345"},
        {"typed over",
         [](QLineEdit *e) {
             e->selectAll();
             QTest::keyClicks(e, QStringLiteral("987654"));
         },
         "9876"},
        {"shortened, then typed",
         [](QLineEdit *e) {
             QTest::keyClick(e, Qt::Key_Backspace);
             QTest::keyClicks(e, QStringLiteral("78"));
         },
         "1234"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        grid.setValue(0, 0, QStringLiteral("12345"));
        grid.gridModel()->clearStatus();
        grid.setCurrentCell(1, 0);
        grid.setCurrentCell(0, 0);
        grid.edit(grid.currentIndex());
        auto *editor = qobject_cast<QLineEdit *>(grid.openEditor());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), QStringLiteral("12345"));
        QTest::keyClick(editor, Qt::Key_End);
        c.keys(editor);
        grid.setCurrentCell(1, 0);
        EXPECT_EQ(grid.text(0, 0), QLatin1String(c.stored));
        EXPECT_EQ(grid.rowStatus(0), QLatin1String(c.stored) == QLatin1String("12345")
                                         ? RowStatus::Unchanged
                                         : RowStatus::Changed);
    }
}

TEST_F(EditGridTest, RowStatusThroughInsertChangeAndDelete) {
    test::ScriptedDialogsScope dialogs;
    grid.setValue(1, 0, QStringLiteral("changed"));
    EXPECT_EQ(grid.rowStatus(1), RowStatus::Changed);
    const int added = grid.appendRow();
    EXPECT_EQ(grid.rowStatus(added), RowStatus::New);
    grid.setValue(added, 0, QStringLiteral("new"));
    EXPECT_EQ(grid.rowStatus(added), RowStatus::New); // a new row stays new
    // Deleting: the new row leaves no trace, the changed one is kept aside.
    grid.setCurrentCell(added, 0);
    EXPECT_TRUE(grid.deleteCurrentRow());
    grid.setCurrentCell(1, 0);
    GridOptions o = grid.options();
    o.confirmDelete = true;
    grid.setOptions(o);
    dialogs->answer(false);
    EXPECT_FALSE(grid.deleteCurrentRow());
    dialogs->answer(true);
    EXPECT_TRUE(grid.deleteCurrentRow());
    EXPECT_EQ(grid.rowCountFetched(), 2);
    ASSERT_EQ(grid.gridModel()->deletedRows().size(), 1u);
    EXPECT_EQ(grid.gridModel()->deletedRows().front().values.front().toString(),
              QStringLiteral("changed"));
    EXPECT_EQ(grid.gridModel()->deletedRows().front().previous, RowStatus::Changed);
    grid.beforeDelete = [](int) { return false; };
    EXPECT_FALSE(grid.deleteCurrentRow());
}

TEST(Grid, ChoiceAndCheckBoxCellsStoreCodesAndValues) {
    Grid grid;
    auto weather = col("WEATHER", "날씨");
    weather.pickTexts = {QStringLiteral("맑음"), QStringLiteral("흐림")};
    weather.pickCodes = {QStringLiteral("01"), QStringLiteral("03")};
    auto report = col("REPORT_CHK", "보고");
    report.checkBox = true;
    grid.setColumns({weather, report});
    grid.gridModel()->appendRow();
    grid.setValue(0, 0, QStringLiteral("03"));
    grid.setValue(0, 1, QStringLiteral("N"));
    grid.resize(300, 200);
    grid.show();
    EXPECT_EQ(grid.gridModel()->displayText(0, 0), QStringLiteral("흐림"));
    grid.setCurrentCell(0, 0);
    grid.edit(grid.model()->index(0, 0));
    auto *box = grid.findChild<QComboBox *>(QStringLiteral("gridEditor"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->currentText(), QStringLiteral("흐림"));
    box->setCurrentIndex(0);
    grid.postEdit();
    EXPECT_EQ(grid.text(0, 0), QStringLiteral("01"));
    // The check box: a click toggles between the column's values.
    const QPoint center = grid.visualRect(grid.model()->index(0, 1)).center();
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, center);
    EXPECT_EQ(grid.text(0, 1), QStringLiteral("Y"));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, center);
    EXPECT_EQ(grid.text(0, 1), QStringLiteral("N"));
}

TEST(Grid, ACheckBoxOfAnotherRowIsToggledOnThatRowWhichIsPostedWhenLeft) {
    Grid grid;
    auto name = col("EVENT_NAME", "행사");
    name.readOnly = true;
    auto report = col("REPORT_CHK", "보고");
    report.checkBox = true;
    grid.setColumns({name, report});
    for (int r = 0; r < 3; ++r) {
        grid.gridModel()->appendRow();
        grid.setValue(r, 1, QStringLiteral("N"));
    }
    grid.gridModel()->clearStatus();
    grid.resize(300, 200);
    grid.show();
    grid.setCurrentCell(0, 0);
    std::vector<int> posted;
    QObject::connect(&grid, &Grid::afterPost, [&](int row) { posted.push_back(row); });
    auto click = [&](int row) {
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {},
                          grid.visualRect(grid.model()->index(row, 1)).center());
    };
    click(2);
    EXPECT_EQ(grid.currentRow(), 2);
    EXPECT_EQ(grid.text(2, 1), QStringLiteral("Y"));
    click(1); // leaving row 2 posts it
    EXPECT_EQ(posted, std::vector<int>{2});
    grid.postEdit();
    EXPECT_EQ(posted, (std::vector<int>{2, 1}));
    // A move the screen refuses toggles nothing.
    grid.beforeRowExit = [](int) { return false; };
    click(0);
    EXPECT_EQ(grid.currentRow(), 1);
    EXPECT_EQ(grid.text(0, 1), QStringLiteral("N"));
}

TEST(Grid, DisplayRulesRepeatBlankFormatsAndMasks) {
    Grid grid;
    auto date = col("SALE_DATE", "영업일자");
    date.repeatBlank = true;
    date.displayMask = QStringLiteral("9999-99-99;0;");
    auto amount = col("NET_AMT", "NET");
    amount.displayFormat = QStringLiteral(",0");
    grid.setColumns({date, amount});
    for (const auto &[d, a] :
         {std::pair{"20040407", 1500.0}, {"20040407", 1234567.0}, {"20040408", 0.5}}) {
        const int row = grid.gridModel()->appendRow();
        grid.setValue(row, 0, QLatin1String(d));
        grid.setValue(row, 1, a);
    }
    GridModel *m = grid.gridModel();
    EXPECT_EQ(m->displayText(0, 0), QStringLiteral("2004-04-07"));
    EXPECT_EQ(m->displayText(1, 0), QString()); // the same as above
    EXPECT_EQ(m->displayText(2, 0), QStringLiteral("2004-04-08"));
    EXPECT_EQ(m->displayText(1, 1), QStringLiteral("1,234,567"));
    EXPECT_EQ(m->displayText(2, 1), QStringLiteral("1"));
    EXPECT_EQ(grid.text(2, 1), QStringLiteral(".5")); // stored as it is
}

// A figure is never drawn cut: its column widens to the widest figure (a bold subtotal and
// the footer included); a column narrowed by hand shows "###" and the value in its tooltip.
TEST(Grid, FiguresWidenTheirColumnAndAreNeverCut) {
    Grid grid;
    auto name = col("NAME", "영업장");
    name.width = 40;
    auto amount = col("NET_AMT", "금액");
    amount.displayFormat = QStringLiteral(",0");
    amount.width = 40;
    grid.setColumns({name, amount});
    GridOptions o;
    o.footerHeight = 22;
    grid.setOptions(o);
    grid.onDrawRow = [](int row, CellStyle &style) { style.font.setBold(row == 1); };
    grid.resize(400, 200);
    grid.show();
    for (const auto &[n, a] : {std::pair{"가든 레스토랑 본점", 9308792.0}, {"소계", 26118000.0}}) {
        const int row = grid.gridModel()->appendRow();
        grid.setValue(row, 0, QString::fromUtf8(n));
        grid.setValue(row, 1, a);
    }
    grid.setFooterText(1, QStringLiteral("35,426,792"));
    QApplication::processEvents();
    EXPECT_EQ(grid.columnWidth(0), 40); // a name is no figure
    for (int row = 0; row < 2; ++row)
        EXPECT_LE(grid.figureWidth(row, 1), grid.columnWidth(1)) << row;
    QFont bold = grid.font();
    bold.setBold(true);
    EXPECT_GT(grid.columnWidth(1),
              QFontMetrics(bold).horizontalAdvance(QStringLiteral("26,118,000")));
    EXPECT_GE(grid.footerCellRect(1).width(),
              grid.footer()->fontMetrics().horizontalAdvance(QStringLiteral("35,426,792")));

    // Narrowed by hand: the cell says it does not fit, the tooltip has the whole figure.
    grid.setColumnWidth(1, 30);
    const QRect cell = grid.visualRect(grid.model()->index(0, 1));
    QHelpEvent help(QEvent::ToolTip, cell.center(), grid.viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(grid.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("9,308,792"));
    QToolTip::hideText();
    const QFontMetrics metrics(grid.font());
    EXPECT_EQ(Grid::fittedText(QStringLiteral("9,308,792"), metrics, 24),
              QString(24 / metrics.horizontalAdvance(u'#'), u'#'));
    EXPECT_EQ(Grid::fittedText(QStringLiteral("9,308,792"), metrics, 200),
              QStringLiteral("9,308,792"));
    EXPECT_EQ(Grid::fittedText(QStringLiteral("가든 레스토랑 본점"), metrics, 10),
              QStringLiteral("가든 레스토랑 본점")); // texts are elided as they always were
}

TEST(Grid, GroupedHeadersAndFooterCellsLineUpWithTheColumns) {
    Grid grid;
    auto code = col("GUBUN", "구분");
    code.width = 50;
    auto day1 = col("D_C_SALE", "금년");
    day1.groups = {QStringLiteral("당일")};
    day1.footer.style = FooterStyle::Down;
    auto day2 = col("D_L_SALE", "전년");
    day2.groups = {QStringLiteral("당일")};
    auto month = col("M_C_SALE", "금년");
    month.groups = {QStringLiteral("월계")};
    month.footer.fontColor = Qt::blue;
    grid.setColumns({code, day1, day2, month});
    GridOptions o;
    o.footerHeight = 24;
    o.headerRowHeight = 20;
    grid.setOptions(o);
    grid.resize(400, 200);
    grid.show();
    QApplication::processEvents();

    EXPECT_EQ(grid.headerLevels(), 2);
    EXPECT_EQ(grid.horizontalHeader()->height(), 40);
    // The band "당일" spans its two columns on the first level.
    EXPECT_EQ(grid.headerCellRect(0, 1), QRect(50, 0, 120, 20));
    EXPECT_EQ(grid.headerCellRect(0, 2), grid.headerCellRect(0, 1));
    EXPECT_EQ(grid.headerCellRect(1, 1), QRect(50, 20, 60, 20));
    EXPECT_EQ(grid.headerCellRect(0, 3), QRect(170, 0, 60, 20));
    // A column without a group has its title across both levels.
    EXPECT_EQ(grid.headerCellRect(0, 0), QRect(0, 0, 50, 40));
    EXPECT_EQ(grid.headerCellRect(1, 0), QRect(0, 0, 50, 40));

    grid.setFooterText(1, QStringLiteral("1,500"));
    EXPECT_EQ(grid.footerText(1), QStringLiteral("1,500"));
    EXPECT_TRUE(grid.footer()->isVisible());
    EXPECT_EQ(grid.footer()->height(), 24);
    EXPECT_EQ(grid.footerCellRect(1).left(), grid.horizontalHeader()->sectionViewportPosition(1));
    EXPECT_EQ(grid.footerCellRect(1).width(), 60);
    EXPECT_EQ(grid.columns()[1].footer.style, FooterStyle::Down);
    // The footer sits below the rows, with the table's width.
    EXPECT_EQ(grid.footer()->geometry().top(), grid.viewport()->geometry().bottom() + 1);
    // Hiding a column moves the band and the footer cells with it.
    grid.setColumnHidden(0, true);
    EXPECT_EQ(grid.headerCellRect(0, 1), QRect(0, 0, 120, 20));
    EXPECT_EQ(grid.footerCellRect(1).left(), 0);
}

TEST(Grid, TitleClickSortsWithASortMark) {
    Grid grid;
    grid.setColumns({col("NAME", "이름"), col("AMT", "금액")});
    GridOptions o;
    o.titleClickSorts = true;
    o.editing = false;
    grid.setOptions(o);
    const std::vector<std::pair<QString, double>> rows = {{"b", 2}, {"c", 10}, {"a", 1}};
    for (const auto &[n, a] : rows) {
        const int r = grid.gridModel()->appendRow();
        grid.setValue(r, 0, n);
        grid.setValue(r, 1, a);
    }
    grid.resize(300, 200);
    grid.show();
    int clicked = -1;
    QObject::connect(&grid, &Grid::titleClicked, [&](int c) { clicked = c; });
    auto clickTitle = [&](int c) {
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(grid.horizontalHeader()->sectionViewportPosition(c) + 10, 5));
    };
    clickTitle(1);
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(grid.text(0, 1), QStringLiteral("1")); // numbers as numbers: 1, 2, 10
    EXPECT_EQ(grid.text(2, 1), QStringLiteral("10"));
    EXPECT_EQ(grid.horizontalHeader()->sortIndicatorSection(), 1);
    clickTitle(1);
    EXPECT_EQ(grid.text(0, 1), QStringLiteral("10"));
    EXPECT_EQ(grid.horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickTitle(0);
    EXPECT_EQ(grid.text(0, 0), QStringLiteral("a"));
}

TEST(Grid, BoundRowsArriveInPacketsOf100) {
    test::TempDatabase database;
    database.exec(QStringLiteral(
        "CREATE TABLE N (I INTEGER, T TEXT);"
        "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C WHERE X < 250) "
        "INSERT INTO N SELECT X, 'row ' || X FROM C;"));
    db::RowSet rows(database.connection());
    rows.query().setSql(QStringLiteral("SELECT I, T FROM N ORDER BY I"));
    rows.open();
    Grid grid;
    grid.setColumns({col("T", "내용"), col("I", "번호")}); // bound by name, in another order
    grid.setRowSet(&rows);
    grid.resize(300, 200);
    grid.show();
    QApplication::processEvents();
    EXPECT_EQ(grid.rowCountFetched(), 100); // only the first packet
    EXPECT_EQ(grid.text(99, 1), QStringLiteral("100"));
    EXPECT_EQ(grid.text(0, 0), QStringLiteral("row 1"));
    grid.scrollToBottom();
    QApplication::processEvents();
    EXPECT_GE(grid.rowCountFetched(), 200);
    grid.gridModel()->fetchAll();
    EXPECT_EQ(grid.rowCountFetched(), 250);
    EXPECT_TRUE(rows.isComplete());
    EXPECT_TRUE(grid.setCurrentCell(249, 0));
    EXPECT_EQ(grid.text(249, 0), QStringLiteral("row 250"));
}

TEST(Grid, DrawingHooksAndEventsReachTheScreen) {
    Grid grid;
    grid.setColumns({col("A", "A"), col("B", "B")});
    for (int r = 0; r < 3; ++r)
        grid.gridModel()->appendRow();
    std::vector<std::tuple<int, int>> drawn;
    grid.onDrawCell = [&](int row, int column, CellStyle &style) {
        drawn.emplace_back(row, column);
        if (row % 2 == 1)
            style.background = QColor(255, 255, 0);
    };
    std::vector<int> entered;
    QObject::connect(&grid, &Grid::rowEnter, [&](int row) { entered.push_back(row); });
    grid.resize(300, 200);
    grid.show();
    grid.setCurrentCell(0, 0);
    grid.setCurrentCell(2, 1);
    QImage picture = grid.viewport()->grab().toImage();
    EXPECT_FALSE(drawn.empty());
    const QRect cell = grid.visualRect(grid.model()->index(1, 0));
    EXPECT_EQ(picture.pixelColor(cell.left() + 2, cell.center().y()), QColor(255, 255, 0));
    EXPECT_EQ(entered, (std::vector<int>{0, 2}));
}

} // namespace

namespace {

TEST(Grid, SecondLineColumnsDrawARecordOnTwoLines) {
    Grid grid;
    auto name = col("EMP_K_NAME", "성명");
    name.secondField = QStringLiteral("EMP_E_NAME");
    name.secondTitle = QStringLiteral("영문명");
    auto amount = col("NET_AMT", "NET");
    amount.secondField = QStringLiteral("VAT_AMT");
    amount.secondTitle = QStringLiteral("VAT");
    amount.secondFormat = QStringLiteral(",0");
    grid.setColumns({name, amount, col("EMP_E_NAME", "hidden"), col("VAT_AMT", "hidden")});
    grid.setColumnHidden(2, true);
    grid.setColumnHidden(3, true);
    GridOptions o;
    o.rowHeight = 20;
    o.headerRowHeight = 20;
    grid.setOptions(o);
    grid.setColumnHidden(2, true);
    grid.setColumnHidden(3, true);
    const int row = grid.gridModel()->appendRow();
    grid.setValue(row, 0, QStringLiteral("홍길동"));
    grid.setValue(row, 2, QStringLiteral("Hong Gildong"));
    grid.setValue(row, 3, 12345.0);
    grid.resize(300, 200);
    grid.show();
    QApplication::processEvents();
    EXPECT_EQ(grid.rowHeight(0), 40); // two lines of 20
    EXPECT_EQ(grid.horizontalHeader()->height(), 40);
    EXPECT_EQ(grid.gridModel()->secondLineText(0, 0), QStringLiteral("Hong Gildong"));
    EXPECT_EQ(grid.gridModel()->secondLineText(0, 1), QStringLiteral("12,345"));
    const QRect cell = grid.visualRect(grid.model()->index(0, 1));
    EXPECT_EQ(grid.secondLineRect(0, 1), QRect(cell.left(), cell.top() + cell.height() / 2,
                                               cell.width(), cell.height() - cell.height() / 2));
    EXPECT_GE(grid.secondLineRect(0, 1).top(), cell.top() + 19);
    EXPECT_EQ(grid.headerCellRect(0, 1),
              QRect(grid.horizontalHeader()->sectionViewportPosition(1), 0, 60, 40));
}

} // namespace
