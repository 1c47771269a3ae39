#pragma once

namespace kelo::shell {
class ProgramRegistry;
}

namespace kelo::screens {

// Adds every screen to the program registry.
void RegisterScreens(shell::ProgramRegistry &registry);

} // namespace kelo::screens
