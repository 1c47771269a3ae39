#include "common/appdir.h"
#include "common/globals.h"
#include "database/schema.h"
#include "framework/messages.h"
#include "framework/workscreen.h"
#include "shell/datamodule.h"
#include "shell/mainwindow.h"
#include "shell/registry.h"
#include "support/scripted_dialogs.h"
#include "support/temp_database.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

using namespace kelo;

namespace {

// A screen that counts card notices, may refuse to close and may hold unsaved entries.
class TestScreen : public TfrmZZI010 {
public:
    using TfrmZZI010::TfrmZZI010;
    bool refuseClose = false;
    bool unsaved = false;
    int cardReads = 0;
    bool HasUnsavedChanges() override { return unsaved; }

protected:
    bool FormCloseQuery() override { return refuseClose ? false : TfrmZZI010::FormCloseQuery(); }
    bool event(QEvent *e) override {
        if (e->type() == QEvent::Type(WM_CARDREAD)) {
            ++cardReads;
            return true;
        }
        return TfrmZZI010::event(e);
    }
};

const char *kFixture = R"(
INSERT INTO ZX010MS (HEAD, DETAIL, DETAIL_NAME) VALUES ('Z9999', 'KLUSER', '[시험장]');
INSERT INTO ZA040MS (PROJECT_ID, MENU_ID, MENU_NAME, DISPLAY_SEQ) VALUES
  ('KELO_S', 'M1', '조회', 1), ('KELO_S', 'M2', '입력', 2), ('KELO_S', 'M3', '숨김', 0), ('OTHER', 'M9', '다른', 1);
INSERT INTO ZA050MS (PROJECT_ID, MENU_ID, PROGRAM_ID, PROGRAM_NAME, DISPLAY_SEQ) VALUES
  ('KELO_S', 'M1', 'TST001', '첫째 화면(&A)', 1), ('KELO_S', 'M1', 'TST002', 'F&B 화면', 2),
  ('KELO_S', 'M1', 'TST003', '셋째 화면', 3), ('KELO_S', 'M1', 'TST999', '없는 화면', 4),
  ('KELO_S', 'M1', 'tst001', '소문자 화면', 5), ('KELO_S', 'M1', 'TST005', '다섯째 화면', 6),
  ('KELO_S', 'M1', 'TST006', '숨은 항목', 0),
  ('KELO_S', 'M2', 'TST004', '넷째 화면', 1), ('KELO_S', 'M3', 'TST001', '숨은 메뉴', 1);
INSERT INTO ZA130MS (EMP_NO, PROJECT_ID, PROJECT_LEVEL) VALUES ('E0000001', 'KELO_S', 'L1');
INSERT INTO ZA140MS (PROJECT_ID, PROJECT_LEVEL, PROGRAM_ID) VALUES
  ('KELO_S', 'L1', 'TST001'), ('KELO_S', 'L1', 'TST002'), ('KELO_S', 'L1', 'TST004'), ('KELO_S', 'L1', 'TST999'),
  ('KELO_S', 'L1', 'tst001'), ('KELO_S', 'L1', 'TST005'), ('KELO_S', 'L1', 'TST006'), ('KELO_S', 'L2', 'TST003');
INSERT INTO ZA150MS (EMP_NO, PROJECT_ID, PROGRAM_ID, ADD_YN) VALUES
  ('E0000001', 'KELO_S', 'TST003', 'Y'), ('E0000001', 'KELO_S', 'TST004', 'N');
)";

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("KELO_IPC_SUFFIX", QUuid::createUuid().toString(QUuid::Id128).left(12).toLatin1());
        database::Install();
        database::MigrateSchema(database.connection());
        database.exec(QString::fromUtf8(kFixture));
        Globals() = GlobalValues{};
        for (const char *id : {"TST001", "TST002", "TST003", "TST004", "TST005"})
            registry.add(QLatin1String(id), [id, this](db::Connection &c) {
                auto *screen = new TestScreen(c, QStringLiteral("frm") + QLatin1String(id));
                screens.append(screen);
                return screen;
            });
    }
    void TearDown() override {
        window.reset();
        // Screens whose tabs were closed go before the connection they use.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dm.reset();
        qunsetenv("KELO_IPC_SUFFIX");
    }
    void writeFile(const QString &name, const QByteArray &text) {
        QFile f(database.dir() + u'/' + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    void start(const QString &empNo = QStringLiteral("E0000001")) {
        dm = std::make_unique<shell::TfrmZZD000>(QStringList{
            QStringLiteral("TESTDB"), QStringLiteral("kluser"), empNo, QStringLiteral("홍길동")});
        window = std::make_unique<shell::TfrmS0Main>(*dm, registry, QStringLiteral("KELO_S"));
        window->show();
    }
    QStringList menuTitles() const {
        QStringList titles;
        for (QAction *a : window->menuBar()->actions())
            titles << a->text();
        return titles;
    }
    QStringList tabIds() const {
        QStringList ids;
        for (int i = 0; i < window->pgcTabs->count(); ++i)
            ids << window->pgcTabs->tabToolTip(i);
        return ids;
    }
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    test::TempDatabase database;
    test::ScriptedDialogsScope dialogs;
    shell::ProgramRegistry registry;
    QList<QPointer<TestScreen>> screens;
    std::unique_ptr<shell::TfrmZZD000> dm;
    std::unique_ptr<shell::TfrmS0Main> window;
};

TEST_F(MainWindowTest, MenuOfTheEmployeesPermissions) {
    start();
    ASSERT_TRUE(window->menuBuilt());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("경영정보([시험장])"));
    // M2 only holds a removed program, M3 is not displayed, M9 is another project's.
    EXPECT_EQ(menuTitles(), (QStringList{QStringLiteral("조회"), QStringLiteral("창(&W)")}));
    QStringList entries;
    for (QAction *a : window->menuBar()->actions().first()->menu()->actions())
        entries << a->toolTip();
    // Level programs, plus the added one, without the removed one nor a zero display order.
    EXPECT_EQ(entries, (QStringList{"TST001", "TST002", "TST003", "TST999", "tst001", "TST005"}));
    EXPECT_EQ(window->menuBar()->actions().first()->menu()->actions().at(1)->text(),
              QStringLiteral("F&&B 화면"));
    EXPECT_FALSE(window->mmuMenuWindowClose->isVisible());
    EXPECT_EQ(window->mmuMenuWindowClose->shortcut(), QKeySequence(Qt::Key_F12));
}

