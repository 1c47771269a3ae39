#pragma once

namespace kelo {

// The Windows face names the screens and reports ask for ("굴림", "굴림체", "바탕",
// "Gulim") mapped to the Nanum faces. Installing them again changes nothing.
void InstallFontSubstitutions();

} // namespace kelo
