#include "db/backup.h"

#include "common/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelo::db {

namespace {

QString sqliteMessage(sqlite3 *handle, int code) {
    return handle ? QString::fromUtf8(sqlite3_errmsg(handle))
                  : QString::fromUtf8(sqlite3_errstr(code));
}

void exec(sqlite3 *handle, const char *sql) {
    const int rc = sqlite3_exec(handle, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw DbError(sqliteMessage(handle, rc));
}

// PRAGMA quick_check of the database of handle: empty when sound, else what it found.
QString quickCheck(sqlite3 *handle) {
    sqlite3_stmt *statement = nullptr;
    int rc = sqlite3_prepare_v2(handle, "PRAGMA quick_check", -1, &statement, nullptr);
    if (rc != SQLITE_OK)
        return sqliteMessage(handle, rc);
    QStringList found;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        found << QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        return sqliteMessage(handle, rc);
    return found == QStringList{QStringLiteral("ok")} ? QString()
                                                      : found.join(QStringLiteral("; "));
}

// Every page of the main database of from into that of to, in one step: one read
// transaction of from, one write transaction of to.
void copyPages(sqlite3 *from, sqlite3 *to) {
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        throw DbError(sqliteMessage(to, SQLITE_ERROR));
    const int rc = sqlite3_backup_step(backup, -1);
    const int finished = sqlite3_backup_finish(backup);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        throw DbError(QStringLiteral("다른 사용자가 데이터베이스를 사용 중입니다. 잠시 후 다시 "
                                     "시도하십시오. (%1)")
                          .arg(QString::fromUtf8(sqlite3_errstr(rc))));
    if (rc != SQLITE_DONE)
        throw DbError(sqliteMessage(to, rc));
    if (finished != SQLITE_OK)
        throw DbError(sqliteMessage(to, finished));
}

// A file written beside its final name and renamed into place when whole; removed when
// not put in place.
class StagedFile {
public:
    explicit StagedFile(const QString &path) : m_path(path) {
        const QString refused = RefusedOutputTarget(path);
        if (!refused.isEmpty())
            throw DbError(refused);
        const QFileInfo target(path);
        m_file.setFileTemplate(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                               QStringLiteral(".XXXXXX"));
        if (!m_file.open()) // made with mode 0600
            throw DbError(
                QStringLiteral("%1 cannot be written: %2").arg(path, m_file.errorString()));
        m_file.close(); // the name stays until the object goes
    }
    QString stagedPath() const { return m_file.fileName(); }

    void commit(mode_t mode) {
        const QByteArray staged = QFile::encodeName(m_file.fileName());
        // Written to the disk before it takes the name.
        const int fd = ::open(staged.constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            if (fd >= 0)
                ::close(fd);
            throw DbError(QStringLiteral("%1 cannot be written: %2").arg(m_path, why));
        }
        ::close(fd);
        // The target may have been replaced meanwhile.
        const QString refused = RefusedOutputTarget(m_path);
        if (!refused.isEmpty())
            throw DbError(refused);
        if (::chmod(staged.constData(), mode) != 0 ||
            std::rename(staged.constData(), QFile::encodeName(m_path).constData()) != 0)
            throw DbError(QStringLiteral("%1 cannot be written: %2")
                              .arg(m_path, QString::fromLocal8Bit(std::strerror(errno))));
        m_file.setAutoRemove(false);
    }

private:
    QString m_path;
    QTemporaryFile m_file;
};

// The server and user of an open server connection, as the client programs take them.
struct ServerLogin {
    QStringList arguments; // --host, --port, --username, --dbname
    QString password;
};

ServerLogin serverLogin(Connection &connection) {
    pg_conn *pg = connection.postgresHandle();
    ServerLogin login;
    login.arguments << QStringLiteral("--host") << QString::fromUtf8(PQhost(pg))
                    << QStringLiteral("--port") << QString::fromUtf8(PQport(pg))
                    << QStringLiteral("--username") << QString::fromUtf8(PQuser(pg))
                    << QStringLiteral("--no-password");
    login.password = QString::fromUtf8(PQpass(pg));
    return login;
}

QProcessEnvironment clientEnvironment(const ServerLogin &login) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), login.password);
    // Waiting for a client's locks ends with a message rather than never; the notices of
    // the schema's drop are no news.
    env.insert(QStringLiteral("PGOPTIONS"),
               QStringLiteral("-c lock_timeout=30s -c client_min_messages=warning"));
    return env;
}

// Runs a PostgreSQL client program to its end; a DbError with its messages when it fails.
void runClient(QProcess &process, const QString &program, const QStringList &arguments) {
    process.start(program, arguments);
    if (!process.waitForStarted())
        throw DbError(QStringLiteral("%1 cannot be started (%2); install the PostgreSQL client "
                                     "programs (the Debian package postgresql-client).")
                          .arg(program, process.errorString()));
}

void finishClient(QProcess &process, const QString &program) {
    process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw DbError(
            QStringLiteral("%1 failed: %2")
                .arg(program, QString::fromLocal8Bit(process.readAllStandardError()).trimmed()));
}

void dumpServer(Connection &connection, const QString &file) {
    StagedFile staged(file);
    const ServerLogin login = serverLogin(connection);
    QProcess dump;
    dump.setProcessEnvironment(clientEnvironment(login));
    dump.setStandardOutputFile(QProcess::nullDevice());
    runClient(dump, QStringLiteral("pg_dump"),
              login.arguments + QStringList{QStringLiteral("--format=custom"),
                                            QStringLiteral("--schema=kelo"),
                                            QStringLiteral("--file"), staged.stagedPath(),
                                            QString::fromUtf8(PQdb(connection.postgresHandle()))});
    finishClient(dump, QStringLiteral("pg_dump"));
    staged.commit(0600);
}

} // namespace

