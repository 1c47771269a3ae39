// Every program of the menu as the user sees it in the main window, at the two window sizes the
// desks have: no two visible neighbours overlap, nothing sticks out of its panel and no caption
// is cut.

#include "controls/edits.h"
#include "database/demo.h"
#include "database/schema.h"
#include "framework/inquiry.h"
#include "report_server.h"
#include "screens/personnel/personnel_inquiries.h"
#include "screens/registerscreens.h"
#include "shell/datamodule.h"
#include "shell/mainwindow.h"
#include "shell/registry.h"
#include "support/scripted_dialogs.h"
#include "support/temp_database.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>
#include <QUuid>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

QString nameOf(const QWidget *w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// The widget by its parent's name and its own, with its geometry in the parent.
QString describe(const QWidget *w) {
    const QRect g = w->geometry();
    return QStringLiteral("%1/%2 (%3,%4 %5x%6)")
        .arg(w->parentWidget() ? nameOf(w->parentWidget()) : QString(), nameOf(w))
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

// A caption as it is drawn: without the mnemonic marks.
QString shownText(QString text) {
    text.replace(QLatin1String("&&"), QString(QChar(0xE000)));
    text.remove(u'&');
    text.replace(QChar(0xE000), u'&');
    return text;
}

// The room that a caption's text has inside its widget, or an empty size when the widget
// shows no plain caption.
QSize captionRoom(const QWidget *w) {
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        if (label->text().isEmpty() || label->wordWrap() || label->textFormat() == Qt::RichText ||
            (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text())))
            return {};
        QRect room = label->contentsRect().adjusted(label->margin(), label->margin(),
                                                    -label->margin(), -label->margin());
        int indent = label->indent();
        if (indent < 0 && label->frameWidth() > 0)
            indent = label->fontMetrics().horizontalAdvance(u'x') / 2;
        if (indent > 0) {
            const Qt::Alignment a = label->alignment();
            if (a & Qt::AlignLeft)
                room.setLeft(room.left() + indent);
            else if (a & Qt::AlignRight)
                room.setRight(room.right() - indent);
        }
        return room.size();
    }
    if (const auto *box = qobject_cast<const QCheckBox *>(w)) {
        QStyleOptionButton o;
        o.initFrom(box);
        o.text = box->text();
        return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &o, box).size();
    }
    if (const auto *radio = qobject_cast<const QRadioButton *>(w)) {
        QStyleOptionButton o;
        o.initFrom(radio);
        o.text = radio->text();
        return radio->style()->subElementRect(QStyle::SE_RadioButtonContents, &o, radio).size();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(w)) {
        QStyleOptionButton o;
        o.initFrom(button);
        o.text = button->text();
        QSize room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &o, button).size();
        if (!button->icon().isNull())
            room.rwidth() -= button->iconSize().width() + 4;
        return room;
    }
    if (const auto *tool = qobject_cast<const QToolButton *>(w)) {
        if (tool->text().isEmpty() || tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            return {};
        const int margin = tool->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, tool);
        return tool->rect().adjusted(margin / 2, 0, -margin / 2, 0).size();
    }
    if (const auto *group = qobject_cast<const QGroupBox *>(w)) {
        if (group->title().isEmpty())
            return {};
        return QSize(group->width() - 16, group->height());
    }
    return {};
}

QString caption(const QWidget *w) {
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return shownText(button->text());
    if (const auto *group = qobject_cast<const QGroupBox *>(w))
        return shownText(group->title());
    return {};
}

// Widgets whose children are their own drawing machinery, not a layout of the screen.
bool isControl(const QWidget *w) {
    return qobject_cast<const QAbstractScrollArea *>(w) || qobject_cast<const QComboBox *>(w) ||
           qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractButton *>(w) ||
           qobject_cast<const QLabel *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
           qobject_cast<const QTabBar *>(w);
}

class LayoutCheck {
public:
    explicit LayoutCheck(QString where) : m_where(std::move(where)) {}

