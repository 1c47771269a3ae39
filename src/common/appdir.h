#pragma once

#include <QString>
#include <QStringList>

namespace kelo {

// The directory of the executables and their settings files (Main.ini,
// SBUpdate.ini, Kelo_S.ini, Databases.ini). Defaults to the running
// program's directory; KELO_APP_DIR, tests and tools (--app-dir) may point it elsewhere.
QString AppDir();
void SetAppDir(const QString &dir);

// The folders a settings file is looked for in, first first: AppDir; then, unless AppDir
// was pointed elsewhere, the user's folder ($XDG_CONFIG_HOME/kelo, ~/.config/kelo by
// default) and the machine's (/etc/kelo), where an installed program finds its settings
// (its own folder is the system's). A folder named by KELO_APP_DIR or --app-dir is the
// only one.
QStringList SettingsFolders();

// The settings file fileName: in the first of SettingsFolders() that holds it (one file
// gives all its settings: files are not merged), else its path in AppDir. A relative path
// inside a settings file is relative to the folder of that file.
QString AppFile(const QString &fileName);

// Qt puts its runtime files in $XDG_RUNTIME_DIR and, when that is not set (a service, a
// cron job, a shell under su), warns on standard error and uses /tmp/runtime-USER. Every
// program calls this before its application object: it makes that folder itself (mode
// 0700) and names it, so an ordinary run says nothing. A folder there that is not the
// user's own, or is open to others, is left alone and Qt's warning stands.
void PrepareRuntimeDir();

} // namespace kelo
