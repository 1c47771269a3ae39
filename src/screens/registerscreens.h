#pragma once

namespace kelo::shell {
class ProgramRegistry;
}

namespace kelo::screens {

// Adds the screens built so far to the program registry.
void RegisterScreens(shell::ProgramRegistry &registry);

} // namespace kelo::screens