    // Walks the visible widgets below the container: the pages of every tab area one after
    // the other, the contents of scroll areas, the children of plain panels.
    void walk(QWidget *container) {
        if (auto *tabs = qobject_cast<QTabWidget *>(container)) {
            const int current = tabs->currentIndex();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                settle();
                QWidget *page = tabs->widget(i);
                within(page, tabs);
                gridRows(page);
                walk(page);
            }
            tabs->setCurrentIndex(current);
            settle();
            return;
        }
        if (auto *stack = qobject_cast<QStackedWidget *>(container)) {
            if (QWidget *page = stack->currentWidget()) {
                within(page, stack);
                gridRows(page);
                walk(page);
            }
            return;
        }
        if (auto *scroll = qobject_cast<QScrollArea *>(container)) {
            if (QWidget *contents = scroll->widget(); contents && contents->isVisible())
                walk(contents);
            return;
        }
        if (isControl(container))
            return;
        QList<QWidget *> children;
        for (QObject *o : container->children()) {
            auto *w = qobject_cast<QWidget *>(o);
            if (w && !w->isWindow() && w->isVisible() && !w->geometry().isEmpty())
                children << w;
        }
        for (qsizetype i = 0; i < children.size(); ++i) {
            for (qsizetype j = i + 1; j < children.size(); ++j)
                if (children[i]->geometry().intersects(children[j]->geometry()))
                    fault(QStringLiteral("%1 overlaps %2")
                              .arg(describe(children[i]), describe(children[j])));
            within(children[i], container);
            captionFits(children[i]);
            digitsOnly(children[i]);
            gridRows(children[i]);
            walk(children[i]);
        }
    }

    // The main window kept the size it was given (a screen that needs more makes it grow).
    void windowSize(const QWidget *window, QSize wanted) {
        if (window->size() != wanted)
            fault(QStringLiteral("the main window is %1x%2 instead of %3x%4")
                      .arg(window->width())
                      .arg(window->height())
                      .arg(wanted.width())
                      .arg(wanted.height()));
    }

    void within(QWidget *child, QWidget *parent) {
        if (!parent->rect().contains(child->geometry()))
            fault(QStringLiteral("%1 sticks out of %2").arg(describe(child), describe(parent)));
    }

    void captionFits(QWidget *w) {
        const QSize room = captionRoom(w);
        const QString text = caption(w);
        if (!room.isValid() || text.isEmpty())
            return;
        const QSize needed = w->fontMetrics().size(0, text);
        // A line of text may lose a pixel of its leading, not of its letters.
        if (needed.width() > room.width() || needed.height() > room.height() + 2)
            fault(QStringLiteral("%1: \"%2\" needs %3x%4, has %5x%6")
                      .arg(describe(w), text)
                      .arg(needed.width())
                      .arg(needed.height())
                      .arg(room.width())
                      .arg(room.height()));
    }

    // A date or month field takes its digits whatever the keyboard's language.
    void digitsOnly(QWidget *w) {
        auto *edit = qobject_cast<controls::MaskedEdit *>(w);
        if (edit && edit->editMask().contains(QLatin1String("9999-")) &&
            edit->testAttribute(Qt::WA_InputMethodEnabled))
            fault(QStringLiteral("%1 (%2) takes the input method's letters")
                      .arg(describe(w), edit->editMask()));
    }

    // A grid that scrolls shows at least three of its rows.
    void gridRows(QWidget *w) {
        auto *view = qobject_cast<QTableView *>(w);
        if (!view || view->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff)
            return;
        const int rowHeight = view->verticalHeader()->defaultSectionSize();
        const int rows = rowHeight > 0 ? view->viewport()->height() / rowHeight : 0;
        if (rows < 3)
            fault(QStringLiteral("%1 has room for %2 rows").arg(describe(w)).arg(rows));
    }

    void fault(const QString &text) { m_faults << m_where + QStringLiteral(": ") + text; }
    const QStringList &faults() const { return m_faults; }

    static void settle() {
        for (int i = 0; i < 2; ++i)
            QApplication::processEvents();
    }

private:
    QString m_where;
    QStringList m_faults;
};

const QSize kSizes[] = {QSize(1280, 800), QSize(1024, 768)};

// The demo's organisation with one department that has a work group for every work code.
const char *kThirteenGroupsDept = "1111";

class ScreenLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database::Install();
        db = new test::TempDatabase;
        test::GenerateDemoInto(*db, 3, QStringLiteral("20261209"));
        // Thirteen work groups in one department: one employee in service for each work code.
        static const char *works[] = {"100", "110", "200", "210", "300", "310", "400",
                                      "410", "500", "600", "610", "620", "700"};
        for (int n = 0; n < 13; ++n)
            db->exec(QStringLiteral("INSERT INTO QA010MS (EMP_NO, EMP_K_NAME, EMP_STAY_CODE, "
                                    "EMP_KIND_CODE, EMP_POS_CODE, EMP_WORK_CODE, "
                                    "EMP_AFF_DEPT_CODE) VALUES ('9900%1', '직무%2', '01', '02', "
                                    "'60', '%3', '%4')")
                         .arg(n, 4, 10, QChar(u'0'))
                         .arg(n + 1)
                         .arg(QLatin1String(works[n]), QLatin1String(kThirteenGroupsDept)));
    }
    static void TearDownTestSuite() {
        delete db;
        db = nullptr;
    }

    void SetUp() override {
        qputenv("KELO_IPC_SUFFIX", QUuid::createUuid().toString(QUuid::Id128).left(12).toLatin1());
        screens::RegisterScreens(registry);
        const database::DemoUser &manager = database::DemoUsers().front();
        dm = std::make_unique<shell::TfrmZZD000>(QStringList{
            QStringLiteral("TESTDB"), QStringLiteral("kluser"), manager.empNo, manager.name});
        window = std::make_unique<shell::TfrmS0Main>(*dm, registry, QStringLiteral("KELO_S"));
        window->show();
    }
    void TearDown() override {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dm.reset();
        qunsetenv("KELO_IPC_SUFFIX");
    }

    void resizeWindow(QSize size) {
        window->resize(size);
        LayoutCheck::settle();
    }

    // Opens the program in a tab of the main window, laid out at the window's size.
    QWidget *open(const QString &caption, const QString &id) {
        window->OpenProgram(caption, id);
        LayoutCheck::settle();
        return window->activeScreen();
    }

    void closeActive() {
        window->RemoveActiveTab();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static test::TempDatabase *db;
    test::ScriptedDialogsScope dialogs;
    shell::ProgramRegistry registry;
    std::unique_ptr<shell::TfrmZZD000> dm;
    std::unique_ptr<shell::TfrmS0Main> window;
};

