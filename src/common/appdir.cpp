#include "common/appdir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelo {

namespace {
QString &overridden() {
    static QString dir;
    return dir;
}

// The machine's folder of settings files.
const char kSystemSettings[] = "/etc/kelo";
} // namespace

QString AppDir() {
    if (!overridden().isEmpty())
        return overridden();
    // KELO_APP_DIR points a program at another folder of settings files (tests, demo runs).
    const QString fromEnvironment = qEnvironmentVariable("KELO_APP_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void SetAppDir(const QString &dir) {
    overridden() = dir;
}

QStringList SettingsFolders() {
    QStringList folders{AppDir()};
    if (!overridden().isEmpty() || !qEnvironmentVariableIsEmpty("KELO_APP_DIR"))
        return folders;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    folders << config + QStringLiteral("/kelo") << QLatin1String(kSystemSettings);
    return folders;
}

QString AppFile(const QString &fileName) {
    for (const QString &folder : SettingsFolders()) {
        const QString path = QDir(folder).filePath(fileName);
        if (QFileInfo::exists(path))
            return path;
    }
    return QDir(AppDir()).filePath(fileName);
}

void PrepareRuntimeDir() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t uid = ::geteuid();
    QByteArray user;
    if (const passwd *pw = ::getpwuid(uid))
        user = pw->pw_name;
    else
        user = QByteArray::number(uint(uid));
    // The folder Qt would fall back to.
    const QByteArray dir = QFile::encodeName(QDir::tempPath()) + "/runtime-" + user;
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        return;
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid ||
        (st.st_mode & 0777) != 0700)
        return;
    qputenv("XDG_RUNTIME_DIR", dir);
}

} // namespace kelo
