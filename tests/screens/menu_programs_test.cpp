#include "database/demo.h"
#include "screens/registerscreens.h"
#include "shell/registry.h"
#include "support/schema_database.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
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

} // namespace
