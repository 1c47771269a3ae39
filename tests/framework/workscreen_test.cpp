#include "common/appdir.h"
#include "common/globals.h"
#include "framework/workscreen.h"
#include "support/scripted_dialogs.h"
#include "support/temp_database.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

// The program's own settings file of the test executable, with a Role section.
void writeRole(const QString &dir, const QByteArray &role) {
    QFile f(dir + u'/' + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() +
            QStringLiteral(".ini"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(role);
}

class InputScreen : public TfrmZZI010 {
public:
    using TfrmZZI010::TfrmZZI010;
    void bbtSaveClick() override {
        TfrmZZI010::bbtSaveClick();
        ++saves;
    }
    int saves = 0;
};

TEST(WorkScreen, StatusBarShowsProgramUserAndRole) {
    test::TempDatabase database;
    Globals() = GlobalValues{};
    Globals().empName = QStringLiteral("홍길동");
    const struct {
        QByteArray role;
        QString panel3;
        QString teamCode, teamName, outletName;
    } cases[] = {
        {"", QString(), QString(), QString(), QString()},
        {"[Role]\nType=3\nCode=3001\nName=한식당\n", QStringLiteral("영업장 - 한식당"), QString(),
         QString(), QStringLiteral("한식당")},
        {"[Role]\nType=2\nCode=1110\nName=\n", QString(), QStringLiteral("1110"), QString(),
         QString()},
        {"[Role]\nType=4\nCode=X\nName=Y\n", QString(), QString(), QString(), QString()},
    };
    for (const auto &c : cases) {
        Globals().teamCode.clear();
        Globals().outletName.clear();
        writeRole(database.dir(), c.role);
        TfrmZZI000 screen(database.connection(), QStringLiteral("frmSRI010"));
        EXPECT_EQ(screen.stbMessage->panelText(0), QStringLiteral("SRI010"));
        EXPECT_EQ(screen.stbMessage->panelText(2), QStringLiteral("사용자 : 홍길동"));
        EXPECT_EQ(screen.stbMessage->panelText(3), c.panel3) << c.role.toStdString();
        EXPECT_EQ(screen.stbMessage->panelWidth(3) == 0, c.panel3.isEmpty());
        EXPECT_EQ(Globals().teamCode, c.teamCode);
        EXPECT_EQ(Globals().outletName, c.outletName);
    }
}

TEST(WorkScreen, MessagePanelTakesTheWidthTheOthersLeave) {
    test::TempDatabase database;
    TfrmZZI000 screen(database.connection(), QStringLiteral("frmSAS010"));
    screen.show();
    screen.resize(800, 600);
    const PanelStatusBar *bar = screen.stbMessage;
    EXPECT_EQ(bar->panelWidth(0), bar->textWidth(QStringLiteral("SAS010")) + 20);
    EXPECT_EQ(bar->panelWidth(1),
              800 - bar->panelWidth(0) - bar->panelWidth(2) - bar->panelWidth(3));
    screen.ShowStatusMessage(QStringLiteral("조회중..."));
    EXPECT_EQ(bar->panelText(1), QStringLiteral("조회중..."));
}

TEST(WorkScreen, SearchModeFollowsTheSixLevelAncestorRule) {
    test::TempDatabase database;
    InputScreen screen(database.connection(), QStringLiteral("frmSRI010"));
    auto *condition = new QLineEdit(screen.panSearch);
    condition->setObjectName(QStringLiteral("edtCondition"));
    // A field three levels below the work area, and one seven levels below it.
    QWidget *parent = screen.panMain;
    QLineEdit *shallow = nullptr, *deep = nullptr;
    for (int level = 1; level <= 7; ++level) {
        auto *panel = new QWidget(parent);
        panel->setObjectName(QStringLiteral("pan%1").arg(level));
        auto *edit = new QLineEdit(panel);
        edit->setObjectName(QStringLiteral("edt%1").arg(level));
        if (level == 2)
            shallow = edit; // its parent is 2 levels below panMain: edit is on level 3
        if (level == 6)
            deep = edit; // level 7 below panMain
        parent = panel;
    }
    screen.SetSearchMode(true);
    EXPECT_FALSE(shallow->testAttribute(Qt::WA_ForceDisabled) == false);
    EXPECT_FALSE(
        deep->testAttribute(Qt::WA_ForceDisabled)); // outside the work area: enabled when searching
    EXPECT_TRUE(condition->isEnabled());
    EXPECT_FALSE(screen.bbtSave->isEnabled());
    EXPECT_TRUE(screen.bbtClose->isEnabled());
    screen.EnterEditMode();
    EXPECT_TRUE(shallow->isEnabled());
    EXPECT_FALSE(condition->isEnabled());
    EXPECT_TRUE(screen.bbtSave->isEnabled());
    EXPECT_TRUE(screen.bbtSearch->isEnabled() == false);
}

TEST(WorkScreen, FunctionKeysRespectTheButtons) {
    test::TempDatabase database;
    test::ScriptedDialogsScope dialogs;
    InputScreen screen(database.connection(), QStringLiteral("frmSRI010"));
    screen.show();
    screen.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
    screen.bbtSearch->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2); // Save is disabled in search mode
    EXPECT_EQ(screen.saves, 0);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3); // search: into edit mode
    EXPECT_FALSE(screen.isSearchMode());
    QTest::keyClick(&screen, Qt::Key_F2);
    EXPECT_EQ(screen.saves, 1);
    screen.bbtSave->hide();
    QTest::keyClick(&screen, Qt::Key_F2);
    EXPECT_EQ(screen.saves, 1);
    QTest::keyClick(&screen, Qt::Key_F8); // cancel: back to search mode
    EXPECT_TRUE(screen.isSearchMode());
    EXPECT_TRUE(dialogs->log().empty()); // a silent stop shows nothing
}

TEST(WorkScreen, AScreenOfItsOwnClosesItselfAndItsQueries) {
    test::TempDatabase database;
    QPointer<TfrmZZI000> screen =
        new TfrmZZI000(database.connection(), QStringLiteral("frmSQH010"));
    screen->qryQuery->setSql(QStringLiteral("SELECT 1 FROM DUAL"));
    screen->qryQuery->open();
    db::Query *query = screen->qryQuery;
    screen->show();
    QTest::mouseClick(screen->bbtClose, Qt::LeftButton);
    EXPECT_FALSE(query->isActive());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(screen.isNull());
}

} // namespace
