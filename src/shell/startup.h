#pragma once

#include "common/application.h"
#include "common/fonts.h"

namespace kelo::shell {

class ProgramRegistry;

// The Windows face names mapped to the Nanum faces (common/fonts.h).
using kelo::InstallFontSubstitutions;

// The program entry: the single-instance guard, the splash, the data module with
// the connection, the main window, the message loop. The exit code is 0 after a
// normal run or a second start, 1 when the program could not start (arguments,
// connection).
int RunClient(Application &app, const ProgramRegistry &registry);

} // namespace kelo::shell
