// Every viewer program on a small demo database, its reports fetched from a real report
// server serving the repository's definitions: each report the screens open loads, binds
// the screen's parameters, runs and lays out at least one page.

#include "common/appdir.h"
#include "common/globals.h"
#include "common/reportlocations.h"
#include "database/demo.h"
#include "database/schema.h"
#include "db/connection.h"
#include "screens/report_server.h"
#include "screens/viewer/report_viewers.h"
#include "screens/viewer/sri200_daily_sales_report.h"
#include "screens/viewer/srs900_report_catalogue.h"
#include "support/scripted_dialogs.h"
#include "support/temp_database.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

class ViewerReportsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (test::OnPostgres())
            return;
        dir = new QTemporaryDir;
        database::Install();
        database::DemoOptions options;
        options.path = dir->filePath(QStringLiteral("demo.db"));
        options.days = 40;
        options.endDate = QStringLiteral("20261209");
        database::GenerateDemo(options);

        server = new test::ReportServerProcess;
        previousAppDir = new QString(AppDir());
        SetAppDir(dir->path());
        server->writeSettings(dir->path());
    }
    static void TearDownTestSuite() {
        if (!server)
            return;
        SetAppDir(*previousAppDir);
        delete server;
        delete dir;
        delete previousAppDir;
        server = nullptr;
    }
    void SetUp() override {
        if (test::OnPostgres())
            GTEST_SKIP() << "the demo is made here as a database file";
        ASSERT_TRUE(server->started()) << server->base().toStdString();
        connection.setSqliteFile(dir->filePath(QStringLiteral("demo.db")));
        connection.open();
    }

    // The report the viewer shows has loaded and laid out pages.
    static void ExpectShown(viewer::Rdviewer40 *v, const QString &what) {
        SCOPED_TRACE(what.toStdString());
        ASSERT_TRUE(v->waitForLoaded(60000));
        EXPECT_EQ(v->state(), viewer::Rdviewer40::State::Shown)
            << v->location().toStdString() << " " << v->params().toStdString() << ": "
            << v->message().toStdString();
        ASSERT_NE(v->document(), nullptr);
        EXPECT_GE(v->document()->pages.size(), 1u);
    }

    static QTemporaryDir *dir;
    static test::ReportServerProcess *server;
    static QString *previousAppDir;
    db::Connection connection;
    test::ScriptedDialogsScope dialogs;
};

QTemporaryDir *ViewerReportsTest::dir = nullptr;
test::ReportServerProcess *ViewerReportsTest::server = nullptr;
QString *ViewerReportsTest::previousAppDir = nullptr;

TEST_F(ViewerReportsTest, EveryProgramsReportsLoadFromTheServerAndLayOutPages) {
    int searched = 0;
    for (const QString &id : ViewerProgramIds()) {
        std::unique_ptr<QWidget> screen(CreateViewerScreen(connection, id));
        ASSERT_TRUE(screen) << id.toStdString();
        auto *frame = qobject_cast<TfrmReportViewer *>(screen.get());
        if (!frame) { // a parameter-only member opens when shown
            screen->show();
            ExpectShown(static_cast<TfrmViewerBase *>(screen.get())->Rdviewer401, id);
            continue;
        }
        // What the screen opened on creation, then its searches: every report it can choose.
        if (!frame->Rdviewer401->location().isEmpty())
            ExpectShown(frame->Rdviewer401, id + QStringLiteral(" on creation"));
        std::vector<std::function<void()>> variants{[] {}};
        if (frame->RadioButton2)
            variants = {[f = frame] { f->RadioButton1->setChecked(true); },
                        [f = frame] { f->RadioButton2->setChecked(true); },
                        [f = frame] { f->RadioButton3->setChecked(true); }};
        if (frame->ChkComp)
            variants = {[f = frame] { f->cmbHotel->setCurrentText(QStringLiteral("가족호텔")); },
                        [f = frame] { f->ChkComp->setChecked(true); },
                        [f = frame] { f->chkPkg->setChecked(true); },
                        [f = frame] {
                            f->chkPkg->setChecked(false);
                            f->cmbHotel->setCurrentText(QStringLiteral("베로호텔"));
                        },
                        [f = frame] { f->ChkComp->setChecked(true); },
                        [f = frame] { f->chkPkg->setChecked(true); }};
        for (const auto &choose : variants) {
            frame->FromDate->setValue(QStringLiteral("20261201"));
            frame->ToDate->setValue(QStringLiteral("20261209"));
            if (frame->medMonth)
                frame->medMonth->setValue(QStringLiteral("202612"));
            choose();
            frame->BitBtn1Click();
            ExpectShown(frame->Rdviewer401, id + QStringLiteral(" ") + frame->searchLocation());
            ++searched;
        }
        if (id == QLatin1String("SRS410")) { // the version before November 2018
            frame->FromDate->setValue(QStringLiteral("20181031"));
            frame->BitBtn1Click();
            ExpectShown(frame->Rdviewer401, frame->searchLocation());
        }
    }
    EXPECT_GE(searched, 40);
    EXPECT_EQ(dialogs->errors(), QStringList());
}

