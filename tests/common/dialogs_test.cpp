#include "common/application.h"
#include "common/dialogs.h"
#include "common/silentstop.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

// Looks at the message box the real service shows, then presses a button on it.
struct BoxSeen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool yesIsDefault = false;
};

void inspectNextBox(BoxSeen &seen, QMessageBox::StandardButton press) {
    QTimer::singleShot(0, [&seen, press] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box || !box->isVisible())
                continue;
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            seen.yesIsDefault = box->defaultButton() == box->button(QMessageBox::Yes);
            box->button(press)->click();
            return;
        }
    });
}

TEST(Dialogs, RealErrorBoxHasTheApplicationTitleAndErrorIcon) {
    BoxSeen seen;
    inspectNextBox(seen, QMessageBox::Ok);
    ShowError(QStringLiteral("자료가 없습니다."));
    EXPECT_EQ(seen.title, QStringLiteral("경영정보관리"));
    EXPECT_EQ(seen.text, QStringLiteral("자료가 없습니다."));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

TEST(Dialogs, RealQuestionDefaultsToYesAndReportsTheAnswer) {
    BoxSeen seen;
    inspectNextBox(seen, QMessageBox::No);
    EXPECT_FALSE(AskYesNo(QStringLiteral("저장하시겠습니까?")));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_TRUE(seen.yesIsDefault);
    EXPECT_EQ(seen.title, ApplicationTitle());

    inspectNextBox(seen, QMessageBox::Yes);
    EXPECT_TRUE(AskYesNo(QStringLiteral("저장하시겠습니까?")));
}

TEST(Dialogs, ScriptedServiceRecordsAndAnswersFromItsQueue) {
    test::ScriptedDialogsScope dialogs;
    dialogs->answer(true);
    dialogs->answer(false);
    ShowError(QStringLiteral("오류"));
    EXPECT_TRUE(AskYesNo(QStringLiteral("첫째?")));
    EXPECT_FALSE(AskYesNo(QStringLiteral("둘째?")));
    EXPECT_EQ(dialogs->errors(), QStringList{QStringLiteral("오류")});
    EXPECT_EQ(dialogs->questions(),
              (QStringList{QStringLiteral("첫째?"), QStringLiteral("둘째?")}));
}

TEST(Dialogs, ScriptedServiceFailsOnAnUnexpectedQuestion) {
    test::ScriptedDialogsScope dialogs;
    bool answer = true;
    EXPECT_NONFATAL_FAILURE(answer = AskYesNo(QStringLiteral("삭제하시겠습니까?")),
                            "unexpected question");
    EXPECT_FALSE(answer);
}

} // namespace

namespace {

TEST(GeneralErrorHandling, AFullStopIsAddedOnlyAfterCharactersThatSortAfterIt) {
    const struct {
        const char *message, *shown;
    } cases[] = {
        {"자료가 없습니다", "자료가 없습니다."},
        {"done.", "done."},
        {"line\r", "line\r"},
        {"what?", "what?."},
        {"stop!", "stop!"},
        {"abc", "abc."},
        {"", ""},
        {"(1)", "(1)"},
        {"code 7", "code 7."},
    };
    for (const auto &c : cases)
        EXPECT_EQ(kelo::GeneralErrorText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown))
            << c.message;
}

TEST(GeneralErrorHandling, AnUncaughtErrorIsShownAndASilentStopIsNot) {
    kelo::test::ScriptedDialogsScope dialogs;
    QObject target;
    struct Thrower : QObject {
        bool silent = false;
        bool event(QEvent *) override {
            if (silent)
                throw kelo::SilentStop();
            throw std::runtime_error("저장하지 못했습니다");
        }
    } thrower;
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &e);
    thrower.silent = true;
    QCoreApplication::sendEvent(&thrower, &e);
    EXPECT_EQ(dialogs->errors(), QStringList{QStringLiteral("저장하지 못했습니다.")});
}

} // namespace
