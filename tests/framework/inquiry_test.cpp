#include "common/silentstop.h"
#include "fixture.h"
#include "framework/inquiry.h"
#include "support/scripted_dialogs.h"
#include "xlsrecords.h"

#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::controls;

namespace {

GridColumn col(const char *field, const char *title, bool right = false, bool total = false) {
    GridColumn c;
    c.field = QLatin1String(field);
    c.title = QString::fromUtf8(title);
    if (right)
        c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    if (total)
        c.footer.style = FooterStyle::Down;
    return c;
}

// A totals inquiry over 250 rows of a small table.
class TotalsScreen : public TfrmSZS020 {
public:
    explicit TotalsScreen(db::Connection &c) : TfrmSZS020(c, QStringLiteral("frmTST020")) {
        setWindowTitle(QStringLiteral("시험 조회"));
        rgrGrid->setColumns({col("NAME", "이름"), col("AMT", "금액", true, true),
                             col("NOTE", "비고", true), col("RATE", "율", true, true),
                             col("BIG", "큰값", true, true)});
        qryQuery->setSql(QStringLiteral("SELECT NAME, AMT, NOTE, RATE, BIG FROM T ORDER BY ID"));
        qryFooter->setSql(QStringLiteral("SELECT SUM(AMT), NULL, 1234567.5 FROM T"));
    }
};

class InquiryTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.exec(QStringLiteral(
            "CREATE TABLE T (ID INTEGER, NAME TEXT, AMT REAL, NOTE TEXT, RATE REAL, BIG REAL);"
            "WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X + 1 FROM C WHERE X < 250) "
            "INSERT INTO T SELECT X, '행' || X, CASE X WHEN 1 THEN -1500 ELSE X * 10 END, "
            "CASE X WHEN 1 THEN '12.5' ELSE '' END, X / 4.0, 1 FROM C;"));
    }
    CodesDatabase db;
    test::ScriptedDialogsScope dialogs;
};

TEST_F(InquiryTest, FooterTotalsFollowTheDownColumnsInOrder) {
    TotalsScreen screen(db.connection);
    screen.bbtSearchClick();
    EXPECT_EQ(screen.rgrGrid->rowCountFetched(), 100);                   // the first packet
    EXPECT_EQ(screen.rgrGrid->footerText(1), QStringLiteral("312,240")); // 10*(2..250) - 1500
    EXPECT_EQ(screen.rgrGrid->footerText(3), QStringLiteral("0"));       // a NULL field
    EXPECT_EQ(screen.rgrGrid->footerText(4), QStringLiteral("1,234,568"));
    EXPECT_TRUE(dialogs->errors().isEmpty());
}

TEST_F(InquiryTest, SearchErrorsAreReportedInTheScreensWords) {
    TotalsScreen screen(db.connection);
    screen.qryFooter->setSql(QStringLiteral("SELECT NO_SUCH FROM T"));
    screen.bbtSearchClick();
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(dialogs->errors().first().startsWith(QStringLiteral("오류가 발생되었습니다.\r\r")));
    EXPECT_TRUE(dialogs->errors().first().contains(QStringLiteral("no_such"), Qt::CaseInsensitive))
        << dialogs->errors().first().toStdString();
    EXPECT_EQ(screen.rgrGrid->rowCountFetched(), 100); // what was opened stays
    screen.qryQuery->setSql(QString());
    EXPECT_THROW(screen.bbtSearchClick(), SilentStop);
    EXPECT_EQ(dialogs->errors().last(), QStringLiteral("그리드용 조회쿼리가 없습니다."));
}

TEST_F(InquiryTest, ExcelExportWalksEveryPacketAndKeepsTheCursor) {
    TotalsScreen screen(db.connection);
    screen.panButtons->setEnabled(true); // a list inquiry shows its button bar
    screen.bbtSearchClick();
    screen.rgrGrid->setCurrentCell(5, 0);
    QTemporaryDir out;
    const QString chosen = out.filePath(QStringLiteral("report.txt"));
    dialogs->answerFile(chosen);
    dialogs->answer(false); // do not open it
    const QString written = screen.SaveResultToExcel();
    EXPECT_EQ(written, out.filePath(QStringLiteral("report.xls")));
    EXPECT_EQ(dialogs->questions().last(),
              QStringLiteral("저장한 파일(report.xls)을 Excel로 불러올까요?"));
    EXPECT_EQ(screen.rgrGrid->currentRow(), 5);
    bool wellFormed = false;
    const auto records = ReadXls(written, &wellFormed);
    EXPECT_TRUE(wellFormed);
    int lastRow = 0, dataRows = 0;
    for (const XlsRecord &r : records)
        if (r.row >= 3) {
            lastRow = std::max(lastRow, r.row);
            dataRows += r.column == 0;
        }
    EXPECT_EQ(dataRows, 250);
    EXPECT_EQ(lastRow, 252);
    auto cell = [&](int row, int column) {
        for (const XlsRecord &r : records)
            if (r.row == row && r.column == column)
                return r;
        return XlsRecord{};
    };
    EXPECT_EQ(cell(0, 0).text, QStringLiteral("시험 조회")); // the caption
    EXPECT_TRUE(cell(3, 1).isNumber());
    EXPECT_DOUBLE_EQ(cell(3, 1).number, -1500);
    EXPECT_TRUE(cell(3, 2).isText()); // 12.5 is written as text
    EXPECT_EQ(cell(3, 2).text, QStringLiteral("12.5"));
    EXPECT_TRUE(cell(4, 2).isNumber()); // an empty right-aligned field is a 0
    EXPECT_TRUE(cell(4, 3).isText());   // .5: not a whole number

    // The same export as an .xlsx workbook: every row, the same cells.
    dialogs->answerFile(out.filePath(QStringLiteral("report.xlsx")));
    dialogs->answer(false);
    const QString book = screen.SaveResultToExcel();
    ASSERT_EQ(book, out.filePath(QStringLiteral("report.xlsx")));
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"),
                {QStringLiteral("-p"), book, QStringLiteral("xl/worksheets/sheet1.xml")});
    ASSERT_TRUE(unzip.waitForFinished(30000));
    const QString sheet = QString::fromUtf8(unzip.readAllStandardOutput());
    EXPECT_TRUE(sheet.contains(QStringLiteral("<t>시험 조회</t>")));
    EXPECT_TRUE(sheet.contains(QRegularExpression(QStringLiteral("<c r=\"B4\"[^>]*><v>-1500</v>"))))
        << sheet.left(3000).toStdString();
    EXPECT_TRUE(sheet.contains(QStringLiteral("<row r=\"253\"")));
    EXPECT_FALSE(sheet.contains(QStringLiteral("<row r=\"254\"")));
}

