#include "common/globals.h"
#include "db/query.h"
#include "screens/reports/srs010_report_output.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

// What the screen showed when a report went out.
struct Job {
    QString programId;
    bool preview = false;
    bool progressVisible = false;
    QString message;
    int step = 0, steps = 0;
    bool printEnabled = true, previewEnabled = true, closeEnabled = true;
    int pages = 0;
};

class ReportOutputTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals() = GlobalValues{};
        Globals().empNo = QStringLiteral("20000001");
        Globals().clientIP = QStringLiteral("10.1.2.3");
        screen = std::make_unique<TfrmSRS010>(connection);
        screen->resize(1016, 700);
        screen->show();
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen.get()));
        screen->medSaleDate->setValue(QStringLiteral("20040415"));
        // The reports are made and paginated; instead of the printer or the preview
        // window the test keeps what the screen showed at that moment.
        screen->outputReport = [this](TfrmZZP010 &report, bool preview) {
            Job job;
            job.programId = report.programId();
            job.preview = preview;
            job.progressVisible = screen->panTasking->isVisible();
            job.message = screen->panMessage->text();
            job.step = screen->ProgressBar1->value();
            job.steps = screen->ProgressBar1->maximum();
            job.printEnabled = screen->bbtPrint->isEnabled();
            job.previewEnabled = screen->bbtPreview->isEnabled();
            job.closeEnabled = screen->bbtClose->isEnabled();
            job.pages = int(report.paginate().pages.size());
            jobs.push_back(job);
        };
    }
    void tickOnly(std::initializer_list<QCheckBox *> boxes) {
        for (QCheckBox *box : screen->reportBoxes())
            box->setChecked(std::find(boxes.begin(), boxes.end(), box) != boxes.end());
    }
    QStringList ids() const {
        QStringList out;
        for (const Job &j : jobs)
            out << j.programId;
        return out;
    }
    void expectIdle() {
        EXPECT_FALSE(screen->panTasking->isVisible());
        EXPECT_TRUE(screen->bbtPrint->isEnabled());
        EXPECT_TRUE(screen->bbtPreview->isEnabled());
        EXPECT_TRUE(screen->bbtClose->isEnabled());
    }
    QString value(const QString &sql) {
        db::Query q(connection);
        q.setSql(sql);
        q.open();
        return q.eof() ? QStringLiteral("<none>") : q.text(0);
    }

    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
    test::ScriptedDialogsScope dialogs;
    std::unique_ptr<TfrmSRS010> screen;
    std::vector<Job> jobs;
};

TEST_F(ReportOutputTest, PrintingRunsTheTickedReportsInOrderWithTheirCaptions) {
    QTest::mouseClick(screen->bbtPrint, Qt::LeftButton);
    EXPECT_EQ(dialogs->errors(), QStringList());
    // The F&B report's step prints the function/GUF composite after it.
    EXPECT_EQ(ids(), QStringList({"SRP010", "SRP020", "SRP030", "SRP040", "SRP050", "SRP060",
                                  "SRP070", "SRP080", "SRP090"}));
    ASSERT_EQ(jobs.size(), 9u);
    EXPECT_EQ(jobs[0].message, QStringLiteral("  Daily Report 출력 중.."));
    EXPECT_EQ(jobs[6].message, QStringLiteral("  F&B Report 출력 중.."));
    EXPECT_EQ(jobs[6].step, 6);
    EXPECT_EQ(jobs[8].message, QStringLiteral("  Tour-Gondola Report 출력 중.."));
    for (const Job &j : jobs) {
        EXPECT_FALSE(j.preview);
        EXPECT_TRUE(j.progressVisible);
        EXPECT_EQ(j.steps, 8);
        EXPECT_FALSE(j.printEnabled || j.previewEnabled || j.closeEnabled);
        EXPECT_GE(j.pages, 1) << j.programId.toStdString();
    }
    expectIdle();
}