TEST_F(MainWindowTest, AnEmployeeWithoutProgramsIsToldWhy) {
    start(QStringLiteral("E0000099"));
    EXPECT_EQ(menuTitles(), QStringList{QStringLiteral("창(&W)")});
    EXPECT_EQ(dialogs->errors(), QStringList{QStringLiteral(
                                     "사번 E0000099에게 허용된 경영정보관리 프로그램이 "
                                     "없습니다.\r시스템 관리자에게 사용 권한을 요청하십시오.")});
}

TEST_F(MainWindowTest, OpeningReactivatingAndUnknownPrograms) {
    start();
    EXPECT_FALSE(window->pgcTabs->isVisible());
    EXPECT_TRUE(window->OpenProgram(QStringLiteral("첫째 화면(&A)"), QStringLiteral("TST001")));
    EXPECT_TRUE(window->pgcTabs->isVisible());
    EXPECT_FALSE(window->panTabs->isVisible());
    EXPECT_EQ(window->pgcTabs->tabText(0), QStringLiteral("첫째 화면"));
    EXPECT_TRUE(window->OpenProgram(QStringLiteral("F&B 화면"), QStringLiteral("TST002")));
    EXPECT_FALSE(window->OpenProgram(QStringLiteral("첫째 화면"),
                                     QStringLiteral("TST001"))); // only activates
    EXPECT_EQ(window->pgcTabs->currentIndex(), 0);
    EXPECT_EQ(tabIds(), (QStringList{"TST001", "TST002"}));
    // Window menu: the hidden close entry, then one entry per tab.
    EXPECT_EQ(window->mmuMenuWindow->actions().size(), 3);
    // Unknown, lower-case and unbuilt IDs: the tab disappears, no message.
    EXPECT_FALSE(window->OpenProgram(QStringLiteral("없는 화면"), QStringLiteral("TST999")));
    EXPECT_FALSE(window->OpenProgram(QStringLiteral("소문자"), QStringLiteral("tst001")));
    EXPECT_EQ(tabIds(), (QStringList{"TST001", "TST002"}));
    EXPECT_TRUE(dialogs->log().empty());
    // Through the window message and from the menu.
    OpenProgramEvent open(QStringLiteral("셋째 화면"), QStringLiteral("TST003"));
    QCoreApplication::sendEvent(window.get(), &open);
    EXPECT_TRUE(open.opened);
    window->menuBar()->actions().first()->menu()->actions().at(5)->trigger();
    EXPECT_EQ(tabIds(), (QStringList{"TST001", "TST002", "TST003", "TST005"}));
    // The screens are sized to their tabs by the resize message.
    window->resize(1200, 900);
    QWidget *page = window->pgcTabs->widget(0);
    EXPECT_EQ(screens.first()->size(), page->size());
}