TEST_F(InquiryTest, ColumnChooserHidesColumnsFromTheNextExport) {
    TotalsScreen screen(db.connection);
    screen.panButtons->setEnabled(true); // a list inquiry shows its button bar
    screen.bbtSearchClick();
    ASSERT_EQ(screen.popGrid->actions().size(), 5);
    EXPECT_TRUE(screen.popGrid->actions().at(2)->isChecked());
    screen.popGrid->actions().at(2)->trigger(); // unchecks NOTE
    EXPECT_TRUE(screen.rgrGrid->isColumnHidden(2));
    screen.bbtSearchClick();
    EXPECT_FALSE(
        screen.popGrid->actions().at(2)->isChecked()); // rebuilt with the current visibility
    QTemporaryDir out;
    dialogs->answerFile(out.filePath(QStringLiteral("cols.xls")));
    dialogs->answer(false);
    const auto records = ReadXls(screen.SaveResultToExcel());
    QStringList titles;
    for (const XlsRecord &r : records)
        if (r.row == 2)
            titles << r.text;
    EXPECT_EQ(titles, (QStringList{"이름", "금액", "율", "큰값"}));
    // Overwriting needs a yes.
    dialogs->answerFile(out.filePath(QStringLiteral("cols.xls")));
    dialogs->answer(false);
    EXPECT_EQ(screen.SaveResultToExcel(), QString());
    EXPECT_EQ(dialogs->questions().last(),
              QStringLiteral("이미 존재하는 파일입니다.\r새 내용으로 덮어쓸까요?"));
    // In group mode the chooser does not open.
    screen.rgrGrid->column(1).groups = {QStringLiteral("그룹")};
    screen.rgrGrid->applyColumnLayout();
    screen.show();
    screen.popGridPopup(QPoint(5, 5));
    EXPECT_FALSE(screen.popGrid->isVisible());
}

TEST_F(InquiryTest, ExcelWithoutAResultOrANameSaysSo) {
    TotalsScreen screen(db.connection);
    screen.panButtons->setEnabled(true); // a list inquiry shows its button bar
    EXPECT_EQ(screen.SaveResultToExcel(), QString());
    EXPECT_EQ(screen.stbMessage->panelText(1),
              QStringLiteral("조회 결과가 없습니다. 조회를 먼저 하십시오."));
    screen.bbtSearchClick();
    dialogs->answerFile(QString());
    EXPECT_EQ(screen.SaveResultToExcel(), QString());
    EXPECT_EQ(screen.stbMessage->panelText(1),
              QStringLiteral("저장할 파일 이름을 지정하지 않았습니다."));
}

class TestHub : public TfrmSZS000 {
public:
    explicit TestHub(db::Connection &c) : TfrmSZS000(c, QStringLiteral("frmTST000")) {
        CreateSubScreens();
    }
    void CreateSubScreens() override {
        for (int i = 1; i <= 4; ++i) {
            auto *sub = new TotalsScreen(connection());
            sub->setObjectName(QStringLiteral("frmSUB%1").arg(i));
            AddSubScreen(QStringLiteral("조회 %1").arg(i), sub);
        }
    }
};

TEST_F(InquiryTest, HubMenuAndPagesStayInStepBothWays) {
    TestHub hub(db.connection);
    hub.show();
    EXPECT_EQ(hub.subScreenCount(), 4);
    EXPECT_EQ(hub.PageControl1->currentIndex(), 0);
    EXPECT_EQ(hub.rgrMenu->text(2, 0), QStringLiteral("frmSUB3"));
    EXPECT_EQ(hub.rgrMenu->text(2, 1), QStringLiteral("조회 3"));
    // A click on the fourth menu row shows the fourth page.
    QTest::mouseClick(hub.rgrMenu->viewport(), Qt::LeftButton, {},
                      hub.rgrMenu->visualRect(hub.rgrMenu->model()->index(3, 1)).center());
    EXPECT_EQ(hub.PageControl1->currentIndex(), 3);
    // Selecting the second page selects the second menu row.
    hub.PageControl1->setCurrentIndex(1);
    EXPECT_EQ(hub.rgrMenu->currentRow(), 1);
    hub.ShowSubScreen(2);
    EXPECT_EQ(hub.PageControl1->currentIndex(), 2);
}

} // namespace