TEST_F(ReportOutputTest, TheFnbReportAloneIsTwoJobsInOneStepAndPreviewShowsNoProgress) {
    tickOnly({screen->ckbReport6});
    QTest::keyClick(screen->medSaleDate, Qt::Key_F11);
    EXPECT_EQ(ids(), QStringList({"SRP060", "SRP070"}));
    for (const Job &j : jobs) {
        EXPECT_EQ(j.step, 1);
        EXPECT_EQ(j.steps, 1);
        EXPECT_EQ(j.message, QStringLiteral("  F&B Report 출력 중.."));
    }

    jobs.clear();
    tickOnly({screen->ckbReport1, screen->ckbReport9});
    QTest::mouseClick(screen->bbtPreview, Qt::LeftButton);
    EXPECT_EQ(ids(), QStringList({"SRP010", "SRP090"}));
    for (const Job &j : jobs) {
        EXPECT_TRUE(j.preview);
        EXPECT_FALSE(j.progressVisible);
    }
    expectIdle();

    // Nothing ticked: the buttons go off and on again, nothing else.
    jobs.clear();
    tickOnly({});
    QTest::mouseClick(screen->bbtPrint, Qt::LeftButton);
    EXPECT_TRUE(jobs.empty());
    EXPECT_EQ(screen->ProgressBar1->maximum(), 0);
    expectIdle();
}

TEST_F(ReportOutputTest, AFailingReportEndsTheRunThereAndGivesTheButtonsBack) {
    connection.executeScript(QStringLiteral("DROP TABLE SA040MS"));
    QTest::mouseClick(screen->bbtPrint, Qt::LeftButton);
    EXPECT_EQ(ids(), QStringList({"SRP010", "SRP020", "SRP030", "SRP040"}));
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(dialogs->errors()[0].startsWith(QStringLiteral("오류가 발생되었습니다.\r\r")));
    EXPECT_TRUE(dialogs->errors()[0].contains(QStringLiteral("SA040MS")))
        << dialogs->errors()[0].toStdString();
    expectIdle();
}

TEST_F(ReportOutputTest, AnInvalidDateIsRefusedByBothActions) {
    screen->medSaleDate->setValue(QStringLiteral("20040230"));
    QTest::mouseClick(screen->bbtPrint, Qt::LeftButton);
    QTest::keyClick(screen->ckbReport1, Qt::Key_F2);
    const QString message = QStringLiteral("입력된 영업일자가 정확하지 않습니다.");
    EXPECT_EQ(dialogs->errors(), QStringList({message, message}));
    EXPECT_EQ(dialogs->questions(), QStringList());
    EXPECT_TRUE(jobs.empty());
    EXPECT_TRUE(screen->medSaleDate->hasFocus());
    expectIdle();
}

TEST_F(ReportOutputTest, TheDataBuildAsksFirstReplacesTheDayAndRollsBackOnFailure) {
    // A figure of the day that the build replaces (there are no operating lines).
    connection.executeScript(
        QStringLiteral("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT) "
                       "VALUES ('20040415', '1001', '10', 5)"));
    const QString count =
        QStringLiteral("SELECT COUNT(*) FROM SA030MS WHERE SALE_DATE = '20040415'");
    // No: nothing happens, the status message stays empty.
    dialogs->answer(false);
    QTest::keyClick(screen->medSaleDate, Qt::Key_F2);
    ASSERT_EQ(dialogs->questions().size(), 1);
    EXPECT_TRUE(dialogs->questions()[0].startsWith(
        QStringLiteral("1. 해당 영업일자의 기존 데이타는 모두 삭제됩니다.\r\r")));
    EXPECT_EQ(value(count), QStringLiteral("1"));
    EXPECT_EQ(screen->stbMessage->panelText(1), QString());

    // A build that fails half-way (its last table is gone) leaves the day as it was.
    connection.executeScript(QStringLiteral("DROP TABLE SA090MS"));
    dialogs->answer(true);
    QTest::mouseClick(screen->bbtSave, Qt::LeftButton);
    ASSERT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(dialogs->errors()[0].startsWith(QStringLiteral("오류가 발생되었습니다.\r\r")));
    EXPECT_EQ(value(count), QStringLiteral("1"));
    EXPECT_FALSE(connection.inTransaction());
}

TEST_F(ReportOutputTest, TheDataBuildSavesTheDay) {
    connection.executeScript(
        QStringLiteral("INSERT INTO SA030MS (SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT) "
                       "VALUES ('20040415', '1001', '10', 5)"));
    dialogs->answer(true);
    QTest::mouseClick(screen->bbtSave, Qt::LeftButton);
    EXPECT_EQ(dialogs->errors(), QStringList());
    EXPECT_EQ(screen->stbMessage->panelText(1), QStringLiteral("자료를 저장하였습니다."));
    EXPECT_EQ(value(QStringLiteral("SELECT COUNT(*) FROM SA030MS WHERE SALE_DATE = '20040415'")),
              QStringLiteral("0"));
    EXPECT_FALSE(connection.inTransaction());
}

} // namespace