// The catalogue of an employee who may open every program lists every definition the server
// holds, and each opens from its prompt with the values it starts with (the defaults, the
// first of a list): the captions, defaults and choice statements of the shipped definitions
// all run.
TEST_F(ViewerReportsTest, EveryReportOfTheCatalogueOpensFromItsPrompt) {
    Globals() = GlobalValues{};
    Globals().empNo = QStringLiteral("20000001");
    Globals().projectId = QStringLiteral("KELO_S");
    TfrmSRS900 screen(connection);
    ASSERT_TRUE(screen.waitForList());
    const int definitions = int(QDir(QStringLiteral(KELO_REPORTS_DIR))
                                    .entryList({QStringLiteral("*.mrd")}, QDir::Files)
                                    .size());
    ASSERT_EQ(int(screen.reports().size()), definitions) << screen.lblCount->text().toStdString();
    int withChoices = 0;
    std::vector<std::pair<QString, QString>> hotels;
    for (QTreeWidgetItemIterator it(screen.tvwReports); *it; ++it) {
        if ((*it)->childCount() > 0)
            continue;
        screen.tvwReports->setCurrentItem(*it);
        dialogs->answerOfferedValues();
        screen.bbtOpenClick();
        ExpectShown(screen.Rdviewer401, (*it)->text(0));
        for (const PromptField &f : dialogs->promptOffers().back().fields) {
            EXPECT_FALSE(f.kind == PromptField::Kind::Date && f.value.isEmpty())
                << f.name.toStdString();
            withChoices += f.choices.empty() ? 0 : 1;
            if (f.name == QLatin1String("AHOTEL"))
                hotels = f.choices;
        }
    }
    // The reports of one hotel offer every hotel (an empty value) and the demo's three, in
    // their display order.
    EXPECT_GE(withChoices, 8);
    const std::vector<std::pair<QString, QString>> expected = {{"", "(전체)"},
                                                               {"베로호텔", "베로호텔"},
                                                               {"가족호텔", "가족호텔"},
                                                               {"국민호텔", "국민호텔"}};
    EXPECT_EQ(hotels, expected);
    EXPECT_FALSE(dialogs->unansweredLeft());
}

// The reports the target inquiries print, with the parameters they send: from the server,
// and the section targets' report from the local report folder.
TEST_F(ViewerReportsTest, TheTargetInquiriesReportsLoad) {
    const char *cases[][2] = {
        {"MIS(SRI110)", "/rv  ATASK_DATE[20261209]AUPJANG_CODE[] /reditmode"},
        {"MIS(SRI130)", "/rv  AFROM_DATE[20261201]ATO_DATE[20261209]ADEPT_ITEM1[] /reditmode"},
    };
    for (const auto &c : cases) {
        viewer::Rdviewer40 v(connection);
        v.OpenReport(MainLocation(QString::fromUtf8(c[0])), QString::fromUtf8(c[1]));
        ExpectShown(&v, QString::fromUtf8(c[0]));
    }
    viewer::Rdviewer40 local(connection);
    local.OpenReport(QStringLiteral("C:/켈로리조트/RD레포트/경영정보관리(071224)/TTP070.mrd"),
                     QStringLiteral("/rv SALE_DATE[20261209] MIS_UPJANG_CODE1[]"));
    ExpectShown(&local, QStringLiteral("TTP070"));
}

} // namespace
