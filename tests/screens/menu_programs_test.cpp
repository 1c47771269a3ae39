#include "database/demo.h"
#include "screens/registerscreens.h"
#include "shell/registry.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

// Every program of the demo menu (all of them granted to the demo manager) opens a screen
// named after it; the registry knows each ID.
TEST(MenuPrograms, EveryDemoMenuProgramOpensAScreen) {
    test::SchemaDatabase db;
    test::ScriptedDialogsScope dialogs;
    shell::ProgramRegistry registry;
    screens::RegisterScreens(registry);
    QStringList unknown;
    int opened = 0;
    for (const database::DemoProgram &p : database::DemoPrograms()) {
        SCOPED_TRACE(p.id.toStdString());
        if (!registry.isRegistered(p.id)) {
            unknown << p.id;
            continue;
        }
        std::unique_ptr<QWidget> screen(registry.create(p.id, db.connection()));
        ASSERT_NE(screen, nullptr);
        EXPECT_EQ(screen->objectName(), QStringLiteral("frm") + p.id);
        screen->show();
        QApplication::processEvents();
        ++opened;
    }
    EXPECT_TRUE(unknown.isEmpty()) << unknown.join(u' ').toStdString();
    EXPECT_EQ(opened, int(database::DemoPrograms().size()));
}

// True when some pixel of the widget is drawn in a strong red.
bool DrawsRed(QWidget *widget) {
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 90 && c.blue() < 90)
                return true;
        }
    return false;
}

// A button that cannot be pressed looks like one: the emphasised save buttons (bold red while
// they work) grey out in search mode like every other button, and turn red again when the
// screen is entering.
TEST(MenuPrograms, AButtonThatCannotBePressedLooksDisabled) {
    test::SchemaDatabase db;
    test::ScriptedDialogsScope dialogs;
    shell::ProgramRegistry registry;
    screens::RegisterScreens(registry);
    QStringList red;
    for (const database::DemoProgram &p : database::DemoPrograms()) {
        std::unique_ptr<QWidget> screen(registry.create(p.id, db.connection()));
        screen->resize(1200, 700);
        screen->show();
        QApplication::processEvents();
        for (auto *b : screen->findChildren<QAbstractButton *>())
            if (b->isVisible() && !b->isEnabled() && DrawsRed(b))
                red << p.id + u' ' + b->objectName();
    }
    EXPECT_TRUE(red.isEmpty()) << red.join(QStringLiteral(", ")).toStdString();

    std::unique_ptr<QWidget> screen(registry.create(QStringLiteral("SRI020"), db.connection()));
    screen->show();
    auto *save = screen->findChild<QAbstractButton *>(QStringLiteral("bbtSave"));
    ASSERT_NE(save, nullptr);
    screen->findChild<QAbstractButton *>(QStringLiteral("bbtSearch"))->click();
    QApplication::processEvents();
    ASSERT_TRUE(save->isEnabled());
    EXPECT_TRUE(DrawsRed(save));
}

} // namespace
