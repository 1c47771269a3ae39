#include "tools/targets.h"

#include "common/appdir.h"
#include "shell/password.h"

#include <QSettings>

namespace kelo::tools {

QStringList TargetParams(const QString &target) {
    QSettings ini(AppFile(QStringLiteral("Databases.ini")), QSettings::IniFormat);
    QString user = QStringLiteral("KLUSER");
    for (const QString &group : ini.childGroups())
        if (group.compare(target.trimmed(), Qt::CaseInsensitive) == 0)
            user = ini.value(group + QStringLiteral("/User"), user).toString();
    QString password = qEnvironmentVariable("PGPASSWORD");
    if (password.isEmpty())
        password = shell::ReadDbPassword(user);
    return {QStringLiteral("DATABASE=") + target, QStringLiteral("USER_NAME=") + user,
            QStringLiteral("PASSWORD=") + password};
}

} // namespace kelo::tools
