#include "common/application.h"
#include "common/dialogs.h"
#include "common/silentstop.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <functional>
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

// The real print dialog, as a user fills it in: the default printer chosen at first, all
// pages unless a range is typed, copies; Esc prints nothing.
TEST(Dialogs, ThePrintDialogReturnsThePrinterPagesAndCopiesChosen) {
    const QStringList printers = {QStringLiteral("Office"), QStringLiteral("KeloPDF")};
    struct Step {
        const char *name;
        std::function<void(QDialog &)> fill;
        std::optional<PrintChoice> expected;
    };
    PrintChoice everything;
    everything.printer = QStringLiteral("KeloPDF");
    everything.toPage = 5;
    PrintChoice pages23 = everything;
    pages23.printer = QStringLiteral("Office");
    pages23.fromPage = 2;
    pages23.toPage = 3;
    pages23.copies = 2;
    const Step steps[] = {
        {"as it opens", [](QDialog &d) { d.findChild<QPushButton *>("bbtPrintOk")->click(); },
         everything},
        {"pages 2 to 3 twice on the other printer",
         [](QDialog &d) {
             d.findChild<QComboBox *>("cboPrinter")->setCurrentText(QStringLiteral("Office"));
             d.findChild<QSpinBox *>("spnToPage")->setValue(3); // a page picks the range
             d.findChild<QSpinBox *>("spnFromPage")->setValue(2);
             d.findChild<QSpinBox *>("spnCopies")->setValue(2);
             EXPECT_TRUE(d.findChild<QRadioButton *>("rbtPageRange")->isChecked());
             d.findChild<QPushButton *>("bbtPrintOk")->click();
         },
         pages23},
        {"Esc", [](QDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }, std::nullopt},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = true;
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("인쇄"));
            EXPECT_EQ(dialog->findChild<QComboBox *>("cboPrinter")->currentText(),
                      QStringLiteral("KeloPDF"));
            EXPECT_EQ(dialog->findChild<QSpinBox *>("spnToPage")->maximum(), 5);
            step.fill(*dialog);
        });
        const std::optional<PrintChoice> choice =
            QtDialogs().printSetup(printers, QStringLiteral("KeloPDF"), 5);
        EXPECT_TRUE(seen);
        ASSERT_EQ(choice.has_value(), step.expected.has_value());
        if (!choice)
            continue;
        EXPECT_EQ(choice->printer, step.expected->printer);
        EXPECT_EQ(choice->fromPage, step.expected->fromPage);
        EXPECT_EQ(choice->toPage, step.expected->toPage);
        EXPECT_EQ(choice->copies, step.expected->copies);
    }
}

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
