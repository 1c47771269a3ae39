#include "common/appdir.h"

#include <QCoreApplication>
#include <QDir>

namespace kelo {

namespace {
QString &overridden() {
    static QString dir;
    return dir;
}
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

QString AppFile(const QString &fileName) {
    return QDir(AppDir()).filePath(fileName);
}

} // namespace kelo