TEST_F(MainWindowTest, ProgramCountLimit) {
    writeFile(QStringLiteral("Main.ini"), "[MAIN]\nPROGRAM_COUNT=3\n");
    start();
    EXPECT_EQ(window->programCount(), 3);
    for (const char *id : {"TST001", "TST002", "TST003"})
        EXPECT_TRUE(window->OpenProgram(QLatin1String(id), QLatin1String(id)));
    EXPECT_FALSE(window->OpenProgram(QStringLiteral("넷째"), QStringLiteral("TST005")));
    EXPECT_EQ(dialogs->errors(),
              QStringList{QStringLiteral("최대 3개의 프로그램만 동시에 실행할 수 있습니다.")});
    EXPECT_FALSE(window->OpenProgram(QStringLiteral("TST002"),
                                     QStringLiteral("TST002"))); // activates, no message
    EXPECT_EQ(window->pgcTabs->currentIndex(), 1);
    EXPECT_EQ(dialogs->errors().size(), 1);
    window->CloseActiveProgram();
    settle();
    EXPECT_TRUE(window->OpenProgram(QStringLiteral("넷째"), QStringLiteral("TST005")));
    EXPECT_EQ(tabIds(), (QStringList{"TST001", "TST003", "TST005"}));
}

TEST_F(MainWindowTest, ClosingATabFromItsButtonAndFromF12) {
    start();
    window->OpenProgram(QStringLiteral("a"), QStringLiteral("TST001"));
    window->OpenProgram(QStringLiteral("b"), QStringLiteral("TST002"));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QPointer<TestScreen> second = screens.at(1);
    QTest::mouseClick(second->bbtClose, Qt::LeftButton);
    settle();
    EXPECT_TRUE(second.isNull()); // the tab and its screen are gone
    EXPECT_EQ(tabIds(), QStringList{"TST001"});
    EXPECT_EQ(window->mmuMenuWindow->actions().size(), 2);

    QPointer<TestScreen> first = screens.at(0);
    first->bbtSearch->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);
    settle();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(tabIds().isEmpty());
    EXPECT_FALSE(window->pgcTabs->isVisible());
    EXPECT_TRUE(window->panTabs->isVisible());
}

TEST_F(MainWindowTest, ClosingWithAScreenThatRefusesStillTellsTheLauncher) {
    QLocalServer launcher;
    QLocalServer::removeServer(LauncherWindowName());
    ASSERT_TRUE(launcher.listen(LauncherWindowName()));
    start();
    window->OpenProgram(QStringLiteral("a"), QStringLiteral("TST001"));
    window->OpenProgram(QStringLiteral("b"), QStringLiteral("TST002"));
    screens.at(0)->refuseClose = true;
    EXPECT_FALSE(window->close());
    settle();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(tabIds(), QStringList{"TST001"}); // the other screen closed
    ASSERT_TRUE(launcher.waitForNewConnection(2000));
    QLocalSocket *notice = launcher.nextPendingConnection();
    ASSERT_TRUE(notice->waitForReadyRead(2000) || notice->bytesAvailable() > 0);
    EXPECT_EQ(notice->readAll().trimmed(), QByteArray("1924"));

    screens.at(0)->refuseClose = false;
    EXPECT_TRUE(window->close());
}

// The active tab holds unsaved entries: closing the window asks once, and No keeps every tab.
TEST_F(MainWindowTest, ClosingStopsAtTheFirstScreenThatStays) {
    start();
    for (const char *id : {"TST001", "TST002", "TST003"})
        window->OpenProgram(QLatin1String(id), QLatin1String(id));
    screens.last()->unsaved = true; // the active tab, asked first
    dialogs->answer(false);
    EXPECT_FALSE(window->close());
    settle();
    EXPECT_EQ(dialogs->questions(),
              QStringList{QStringLiteral(
                  "저장되지 않은 변경 내용이 있습니다. 저장하지 않고 닫으시겠습니까?")});
    EXPECT_EQ(tabIds(), (QStringList{"TST001", "TST002", "TST003"}));
    EXPECT_TRUE(window->isVisible());

    dialogs->answer(true);
    EXPECT_TRUE(window->close());
    settle();
    EXPECT_EQ(dialogs->questions().size(), 2);
    EXPECT_TRUE(tabIds().isEmpty());
}