void BackupDatabase(Connection &connection, const QString &file) {
    if (!connection.isOpen())
        throw DbError(QStringLiteral("The database connection is not open."));
    if (connection.engine() == Engine::Postgres) {
        dumpServer(connection, file);
        return;
    }
    StagedFile staged(file);
    sqlite3 *to = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(staged.stagedPath()).constData(), &to,
                                   SQLITE_OPEN_READWRITE, nullptr);
    try {
        if (rc != SQLITE_OK)
            throw DbError(
                QStringLiteral("%1 cannot be written: %2").arg(file, sqliteMessage(to, rc)));
        copyPages(connection.sqliteHandle(), to);
        // One file, without a log beside it.
        exec(to, "PRAGMA journal_mode = DELETE");
        const QString problem = quickCheck(to);
        if (!problem.isEmpty())
            throw DbError(QStringLiteral("The copy in %1 fails its check: %2").arg(file, problem));
    } catch (...) {
        sqlite3_close(to);
        throw;
    }
    if (sqlite3_close(to) != SQLITE_OK)
        throw DbError(QStringLiteral("%1 cannot be written.").arg(file));
    struct stat st {};
    const mode_t mode = ::stat(QFile::encodeName(connection.databaseFile()).constData(), &st) == 0
                            ? mode_t(st.st_mode & 0666)
                            : mode_t(0600);
    staged.commit(mode);
}

qint64 SqliteDatabaseHolder(const QString &path) {
    // Every connection to a database in WAL mode holds a read lock on the "DMS" byte of its
    // shared memory (byte 128 of the -shm file, SQLite's unix VFS) while it is open.
    const int fd =
        ::open(QFile::encodeName(path + QStringLiteral("-shm")).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 128;
    probe.l_len = 1;
    qint64 holder = 0;
    if (::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK)
        holder = probe.l_pid > 0 ? qint64(probe.l_pid) : -1;
    ::close(fd);
    return holder;
}

void RestoreSqliteDatabase(Connection &copy, const QString &target) {
    if (!copy.isOpen() || copy.engine() != Engine::Sqlite)
        throw DbError(QStringLiteral("The copy to restore is not an open database file."));
    const QFileInfo info(target);
    if (info.exists() && !info.isFile())
        throw DbError(QStringLiteral("%1 is not a database file.").arg(target));
    if (info.exists() &&
        QFileInfo(copy.databaseFile()).canonicalFilePath() == info.canonicalFilePath())
        throw DbError(QStringLiteral("%1 is the copy itself.").arg(target));
    if (const qint64 holder = SqliteDatabaseHolder(target))
        throw DbError(
            QStringLiteral("The database %1 is open in another program%2; close every "
                           "program that uses it before restoring.")
                .arg(target, holder > 0 ? QStringLiteral(" (process %1)").arg(holder) : QString()));
    const QString problem = quickCheck(copy.sqliteHandle());
    if (!problem.isEmpty())
        throw DbError(
            QStringLiteral("The copy %1 fails its check: %2").arg(copy.databaseFile(), problem));
    if (!info.exists())
        Connection::createSqliteFile(target);
    Connection connection;
    connection.setSqliteFile(target);
    connection.open();
    sqlite3 *to = connection.sqliteHandle();
    // The copy's pages, whatever their size, into a file without a log; then the log again.
    exec(to, "PRAGMA journal_mode = DELETE");
    copyPages(copy.sqliteHandle(), to);
    exec(to, "PRAGMA journal_mode = WAL");
}

void RestoreServerDatabase(Connection &connection, const QString &file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("%1 cannot be read: %2").arg(file, in.errorString()));
    const bool customFormat = in.read(5) == "PGDMP";
    in.close();
    const ServerLogin login = serverLogin(connection);
    const QString database = QString::fromUtf8(PQdb(connection.postgresHandle()));
    connection.close();

    // A custom-format dump as statements, written out whole first: psql must not run (and
    // commit) the beginning of a script whose writing failed.
    QTemporaryFile script(QDir::tempPath() + QStringLiteral("/kelo-restore.XXXXXX.sql"));
    QString statements = file;
    if (customFormat) {
        if (!script.open())
            throw DbError(
                QStringLiteral("A temporary file cannot be made: %1").arg(script.errorString()));
        script.close();
        QProcess restore;
        runClient(
            restore, QStringLiteral("pg_restore"),
            {QStringLiteral("--no-owner"), QStringLiteral("--file"), script.fileName(), file});
        finishClient(restore, QStringLiteral("pg_restore"));
        statements = script.fileName();
    }
    QProcess psql;
    psql.setProcessEnvironment(clientEnvironment(login));
    psql.setStandardOutputFile(QProcess::nullDevice());
    runClient(psql, QStringLiteral("psql"),
              login.arguments +
                  QStringList{QStringLiteral("--no-psqlrc"), QStringLiteral("--quiet"),
                              QStringLiteral("--single-transaction"),
                              QStringLiteral("--set=ON_ERROR_STOP=1"), QStringLiteral("--dbname"),
                              database, QStringLiteral("--command"),
                              QStringLiteral("DROP SCHEMA IF EXISTS kelo CASCADE"),
                              QStringLiteral("--file"), statements});
    finishClient(psql, QStringLiteral("psql"));
}

} // namespace kelo::db
