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

FileKind KindOfFile(const QString &path, bool followLinks) {
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if ((followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0)
        return FileKind::Absent; // or unreachable: opening it then says why
    if (S_ISREG(st.st_mode))
        return FileKind::Regular;
    if (S_ISLNK(st.st_mode))
        return FileKind::Link;
    if (S_ISFIFO(st.st_mode))
        return FileKind::Fifo;
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return FileKind::Device;
    if (S_ISDIR(st.st_mode))
        return FileKind::Directory;
    if (S_ISSOCK(st.st_mode))
        return FileKind::Socket;
    return FileKind::Other;
}

QString RefusedInputFile(const QString &path) {
    switch (KindOfFile(path, true)) {
    case FileKind::Regular:
        return IsDatabaseFile(path) ? DatabaseFileReason() : QString();
    case FileKind::Absent:
        return QFileInfo(path).isSymLink() ? QStringLiteral("링크가 가리키는 파일이 없습니다")
                                           : QStringLiteral("파일이 없습니다");
    case FileKind::Directory:
        return QStringLiteral("폴더입니다");
    case FileKind::Fifo:
        return QStringLiteral("일반 파일이 아닙니다: FIFO(파이프)");
    case FileKind::Device:
        return QStringLiteral("일반 파일이 아닙니다: 장치 파일");
    case FileKind::Socket:
        return QStringLiteral("일반 파일이 아닙니다: 소켓");
    case FileKind::Link:
    case FileKind::Other:
        break;
    }
    return QStringLiteral("일반 파일이 아닙니다");
}

} // namespace kelo
