#include "database/schema.h"

#include "database/codes.h"
#include "database/procedures.h"
#include "database/serverfunctions.h"
#include "db/dialect.h"
#include "db/query.h"
#include "db/serverobjects.h"
#include "db/transaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef __linux__
#include <sys/stat.h>
#endif

namespace kelo::database {

const QString &PostgresServerFunctionsScript();

int CurrentSchemaVersion() {
    return int(SchemaScripts().size());
}

int SchemaVersion(db::Connection &connection) {
    db::Query q(connection);
    if (connection.engine() == db::Engine::Postgres) {
        // The server keeps the version in a table of ours.
        q.setSql(QStringLiteral(R"sql(
SELECT COUNT(*)
FROM information_schema.tables
WHERE table_schema = 'kelo'
    AND table_name = 'kelo_schema_version'
)sql"));
        q.open();
        if (q.integer(0) == 0)
            return 0;
        q.setSql(QStringLiteral(R"sql(
SELECT MAX(VERSION)
FROM KELO_SCHEMA_VERSION
)sql"));
        q.open();
        return int(q.integer(0));
    }
    q.setSql(QStringLiteral("PRAGMA user_version"));
    q.open();
    return int(q.integer(0));
}

namespace {

void setSchemaVersion(db::Connection &connection, int version) {
    if (connection.engine() == db::Engine::Postgres)
        connection.executeScript(QStringLiteral(R"sql(
CREATE TABLE IF NOT EXISTS KELO_SCHEMA_VERSION (VERSION INTEGER NOT NULL);
DELETE FROM KELO_SCHEMA_VERSION;
INSERT INTO KELO_SCHEMA_VERSION VALUES (%1);
)sql")
                                     .arg(version));
    else
        connection.executeScript(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

// The tables of the database other than DUAL.
int tableCount(db::Connection &connection) {
    db::Query q(connection);
    if (connection.engine() == db::Engine::Postgres)
        q.setSql(QStringLiteral(R"sql(
SELECT COUNT(*)
FROM information_schema.tables
WHERE table_schema = 'kelo'
    AND table_name <> 'dual'
)sql"));
    else
        q.setSql(QStringLiteral(R"sql(
SELECT COUNT(*)
FROM sqlite_master
WHERE type = 'table'
    AND name <> 'DUAL'
)sql"));
    q.open();
    return int(q.integer(0));
}

} // namespace

void MigrateSchema(db::Connection &connection) {
    const int have = SchemaVersion(connection);
    const auto &scripts = SchemaScripts();
    if (have > int(scripts.size()))
        throw db::DbError(QStringLiteral("The database has schema version %1, newer than this "
                                         "program's %2; use a newer program.")
                              .arg(have)
                              .arg(scripts.size()));
    if (have == int(scripts.size()))
        return;
    db::Transaction t(connection);
    t.begin();
    for (int i = have; i < int(scripts.size()); ++i) {
        try {
            connection.executeScript(scripts[size_t(i)].second);
        } catch (const db::DbError &e) {
            throw db::DbError(QStringLiteral("%1: %2").arg(scripts[size_t(i)].first, e.message()));
        }
    }
    setSchemaVersion(connection, int(scripts.size()));
    // The report role reads the tables the scripts made.
    if (connection.engine() == db::Engine::Postgres)
        connection.executeScript(db::PostgresReportRoleScript());
    t.commit();
}

void CheckSchema(db::Connection &connection, OlderSchema older) {
    const QString file = QDir::toNativeSeparators(connection.databaseFile());
    const int have = SchemaVersion(connection);
    const int current = CurrentSchemaVersion();
    if (have == 0) {
        const bool empty = tableCount(connection) == 0;
        throw db::DbError(
            (empty ? QStringLiteral("%1은(는) 빈 파일입니다: 이 시스템의 데이터베이스가 아닙니다.")
                   : QStringLiteral("%1은(는) 이 시스템의 데이터베이스가 아닙니다(스키마가 "
                                    "없습니다)."))
                .arg(file) +
            QStringLiteral(" 새 데이터베이스는 'kelo-db init 파일' 로 만듭니다."));
    }
    if (have > current)
        throw db::DbError(QStringLiteral("%1의 스키마 버전 %2은(는) 이 프로그램의 버전 %3보다 "
                                         "새롭습니다. 새 버전의 프로그램을 사용하십시오.")
                              .arg(file)
                              .arg(have)
                              .arg(current));
    if (have == current)
        return;
    if (older == OlderSchema::Refuse)
        throw db::DbError(QStringLiteral("%1의 스키마 버전 %2은(는) 이 프로그램의 버전 %3보다 "
                                         "오래되었습니다. 'kelo-db upgrade %1' 로 올리십시오.")
                              .arg(file)
                              .arg(have)
                              .arg(current));
    InstallServerObjects(connection);
    MigrateSchema(connection);
}

QList<qint64> ProcessesHoldingFile(const QString &path) {
    QList<qint64> holders;
#ifdef __linux__
    struct stat target {};
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return holders;
    const qint64 self = QCoreApplication::applicationPid();
    const QStringList pids =
        QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        bool numeric = false;
        const qint64 id = pid.toLongLong(&numeric);
        if (!numeric || id == self)
            continue;
        const QString fdDir = QStringLiteral("/proc/%1/fd").arg(pid);
        const QStringList fds =
            QDir(fdDir).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &fd : fds) {
            struct stat held {};
            if (::stat(QFile::encodeName(fdDir + u'/' + fd).constData(), &held) == 0 &&
                held.st_dev == target.st_dev && held.st_ino == target.st_ino) {
                holders << id;
                break;
            }
        }
    }
#endif
    return holders;
}

void Install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    db::ServerObjects &objects = db::ServerObjects::standard();
    RegisterServerFunctions(objects);
    RegisterProcedures(objects);
}

void CreateDatabase(const QString &path, bool force) {
    Install();
    if (QFileInfo::exists(path)) {
        if (!force)
            throw db::DbError(
                QStringLiteral("The file %1 exists already; use --force to replace it.").arg(path));
        // A running client would go on writing into the removed file.
        const QList<qint64> holders = ProcessesHoldingFile(path);
        if (!holders.isEmpty())
            throw db::DbError(QStringLiteral("The file %1 is open in another program (process %2); "
                                             "close it before replacing the database.")
                                  .arg(path)
                                  .arg(holders.first()));
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(path + QLatin1String(suffix));
    }
    db::Connection::createSqliteFile(path);
    db::Connection connection;
    connection.setSqliteFile(path);
    connection.open();
    FillNewDatabase(connection);
}

void InstallServerObjects(db::Connection &connection) {
    if (connection.engine() != db::Engine::Postgres)
        return;
    connection.executeScript(db::PostgresDialectScript());
    connection.executeScript(PostgresServerFunctionsScript());
    connection.executeScript(db::PostgresReportRoleScript());
}

QString ReportRoleProblem(db::Connection &connection) {
    if (connection.engine() != db::Engine::Postgres)
        return QString();
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
SELECT COUNT(*), MAX(CASE WHEN pg_has_role(session_user, R.oid, 'MEMBER') THEN 1 ELSE 0 END)
FROM pg_roles R
WHERE R.rolname = :AROLE
)sql"));
    q.setParam(QStringLiteral("AROLE"), db::ReportRole());
    q.open();
    const QString user = connection.param(QStringLiteral("USER_NAME"));
    if (q.integer(0) == 0)
        return QStringLiteral("보고서 정의의 문장을 실행할 역할 %1이(가) 서버에 없습니다. 서버 "
                              "관리자가 만들고 %2에게 주어야 합니다: CREATE ROLE %1 NOLOGIN "
                              "NOINHERIT; GRANT %1 TO \"%2\"; 그다음 kelo-db upgrade를 다시 "
                              "실행하십시오(docs/postgres.md).")
            .arg(db::ReportRole(), user);
    if (q.integer(1) == 0)
        return QStringLiteral("%2은(는) 보고서 역할 %1로 바꿀 수 없습니다. 서버 관리자가 GRANT %1 "
                              "TO \"%2\"; 를 실행해야 합니다(docs/postgres.md).")
            .arg(db::ReportRole(), user);
    return QString();
}

void FillNewDatabase(db::Connection &connection) {
    if (connection.engine() == db::Engine::Postgres)
        connection.executeScript(PostgresServerFunctionsScript());
    MigrateSchema(connection);
    db::Transaction t(connection);
    t.begin();
    WriteCodeSets(connection);
    WriteCalendar(connection, 2000, 2035);
    t.commit();
}

void CreateServerDatabase(db::Connection &connection, bool force) {
    Install();
    connection.open();
    if (connection.engine() != db::Engine::Postgres)
        throw db::DbError(QStringLiteral("%1 is not a database server; give a file path.")
                              .arg(connection.databaseFile()));
    if (SchemaVersion(connection) > 0 || tableCount(connection) > 0) {
        if (!force)
            throw db::DbError(QStringLiteral("The database %1 holds this system's tables already; "
                                             "use --force to replace them.")
                                  .arg(connection.databaseFile()));
        connection.executeScript(QStringLiteral("DROP SCHEMA IF EXISTS kelo CASCADE"));
    }
    InstallServerObjects(connection);
    FillNewDatabase(connection);
}

} // namespace kelo::database