TEST_F(MainWindowTest, CardNumbersReachTheActiveScreen) {
    start();
    window->comRF15693RxChar(QStringLiteral("1234567890")); // no tab: forgotten
    EXPECT_EQ(Globals().cardNo, QString());
    window->OpenProgram(QStringLiteral("a"), QStringLiteral("TST001"));
    window->comRF15693RxChar(QStringLiteral("123456789012"));
    EXPECT_EQ(Globals().cardNo, QStringLiteral("1234567890"));
    EXPECT_EQ(screens.at(0)->cardReads, 1);
    window->comRF15693RxChar(QStringLiteral("12345"));
    window->comRF15693RxChar(QStringLiteral("67890"));
    EXPECT_EQ(screens.at(0)->cardReads, 1);
    EXPECT_EQ(Globals().cardNo, QStringLiteral("67890"));
}

TEST_F(MainWindowTest, CardReaderThroughAPseudoTerminal) {
    int master = -1, slave = -1;
    char name[128] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
                        QStringLiteral(".ini");
    writeFile(own,
              QStringLiteral("[RF15693]\nPORT=3\nDEVICE=%1\n").arg(QLatin1String(name)).toUtf8());
    start();
    EXPECT_TRUE(dialogs->errors().isEmpty()) << dialogs->errors().join(u'|').toStdString();
    window->OpenProgram(QStringLiteral("a"), QStringLiteral("TST001"));
    ASSERT_EQ(write(master, "0012345678", 10), 10);
    QTRY_COMPARE_WITH_TIMEOUT(screens.at(0)->cardReads, 1, 3000);
    EXPECT_EQ(Globals().cardNo, QStringLiteral("0012345678"));
    window.reset();
    close(master);
    close(slave);
}

TEST_F(MainWindowTest, ACardReaderPortThatCannotOpenIsReported) {
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
                        QStringLiteral(".ini");
    writeFile(own, "[RF15693]\nPORT=4\nDEVICE=/dev/nonexistent-kelo-port\n");
    start();
    EXPECT_EQ(dialogs->errors(),
              QStringList{QStringLiteral("RFID리더 포트(COM4)를 열 수 없습니다.\r해당 포트를 다른 "
                                         "장치나 프로그램에서 사용중일 수 "
                                         "있습니다.")});
    EXPECT_TRUE(window->menuBuilt()); // everything else works
}

TEST_F(MainWindowTest, NoConnectionNoWindow) {
    database.exec(QStringLiteral("UPDATE ZX010MS SET DETAIL_NAME = '' WHERE HEAD = 'Z9999'"));
    dm = std::make_unique<shell::TfrmZZD000>(
        QStringList{QStringLiteral("NOSUCH"), QStringLiteral("kluser"), QStringLiteral("E0000001"),
                    QStringLiteral("x")});
    EXPECT_EQ(dialogs->errors().size(), 1);
    EXPECT_TRUE(dialogs->errors().first().startsWith(
        QStringLiteral("데이터베이스와 연결할 수 없습니다.\r\r에러내용:\r")));
    window = std::make_unique<shell::TfrmS0Main>(*dm, registry, QStringLiteral("KELO_S"));
    EXPECT_FALSE(window->menuBuilt());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("경영정보()"));
}

} // namespace

namespace {

TEST(ProgramRegistry, EveryProgramIdOnceAndExactMatchesOnly) {
    const QStringList &ids = shell::ProgramRegistry::ProgramIds();
    // The 74 programs of the menus and the report catalogue SRS900.
    EXPECT_EQ(ids.size(), 75);
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), 75);
    for (const QString &id : ids)
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{3}\\d{3}$")).match(id).hasMatch())
            << id.toStdString();
    shell::ProgramRegistry registry;
    test::TempDatabase database;
    registry.add(QStringLiteral("SAS000"),
                 [](db::Connection &c) { return new TfrmZZI000(c, QStringLiteral("frmSAS000")); });
    std::unique_ptr<QWidget> first(
        registry.create(QStringLiteral("SAS000"), database.connection()));
    std::unique_ptr<QWidget> second(
        registry.create(QStringLiteral("SAS000"), database.connection()));
    EXPECT_TRUE(first && second && first != second); // a fresh screen each time
    EXPECT_EQ(registry.create(QStringLiteral("sas000"), database.connection()), nullptr);
    EXPECT_EQ(registry.create(QStringLiteral("SAS00"), database.connection()), nullptr);
}

} // namespace
