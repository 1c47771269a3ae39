#pragma once

#include <QString>

namespace kelo {

// The directory of the executables and their settings files (Main.ini,
// SBUpdate.ini, Kelo_S.ini, Databases.ini). Defaults to the running
// program's directory; tests and tools may point it elsewhere.
QString AppDir();
void SetAppDir(const QString &dir);

// Path of a file in AppDir.
QString AppFile(const QString &fileName);

} // namespace kelo
