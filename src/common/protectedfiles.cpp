#include "common/protectedfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QStringList>

#include <sys/stat.h>

namespace kelo {

namespace {

struct Registry {
    QMutex mutex;
    QStringList paths; // absolute; a path opened twice is listed twice
};

Registry &registry() {
    static Registry r;
    return r;
}

const char *const kSuffixes[] = {"", "-wal", "-shm", "-journal"};

bool sameFile(const QString &a, const QString &b) {
    struct stat x {
    }, y{};
    return ::stat(QFile::encodeName(a).constData(), &x) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &y) == 0 && x.st_dev == y.st_dev &&
           x.st_ino == y.st_ino;
}

} // namespace

void ProtectDatabaseFile(const QString &path) {
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.paths << QFileInfo(path).absoluteFilePath();
}

void ReleaseDatabaseFile(const QString &path) {
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    r.paths.removeOne(QFileInfo(path).absoluteFilePath());
}

bool IsDatabaseFile(const QString &path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    // The canonical name sees through links and "..": stat only.
    const QString canonical = info.canonicalFilePath();
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (const QString &db : std::as_const(r.paths)) {
        const QString canonicalDb = QFileInfo(db).canonicalFilePath();
        for (const char *suffix : kSuffixes) {
            const QString file = db + QLatin1String(suffix);
            if (absolute == file || sameFile(path, file))
                return true;
            if (!canonicalDb.isEmpty() && (canonical == canonicalDb + QLatin1String(suffix) ||
                                           absolute == canonicalDb + QLatin1String(suffix)))
                return true;
        }
    }
    return false;
}

QString DatabaseFileReason() {
    return QStringLiteral("프로그램이 사용 중인 데이터베이스 파일입니다");
}

} // namespace kelo
