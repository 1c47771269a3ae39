// Kelo_S: the management-information client. Started by the launcher with four
// arguments: database alias, database user, employee number, display name.

#include "common/appdir.h"
#include "common/application.h"
#include "screens/registerscreens.h"
#include "shell/registry.h"
#include "shell/startup.h"

#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "usage: Kelo_S ALIAS USER EMPNO NAME\n"
    "The management-information client. The launcher (Kelo) starts it with these four\n"
    "arguments once the employee has signed in:\n"
    "  ALIAS  the database: an alias of Databases.ini, or the path of a SQLite file\n"
    "  USER   the database user\n"
    "  EMPNO  the employee number\n"
    "  NAME   the employee's name, as the window shows it\n"
    "  --help this text\n"
    "Settings files (Databases.ini, Kelo_S.ini, Main.ini, SBUpdate.ini) are read beside the\n"
    "program, then from ~/.config/kelo, then from /etc/kelo (KELO_APP_DIR names one folder\n"
    "instead).\n";

} // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    if (!kelo::DisplayAvailable("Kelo_S"))
        return 1;
    kelo::PrepareRuntimeDir();
    kelo::Application app(argc, argv);
    // Qt has taken its own options; any other is not the client's.
    for (const QString &a : app.arguments().mid(1))
        if (a.startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "Kelo_S: not understood: %s\n%s", a.toLocal8Bit().constData(),
                         kUsage);
            return 2;
        }
    kelo::screens::RegisterScreens(kelo::shell::ProgramRegistry::standard());
    return kelo::shell::RunClient(app, kelo::shell::ProgramRegistry::standard());
}
