// The report catalogue: the index the report server builds of its folder, the list of the
// reports an employee may open, a report added while client and server run, and the prompt
// a report opened from the list asks before it runs.

#include "common/appdir.h"
#include "common/clock.h"
#include "common/globals.h"
#include "common/reportcatalogue.h"
#include "database/demo.h"
#include "database/schema.h"
#include "screens/viewer/srs900_report_catalogue.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include "report_server.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelo;
using namespace kelo::screens;

namespace {

void writeFile(const QString &path, const QByteArray &text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

// A report of one line: the values it was given, and nothing else.
QByteArray definition(const char *name, const char *rootAttributes, const char *parameters,
                      const char *select) {
    return QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<report name="%1" %2>
  <parameters>%3</parameters>
  <dataset name="rows"><sql><![CDATA[%4]]></sql></dataset>
  <band kind="detail" dataset="rows" height="6">
    <field x="0" y="0" w="150" h="6" field="LINE"/>
  </band>
</report>
)")
        .arg(QString::fromUtf8(name), QString::fromUtf8(rootAttributes),
             QString::fromUtf8(parameters), QString::fromUtf8(select))
        .toUtf8();
}

std::vector<QString> titles(const std::vector<CatalogueEntry> &entries) {
    std::vector<QString> out;
    for (const CatalogueEntry &e : entries)
        out.push_back(e.title);
    return out;
}

} // namespace

// What the index says of bases, variants and files it cannot read, and who may open what.
TEST(ReportCatalogue, TheIndexListsBasesAndVariantsWithTheirParametersAndPermissions) {
    QTemporaryDir dir;
    const auto put = [&](const char *file, const QByteArray &text) {
        writeFile(dir.filePath(QString::fromUtf8(file)), text);
    };
    put("B.mrd", definition("B", R"(title="객실 기준" folder="객실" programs="SBS010 sri060")",
                            R"(<parameter name="ADATE" position="1" type="date" caption="기준일"/>
                               <parameter name="APKG" position="2"/>
                               <parameter name="ASWITCH" prompt="false"/>)",
                            "SELECT :ADATE || :APKG AS LINE FROM DUAL"));
    put("V.mrd", R"(<report extends="B" name="V" title="객실 기준 패키지">
                      <param name="APKG" value="Y"/></report>)");
    put("W.mrd", R"(<report extends="없음" name="W"/>)");
    put("N.mrd", "not a definition");
    put("O.mrd", definition("O", R"(title="공용")", "", "SELECT 'x' AS LINE FROM DUAL"));
    put("readme.txt", "not listed");

    QString error = QStringLiteral("unset");
    const std::vector<CatalogueEntry> all = ReadCatalogueIndex(CatalogueIndex(dir.path()), &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    // Folder, then title, those without a folder last; the files it cannot read (a missing
    // base, not XML) are left out.
    ASSERT_EQ(titles(all), (std::vector<QString>{"객실 기준", "객실 기준 패키지", "공용"}));
    EXPECT_EQ(all[2].folder, QString());
    EXPECT_TRUE(all[2].programs.isEmpty());
    EXPECT_EQ(all[0].programs, (QStringList{"SBS010", "SRI060"}));
    ASSERT_EQ(all[0].parameters.size(), 2u);
    EXPECT_EQ(all[0].parameters[0].caption, QStringLiteral("기준일"));
    EXPECT_EQ(all[0].parameters[0].type, QStringLiteral("date"));
    EXPECT_EQ(all[0].parameters[1].caption, QStringLiteral("APKG")); // no caption: the name
    // ASWITCH (prompt="false") is its variants' switch: not asked, not listed.
    // The variant: its base's folder and programs, and only the parameter it leaves open.
    EXPECT_EQ(all[1].file, QStringLiteral("V.mrd"));
    EXPECT_EQ(all[1].folder, QStringLiteral("객실"));
    EXPECT_EQ(all[1].programs, all[0].programs);
    ASSERT_EQ(all[1].parameters.size(), 1u);
    EXPECT_EQ(all[1].parameters[0].name, QStringLiteral("ADATE"));

    EXPECT_TRUE(MayOpen(all[2], {}));                   // no programs: whoever opens the list
    EXPECT_FALSE(MayOpen(all[0], {"SBS020"}));          // none of its programs
    EXPECT_TRUE(MayOpen(all[0], {"SBS020", "SRI060"})); // one of them is enough

    // An answer that is not an index, and entries whose file would leave the folder or
    // change the location (a query, a fragment, an escape, a control character).
    EXPECT_TRUE(ReadCatalogueIndex("<html/>", &error).empty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(ReadCatalogueIndex(R"({"reports":[{"file":"../x.mrd"},{"file":"a\\b.mrd"},
                                          {"file":"a?b=.mrd"},{"file":"a#.mrd"},
                                          {"file":"%2e%2e.mrd"},{"file":"a\u0001.mrd"}]})",
                                   &error)
                    .empty());
}

class ReportCatalogueScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.started());
        server.writeSettings(AppDir());
        Globals() = GlobalValues{};
        Globals().empNo = QStringLiteral("E0000009");
        Globals().projectId = QStringLiteral("KELO_S");
        // The employee's level grants SBS010 and the catalogue; SRI060 is another's.
        schemaDb.exec(QStringLiteral(R"sql(
INSERT INTO ZA050MS (PROJECT_ID, MENU_ID, PROGRAM_ID, PROGRAM_NAME, DISPLAY_SEQ) VALUES
  ('KELO_S', 'M40', 'SBS010', '객실 매출 보고서', 1), ('KELO_S', 'M40', 'SRI060', '일일 경영 보고서', 2),
  ('KELO_S', 'M40', 'SRS900', '보고서 목록', 3);
INSERT INTO ZA130MS (EMP_NO, PROJECT_ID, PROJECT_LEVEL) VALUES ('E0000009', 'KELO_S', 'L9');
INSERT INTO ZA140MS (PROJECT_ID, PROJECT_LEVEL, PROGRAM_ID) VALUES
  ('KELO_S', 'L9', 'SBS010'), ('KELO_S', 'L9', 'SRS900');
)sql"));
    }
    void TearDown() override { QFile::remove(AppFile(QStringLiteral("Kelo_S.ini"))); }

    void put(const char *file, const QByteArray &text) {
        writeFile(folder.filePath(QString::fromUtf8(file)), text);
    }
    static QStringList listed(const TfrmSRS900 &s) {
        QStringList out;
        for (QTreeWidgetItemIterator it(s.tvwReports, QTreeWidgetItemIterator::NotHidden); *it;
             ++it)
            if ((*it)->childCount() == 0)
                out << (*it)->parent()->text(0) + u'/' + (*it)->text(0);
        return out;
    }
    static void select(TfrmSRS900 &s, const QString &title) {
        const auto found = s.tvwReports->findItems(title, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(found.size(), 1);
        s.tvwReports->setCurrentItem(found.front());
    }

    QTemporaryDir folder;
    test::ReportServerProcess server{folder.path()};
    test::SchemaDatabase schemaDb;
    db::Connection &connection = schemaDb.connection();
};

TEST_F(ReportCatalogueScreen, ListsWhatTheEmployeeMayOpenAndANewReportWithoutARestart) {
    test::ScriptedDialogsScope dialogs;
    put("허용.mrd", definition("허용", R"(folder="객실" programs="SBS010")", "",
                               "SELECT 'a' AS LINE FROM DUAL"));
    put("금지.mrd", definition("금지", R"(folder="경영정보" programs="SRI060")", "",
                               "SELECT 'b' AS LINE FROM DUAL"));
    put("공용.mrd", definition("공용", "", "", "SELECT 'c' AS LINE FROM DUAL"));
    TfrmSRS900 screen(connection);
    screen.show();
    ASSERT_TRUE(screen.waitForList());
    EXPECT_EQ(listed(screen), (QStringList{"객실/허용", "기타/공용"}));
    EXPECT_EQ(screen.lblCount->text(), QStringLiteral("보고서 2개"));
    screen.edtFilter->setText(QStringLiteral("허용"));
    EXPECT_EQ(listed(screen), QStringList{"객실/허용"});
    EXPECT_EQ(screen.lblCount->text(), QStringLiteral("보고서 2개 중 1개"));
    screen.edtFilter->clear();

    // Dropped into the server's folder while both run: listed on the next "조회", and opened
    // after the prompt with the values the user gave.
    put("새 보고서.mrd",
        definition("새 보고서", R"(title="새 보고서" folder="객실")",
                   R"(<parameter name="ADATE" position="1" type="date" caption="기준일"
                                 default="yesterday"/>
                      <parameter name="APROG" position="2" caption="프로그램" default="SRS900">
                        <choices><sql>SELECT PROGRAM_ID, PROGRAM_NAME FROM ZA050MS
                                      ORDER BY DISPLAY_SEQ</sql></choices>
                      </parameter>
                      <parameter name="AMARK" prompt="false" default="!"/>)",
                   "SELECT :ADATE || '/' || :APROG || :AMARK AS LINE FROM DUAL"));
    screen.bbtSearch->click();
    ASSERT_TRUE(screen.waitForList());
    EXPECT_EQ(listed(screen), (QStringList{"객실/새 보고서", "객실/허용", "기타/공용"}));

    select(screen, QStringLiteral("새 보고서"));
    dialogs->answerValues(QStringList{"20261130", "SBS010"});
    screen.bbtOpen->click();
    ASSERT_TRUE(screen.Rdviewer401->waitForLoaded());
    ASSERT_EQ(screen.Rdviewer401->state(), viewer::Rdviewer40::State::Shown)
        << screen.Rdviewer401->message().toStdString();
    ASSERT_EQ(dialogs->promptOffers().size(), 1u);
    const auto &offer = dialogs->promptOffers().front();
    EXPECT_EQ(offer.title, QStringLiteral("새 보고서"));
    ASSERT_EQ(offer.fields.size(), 2u);
    EXPECT_EQ(offer.fields[0].caption, QStringLiteral("기준일"));
    EXPECT_EQ(offer.fields[0].kind, PromptField::Kind::Date);
    EXPECT_EQ(offer.fields[0].value, Now().date().addDays(-1).toString(QStringLiteral("yyyyMMdd")));
    EXPECT_EQ(offer.fields[1].value, QStringLiteral("SRS900"));
    const std::vector<std::pair<QString, QString>> choices = {
        {"SBS010", "객실 매출 보고서"}, {"SRI060", "일일 경영 보고서"}, {"SRS900", "보고서 목록"}};
    EXPECT_EQ(offer.fields[1].choices, choices);
    const report::Document *doc = screen.Rdviewer401->document();
    ASSERT_NE(doc, nullptr);
    // The answers, and the default of the parameter the prompt leaves out.
    EXPECT_TRUE(doc->pages.front().texts().contains(QStringLiteral("20261130/SBS010!")));

    // Cancelled: nothing runs and the viewer says so. The prompt starts with the values
    // confirmed before.
    dialogs->answerValues(std::nullopt);
    screen.bbtOpen->click();
    screen.Rdviewer401->waitForLoaded();
    ASSERT_EQ(dialogs->promptOffers().size(), 2u);
    EXPECT_EQ(dialogs->promptOffers().back().fields[0].value, QStringLiteral("20261130"));
    EXPECT_EQ(dialogs->promptOffers().back().fields[1].value, QStringLiteral("SBS010"));
    EXPECT_EQ(screen.Rdviewer401->state(), viewer::Rdviewer40::State::Empty);
    EXPECT_EQ(screen.Rdviewer401->status(), QStringLiteral("조회를 취소했습니다."));
    EXPECT_FALSE(dialogs->unansweredLeft());
}