test::TempDatabase *ScreenLayout::db = nullptr;

TEST_F(ScreenLayout, EveryMenuProgramFitsBothWindowSizes) {
    QStringList faults;
    for (const QSize size : kSizes) {
        resizeWindow(size);
        for (const database::DemoProgram &p : database::DemoPrograms()) {
            QWidget *screen = open(p.name, p.id);
            ASSERT_NE(screen, nullptr) << p.id.toStdString();
            LayoutCheck check(
                QStringLiteral("%1 at %2x%3").arg(p.id).arg(size.width()).arg(size.height()));
            check.windowSize(window.get(), size);
            check.within(screen, screen->parentWidget());
            check.walk(screen);
            faults << check.faults();
            closeActive();
        }
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n"
                                  << faults.join(u'\n').toStdString();
}

// The organisation chart of a department with thirteen work groups after its search: the
// panels stand side by side, the first on screen, none over another.
TEST_F(ScreenLayout, ThirteenWorkGroupsStandApart) {
    QStringList faults;
    for (const QSize size : kSizes) {
        resizeWindow(size);
        auto *hub =
            qobject_cast<TfrmSZS000 *>(open(QStringLiteral("인사조회"), QStringLiteral("SQS000")));
        ASSERT_NE(hub, nullptr);
        hub->ShowSubScreen(2);
        LayoutCheck::settle();
        auto *chart = qobject_cast<screens::TfrmSQS030 *>(hub->subScreen(2));
        ASSERT_NE(chart, nullptr);
        ASSERT_TRUE(chart->cboDept->setValue(QLatin1String(kThirteenGroupsDept)));
        chart->bbtSearch->click();
        LayoutCheck::settle();
        ASSERT_EQ(chart->workGroups().size(), 13);
        LayoutCheck check(QStringLiteral("SQS030 at %1x%2").arg(size.width()).arg(size.height()));
        check.walk(chart);
        // Scrolled to the last panel, a new search shows the first one again.
        QScrollBar *across = chart->ScrollBox1->horizontalScrollBar();
        EXPECT_GT(across->maximum(), 0);
        across->setValue(across->maximum());
        chart->bbtSearch->click();
        LayoutCheck::settle();
        const QList<screens::TfrmSQS031 *> groups = chart->workGroups();
        for (screens::TfrmSQS031 *g : groups)
            if (g->objectName() == QStringLiteral("panDept0"))
                EXPECT_EQ(g->mapTo(chart->ScrollBox1->viewport(), QPoint(0, 0)).x(), 8);
        faults << check.faults();
        closeActive();
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n"
                                  << faults.join(u'\n').toStdString();
}

// The personnel card of the employee with the longest address and e-mail address at both
// sizes: every label and value whole, the four tabs with room for their rows.
TEST_F(ScreenLayout, ThePersonnelCardShowsAnEmployeeWhole) {
    const QString longest = test::QueryText(db->connection(), QStringLiteral(R"sql(
        SELECT EMP_NO, EMP_K_NAME
        FROM QA010MS
        ORDER BY LENGTH(EMP_EMAIL) + LENGTH(EMP_ADDR1) + LENGTH(EMP_ADDR2) DESC, EMP_NO
    )sql"));
    const QString empNo = longest.section(u',', 0, 0).section(u'|', 0, 0);
    const QString name = longest.section(u',', 0, 0).section(u'|', 1, 1);
    QStringList faults;
    for (const QSize size : kSizes) {
        resizeWindow(size);
        auto *hub = qobject_cast<screens::TfrmSQS000 *>(
            open(QStringLiteral("인사조회"), QStringLiteral("SQS000")));
        ASSERT_NE(hub, nullptr);
        hub->OpenEmployeeCard(empNo);
        LayoutCheck::settle();
        auto *card = qobject_cast<screens::TfrmSQS040 *>(hub->subScreen(3));
        ASSERT_NE(card, nullptr);
        ASSERT_EQ(card->cardText(QStringLiteral("EMP_K_NAME")), name);
        LayoutCheck check(QStringLiteral("SQS040 at %1x%2").arg(size.width()).arg(size.height()));
        check.walk(card);
        faults << check.faults();
        closeActive();
    }
    EXPECT_TRUE(faults.isEmpty()) << faults.size() << " faults:\n"
                                  << faults.join(u'\n').toStdString();
}

} // namespace
