// Kelo_S: the management-information client. Started by the launcher with four
// arguments: database alias, database user, employee number, display name.

#include "common/application.h"
#include "screens/registerscreens.h"
#include "shell/registry.h"
#include "shell/startup.h"

int main(int argc, char **argv) {
    if (!kelo::DisplayAvailable("Kelo_S"))
        return 1;
    kelo::Application app(argc, argv);
    kelo::screens::RegisterScreens(kelo::shell::ProgramRegistry::standard());
    return kelo::shell::RunClient(app, kelo::shell::ProgramRegistry::standard());
}