// A server that does not answer: the list says why and where it looked.
TEST_F(ReportCatalogueScreen, AServerThatIsGoneIsNamed) {
    QFile ini(AppFile(QStringLiteral("Kelo_S.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ReportServer]\nMain=http://127.0.0.1:9\n");
    ini.close();
    TfrmSRS900 screen(connection);
    ASSERT_TRUE(screen.waitForList());
    EXPECT_TRUE(screen.reports().empty());
    EXPECT_TRUE(
        screen.lblCount->text().startsWith(QStringLiteral("보고서 목록을 읽을 수 없습니다:")))
        << screen.lblCount->text().toStdString();
    EXPECT_TRUE(screen.lblCount->text().contains(QStringLiteral("http://127.0.0.1:9/REPORT/")));
}

// The pictures of docs/screenshots: the catalogue with a report open and the prompt, on a
// 40-day demo and the shipped definitions. Run by hand with the folder to write to:
//   KELO_DOCS_SHOTS=docs/screenshots test_viewer_screens
//       --gtest_also_run_disabled_tests --gtest_filter='*DocsPictures*'
TEST(ReportCatalogueDocs, DISABLED_DocsPictures) {
    const QString out = qEnvironmentVariable("KELO_DOCS_SHOTS");
    if (out.isEmpty())
        GTEST_SKIP() << "KELO_DOCS_SHOTS names the folder of the pictures";
    QTemporaryDir dir;
    database::Install();
    database::DemoOptions options;
    options.path = dir.filePath(QStringLiteral("demo.db"));
    options.days = 40;
    options.endDate = QStringLiteral("20261209");
    database::GenerateDemo(options);
    test::ReportServerProcess server;
    ASSERT_TRUE(server.started());
    const QString previous = AppDir();
    SetAppDir(dir.path());
    server.writeSettings(dir.path());
    db::Connection connection;
    connection.setSqliteFile(options.path);
    connection.open();
    Globals() = GlobalValues{};
    Globals().empNo = QStringLiteral("20000002");
    Globals().projectId = QStringLiteral("KELO_S");

    TfrmSRS900 screen(connection);
    screen.resize(1280, 760);
    screen.show();
    ASSERT_TRUE(screen.waitForList());
    const auto found = screen.tvwReports->findItems(
        QStringLiteral("전년대비주중주말구분객실판매현황"), Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    screen.tvwReports->setCurrentItem(found.front());
    // The prompt as it opens: photographed, the period set, then confirmed.
    QTimer::singleShot(300, [&] {
        QWidget *prompt = QApplication::activeModalWidget();
        ASSERT_NE(prompt, nullptr);
        prompt->findChild<QDateEdit *>(QStringLiteral("dedAFROM_DATE"))
            ->setDate(QDate(2026, 12, 1));
        prompt->findChild<QDateEdit *>(QStringLiteral("dedATO_DATE"))->setDate(QDate(2026, 12, 9));
        prompt->grab().save(out + QStringLiteral("/viewer-prompt.png"));
        prompt->findChild<QPushButton *>(QStringLiteral("bbtPromptOk"))->click();
    });
    screen.bbtOpenClick();
    ASSERT_TRUE(screen.Rdviewer401->waitForLoaded());
    screen.Rdviewer401->setAutoAdjust(1);
    QTest::qWait(300);
    screen.grab().save(out + QStringLiteral("/report-catalogue-srs900.png"));
    SetAppDir(previous);
}
