#include "db/connection.h"

#include "common/appdir.h"
#include "common/protectedfiles.h"
#include "db/dialect.h"
#include "db/serverobjects.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>

#include <libpq-fe.h>
#include <set>
#include <sqlite3.h>
#include <utility>

namespace kelo::db {

QString PostgresScript(const QString &sql) {
    // Outside literals and comments, the column types of SQLite's scripts read as the
    // server's: REAL figures are exact decimals, BLOBs are bytea; WITHOUT ROWID goes.
    QString out;
    out.reserve(sql.size());
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') {
            qsizetype j = i + 1;
            while (j < n && !(sql.at(j) == c && (j + 1 >= n || sql.at(j + 1) != c)))
                j += sql.at(j) == c ? 2 : 1;
            out += QStringView(sql).mid(i, std::min(j + 1, n) - i);
            i = j + 1;
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            qsizetype j = sql.indexOf(u'\n', i);
            if (j < 0)
                j = n;
            out += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == u'$' && i + 1 < n && sql.at(i + 1) == u'$') {
            // A function body is the server's own text.
            const qsizetype j = sql.indexOf(QStringLiteral("$$"), i + 2);
            const qsizetype stop = j < 0 ? n : j + 2;
            out += QStringView(sql).mid(i, stop - i);
            i = stop;
        } else if (c.isLetter() &&
                   (i == 0 || !(sql.at(i - 1).isLetterOrNumber() || sql.at(i - 1) == u'_'))) {
            qsizetype j = i;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_'))
                ++j;
            const QString word = sql.mid(i, j - i).toUpper();
            if (word == QLatin1String("REAL")) {
                out += QStringLiteral("NUMERIC");
            } else if (word == QLatin1String("BLOB")) {
                out += QStringLiteral("BYTEA");
            } else if (word == QLatin1String("WITHOUT")) {
                qsizetype k = j;
                while (k < n && sql.at(k).isSpace())
                    ++k;
                if (sql.mid(k, 5).toUpper() == QLatin1String("ROWID")) {
                    j = k + 5;
                } else {
                    out += sql.mid(i, j - i);
                }
            } else {
                out += sql.mid(i, j - i);
            }
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString EngineMessage(PGconn *connection, const PGresult *result) {
    QString engine =
        QString::fromUtf8(result ? PQresultErrorMessage(result) : PQerrorMessage(connection))
            .trimmed();
    if (engine.isEmpty())
        engine = QString::fromUtf8(PQerrorMessage(connection)).trimmed();
    const QByteArray state =
        result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    const char *words = nullptr;
    if (state == "55P03" || state == "40P01")
        words = "다른 사용자가 데이터베이스를 사용 중입니다. 잠시 후 다시 시도하십시오.";
    else if (state == "25006" || state == "42501")
        words = "데이터베이스에 쓸 수 없습니다(권한 없음 또는 읽기 전용).";
    else if (state == "53100")
        words = "디스크 공간이 부족하여 데이터베이스에 쓸 수 없습니다.";
    else if (PQstatus(connection) == CONNECTION_BAD || state.startsWith("08") || state == "57P01")
        words = "데이터베이스 서버와의 연결이 끊어졌습니다.";
    if (!words)
        return engine;
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(words), engine);
}

QString EngineMessage(sqlite3 *handle) {
    const QString engine = QString::fromUtf8(sqlite3_errmsg(handle));
    const char *words = nullptr;
    switch (sqlite3_errcode(handle) & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        words = "다른 사용자가 데이터베이스를 사용 중입니다. 잠시 후 다시 시도하십시오.";
        break;
    case SQLITE_READONLY:
        words = "데이터베이스에 쓸 수 없습니다(읽기 전용).";
        break;
    case SQLITE_FULL:
        words = "디스크 공간이 부족하여 데이터베이스에 쓸 수 없습니다.";
        break;
    case SQLITE_NOTADB:
        words = "데이터베이스 파일이 아닙니다.";
        break;
    default:
        return engine;
    }
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(words), engine);
}

struct Connection::Private {
    QStringList params;
    QString sqliteFile; // set directly, bypassing the alias
    QString connectionName;
    QString openFile;
    QString protectedFile; // the SQLite file no other part of the program may open
    sqlite3 *handle = nullptr;
    PGconn *pg = nullptr;
    Engine engine = Engine::Sqlite;
    int session = 0;
    bool inTransaction = false;
    int transactionId = 0;
    const ServerObjects *objects = &ServerObjects::standard();
    std::set<Statement *> statements;
    const StatementLimits *limits = nullptr;
    bool limitedRunning = false;
    // PostgreSQL: this session's prepared statements by their text.
    QHash<QByteArray, std::shared_ptr<PreparedStatement>> prepared;
    quint64 preparedClock = 0;

    // Deallocates the statement on the server (not in a failed transaction, where the
    // server takes no statement: it then stays prepared to the session's end).
    void deallocate(const PreparedStatement &s) {
        if (pg && PQstatus(pg) == CONNECTION_OK && PQtransactionStatus(pg) != PQTRANS_INERROR)
            PQclear(PQexec(pg, "DEALLOCATE " + s.name));
    }

    QSqlDatabase database() const { return QSqlDatabase::database(connectionName, false); }
};

namespace {

void execOrThrow(sqlite3 *h, const char *sql) {
    if (sqlite3_exec(h, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(EngineMessage(h));
}

int nameIndex(const QStringList &params, const QString &name) {
    for (int i = 0; i < params.size(); ++i) {
        const QString &p = params.at(i);
        const qsizetype eq = p.indexOf(u'=');
        if (p.left(eq < 0 ? p.size() : eq).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// A name that no alias has is still a file when it reads as one.
bool looksLikeDatabaseFile(const QString &name) {
    for (const char *suffix : {".db", ".sqlite", ".sqlite3"})
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    return false;
}

DatabaseTarget fileTarget(const QString &path) {
    DatabaseTarget t;
    t.file = QFileInfo(path).absoluteFilePath();
    return t;
}

} // namespace

DatabaseTarget ResolveDatabase(const QString &aliasOrPath) {
    const QString name = aliasOrPath.trimmed();
    if (name.isEmpty())
        throw DbError(QStringLiteral("No database alias was given (parameter DATABASE)."));
    // A path: an alias never holds a '/'. A bare name is an alias where Databases.ini has
    // it, else a file where it names one or reads as one.
    if (name.contains(u'/'))
        return fileTarget(name);
    const bool file = QFileInfo(name).isFile() || looksLikeDatabaseFile(name);
    const QString iniPath = AppFile(QStringLiteral("Databases.ini"));
    if (!QFileInfo::exists(iniPath)) {
        if (file)
            return fileTarget(name);
        throw DbError(
            QStringLiteral("The database alias '%1' cannot be resolved: %2 does not exist.")
                .arg(name, QDir::toNativeSeparators(iniPath)));
    }
    QSettings ini(iniPath, QSettings::IniFormat);
    for (const QString &group : ini.childGroups()) {
        if (group.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        ini.beginGroup(group);
        DatabaseTarget t;
        const QString driver =
            ini.value(QStringLiteral("Driver"), QStringLiteral("SQLITE")).toString().toUpper();
        t.file = ini.value(QStringLiteral("Database")).toString();
        t.host = ini.value(QStringLiteral("Host")).toString();
        t.port = ini.value(QStringLiteral("Port"), 5432).toInt();
        ini.endGroup();
        if (driver != QLatin1String("SQLITE") && driver != QLatin1String("POSTGRES"))
            throw DbError(QStringLiteral("The database alias '%1' names the driver %2, which this "
                                         "build does not support; use Driver=SQLITE or "
                                         "Driver=POSTGRES.")
                              .arg(name, driver));
        if (t.file.isEmpty())
            throw DbError(QStringLiteral("The database alias '%1' in %2 has no Database entry.")
                              .arg(name, QDir::toNativeSeparators(iniPath)));
        t.engine = driver == QLatin1String("POSTGRES") ? Engine::Postgres : Engine::Sqlite;
        t.alias = true;
        // A relative file is relative to the folder of the Databases.ini that names it.
        if (t.engine == Engine::Sqlite)
            t.file = QFileInfo(iniPath).absoluteDir().absoluteFilePath(t.file);
        return t;
    }
    if (file)
        return fileTarget(name);
    throw DbError(QStringLiteral("The database alias '%1' is not defined in %2.")
                      .arg(name, QDir::toNativeSeparators(iniPath)));
}

Connection::Connection() : d(std::make_unique<Private>()) {
    static QAtomicInt counter;
    d->connectionName = QStringLiteral("kelo-db-%1").arg(counter.fetchAndAddRelaxed(1));
}

Connection::~Connection() {
    close();
}

QStringList Connection::params() const {
    return d->params;
}
void Connection::setParams(const QStringList &nameValues) {
    d->params = nameValues;
}

int Connection::lockTimeout() const {
    bool ok = false;
    const int ms = param(QStringLiteral("LOCK_TIMEOUT")).toInt(&ok);
    return ok && ms >= 0 ? ms : 10000;
}

QString Connection::param(const QString &name) const {
    const int i = nameIndex(d->params, name);
    if (i < 0)
        return QString();
    const QString &p = d->params.at(i);
    return p.mid(p.indexOf(u'=') + 1);
}

void Connection::setParam(const QString &name, const QString &value) {
    const int i = nameIndex(d->params, name);
    const QString entry = name + u'=' + value;
    if (i < 0)
        d->params.append(entry);
    else
        d->params[i] = entry;
}

void Connection::setSqliteFile(const QString &path) {
    d->sqliteFile = path;
}

Engine Connection::engine() const {
    if (isOpen() || !d->sqliteFile.isEmpty())
        return d->engine;
    try {
        return ResolveDatabase(param(QStringLiteral("DATABASE"))).engine;
    } catch (const DbError &) {
        return Engine::Sqlite;
    }
}

void Connection::open() {
    if (isOpen())
        return;
    DatabaseTarget target;
    if (d->sqliteFile.isEmpty())
        target = ResolveDatabase(param(QStringLiteral("DATABASE")));
    else
        target.file = d->sqliteFile;
    if (target.engine == Engine::Postgres) {
        openPostgres(target.host, target.port, target.file);
        return;
    }
    d->engine = Engine::Sqlite;
    const QString file = target.file;
    const QFileInfo info(file);
    if (!info.exists())
        throw DbError(QStringLiteral("The database file %1 does not exist.")
                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    if (info.isDir())
        throw DbError(QStringLiteral("%1 is a folder, not a database file.")
                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    if (!info.isFile() || !info.isReadable())
        throw DbError(QStringLiteral("The database file %1 cannot be read.")
                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())));

    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), d->connectionName);
        // mode=rw: opening never creates a file.
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(lockTimeout()));
        if (!db.open()) {
            const QString message = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(d->connectionName);
            throw DbError(QStringLiteral("The database file %1 cannot be opened: %2")
                              .arg(QDir::toNativeSeparators(info.absoluteFilePath()), message));
        }
        const QVariant v = db.driver()->handle();
        d->handle = v.isValid() && qstrcmp(v.typeName(), "sqlite3*") == 0
                        ? *static_cast<sqlite3 *const *>(v.constData())
                        : nullptr;
    }
    d->openFile = info.absoluteFilePath();
    d->protectedFile = d->openFile;
    ProtectDatabaseFile(d->protectedFile);
    try {
        if (!d->handle)
            throw DbError(QStringLiteral("The SQLite driver did not hand out its connection."));
        // A file that is not a database fails here, on its first read.
        execOrThrow(d->handle, R"sql(
            SELECT count(*)
            FROM sqlite_master
        )sql");
        execOrThrow(d->handle, "PRAGMA foreign_keys = ON");
        installDialect(d->handle);
        d->objects->installFunctions(*this);
    } catch (const DbError &e) {
        close();
        throw DbError(QStringLiteral("The database file %1 cannot be used: %2")
                          .arg(QDir::toNativeSeparators(info.absoluteFilePath()), e.message()));
    }
}

void Connection::openPostgres(const QString &host, int port, const QString &database) {
    d->engine = Engine::Postgres;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), d->connectionName);
    if (!db.isValid()) {
        QSqlDatabase::removeDatabase(d->connectionName);
        throw DbError(QStringLiteral("The PostgreSQL driver of QtSql (QPSQL) is not installed."));
    }
    db.setHostName(host);
    db.setPort(port);
    db.setDatabaseName(database);
    db.setUserName(param(QStringLiteral("USER_NAME")));
    db.setPassword(param(QStringLiteral("PASSWORD")));
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=Kelo_S"));
    if (!db.open()) {
        const QString message = db.lastError().databaseText().trimmed().isEmpty()
                                    ? db.lastError().text()
                                    : db.lastError().databaseText().trimmed();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(d->connectionName);
        throw DbError(QStringLiteral("The database %1 on %2:%3 cannot be opened: %4")
                          .arg(database, host.isEmpty() ? QStringLiteral("localhost") : host)
                          .arg(port)
                          .arg(message));
    }
    {
        const QVariant v = db.driver()->handle();
        d->pg = v.isValid() && (qstrcmp(v.typeName(), "PGconn*") == 0 ||
                                qstrcmp(v.typeName(), "pg_conn*") == 0)
                    ? *static_cast<PGconn *const *>(v.constData())
                    : nullptr;
        if (!d->pg)
            qWarning("QPSQL handle type: %s", v.typeName());
        db = QSqlDatabase();
    }
    d->openFile = QStringLiteral("%1:%2/%3")
                      .arg(host.isEmpty() ? QStringLiteral("localhost") : host)
                      .arg(port)
                      .arg(database);
    ++d->session;
    d->prepared.clear();
    try {
        if (!d->pg)
            throw DbError(QStringLiteral("The PostgreSQL driver did not hand out its connection."));
        startSession();
    } catch (const DbError &) {
        close();
        throw;
    }
}

// The settings every session starts with: the dialect's functions before the
// engine's own, and the clock of the tests. Parallel workers only for statements ten times
// dearer than the server's default asks: a desk's statement of some thousand rows ran several
// times slower with workers than alone, their start dearer than the work they shared.
void Connection::startSession() {
    QString setup = QStringLiteral("SET search_path TO kelo, pg_catalog, public; "
                                   "SET client_min_messages TO warning; "
                                   "SET parallel_setup_cost TO 10000; "
                                   "SET random_page_cost TO 1.1; "
                                   "SET lock_timeout TO %1;")
                        .arg(lockTimeout());
    const QByteArray now = qgetenv("KELO_NOW");
    if (!now.isEmpty())
        setup +=
            QStringLiteral(" SET kelo.now TO '%1';").arg(QString::fromLatin1(now).remove(u'\''));
    executeScript(setup);
}

int Connection::session() const {
    return d->session;
}

void Connection::ensureSession() {
    if (d->engine != Engine::Postgres)
        return;
    if (!d->pg)
        throw DbError(QStringLiteral("The database connection is not open."));
    if (PQstatus(d->pg) == CONNECTION_OK)
        return;
    if (d->inTransaction) {
        // The server has ended the transaction with the session: nothing of it was kept.
        d->inTransaction = false;
        throw DbError(QStringLiteral("데이터베이스 서버와의 연결이 끊어져 작업을 저장하지 "
                                     "못했습니다. (%1)")
                          .arg(QString::fromUtf8(PQerrorMessage(d->pg)).trimmed()));
    }
    PQreset(d->pg);
    if (PQstatus(d->pg) != CONNECTION_OK)
        throw DbError(QStringLiteral("데이터베이스 서버와 다시 연결할 수 없습니다. (%1)")
                          .arg(QString::fromUtf8(PQerrorMessage(d->pg)).trimmed()));
    ++d->session;
    d->prepared.clear();
    startSession();
}

pg_conn *Connection::postgresHandle() const {
    if (!d->pg)
        throw DbError(QStringLiteral("The database connection is not open."));
    return d->pg;
}

void Connection::close() {
    for (Statement *s : std::set<Statement *>(d->statements))
        s->releaseStatement();
    if (d->handle && d->inTransaction)
        sqlite3_exec(d->handle, "ROLLBACK", nullptr, nullptr, nullptr);
    if (d->pg && d->inTransaction && PQstatus(d->pg) == CONNECTION_OK)
        PQclear(PQexec(d->pg, "ROLLBACK"));
    d->inTransaction = false;
    d->prepared.clear();
    d->handle = nullptr;
    d->pg = nullptr;
    d->openFile.clear();
    if (!d->protectedFile.isEmpty())
        ReleaseDatabaseFile(std::exchange(d->protectedFile, QString()));
    if (QSqlDatabase::contains(d->connectionName)) {
        {
            QSqlDatabase db = d->database();
            db.close();
        }
        QSqlDatabase::removeDatabase(d->connectionName);
    }
}

bool Connection::isOpen() const {
    return d->handle != nullptr || d->pg != nullptr;
}

bool Connection::inTransaction() const {
    return d->inTransaction;
}
int Connection::transactionId() const {
    return d->transactionId;
}

void Connection::checkFileUnchanged() const {
    if (d->pg)
        return; // a server's database is not a file of ours
    if (!d->handle)
        throw DbError(QStringLiteral("The database connection is not open."));
    int moved = 0;
    if (sqlite3_file_control(d->handle, "main", SQLITE_FCNTL_HAS_MOVED, &moved) == SQLITE_OK &&
        moved)
        throw DbError(QStringLiteral("데이터베이스 파일 %1이(가) 삭제되었거나 다른 파일로 "
                                     "바뀌었습니다. 저장하지 않았습니다. 프로그램을 다시 "
                                     "시작하십시오.")
                          .arg(QDir::toNativeSeparators(d->openFile)));
}

void Connection::startTransaction(int id) {
    if (!isOpen())
        throw DbError(QStringLiteral("The database connection is not open."));
    if (d->inTransaction)
        throw DbError(QStringLiteral("A transaction is already active on this connection."));
    checkFileUnchanged();
    ensureSession();
    // SQLite: the write lock from the start, so that what a save checks before it writes
    // still holds when it writes (a deferred transaction could only fail at its first write).
    executeScript(d->pg ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
    d->inTransaction = true;
    d->transactionId = id;
}

void Connection::commit() {
    if (!d->inTransaction)
        throw DbError(QStringLiteral("No transaction is active on this connection."));
    try {
        executeScript(QStringLiteral("COMMIT"));
    } catch (const DbError &) {
        // A commit that fails on the server has ended the transaction there.
        if (d->pg)
            d->inTransaction = false;
        throw;
    }
    d->inTransaction = false;
}

void Connection::rollback() {
    if (!d->inTransaction)
        return;
    d->inTransaction = false;
    if (d->pg && PQstatus(d->pg) != CONNECTION_OK)
        return; // the server ended it with the session
    executeScript(QStringLiteral("ROLLBACK"));
}

void Connection::executeScript(const QString &sql) {
    if (!isOpen())
        throw DbError(QStringLiteral("The database connection is not open."));
    checkNotBusy();
    if (d->pg) {
        PGresult *r = PQexec(d->pg, PostgresScript(sql).toUtf8().constData());
        const ExecStatusType status = PQresultStatus(r);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK &&
            status != PGRES_EMPTY_QUERY) {
            const QString message = EngineMessage(d->pg, r);
            PQclear(r);
            throw DbError(message);
        }
        PQclear(r);
        releaseUnusedPrepared();
        return;
    }
    execOrThrow(d->handle, sql.toUtf8().constData());
}

// At most this many prepared statements that no query holds stay on the server.
constexpr qsizetype kPreparedKept = 200;

std::shared_ptr<Connection::PreparedStatement> Connection::findPrepared(const QByteArray &text) {
    const auto it = d->prepared.constFind(text);
    if (it == d->prepared.cend())
        return nullptr;
    ++(*it)->users;
    (*it)->lastUse = ++d->preparedClock;
    return *it;
}

void Connection::addPrepared(const QByteArray &text,
                             const std::shared_ptr<PreparedStatement> &statement) {
    statement->users = 1;
    statement->lastUse = ++d->preparedClock;
    if (const auto it = d->prepared.constFind(text); it != d->prepared.cend()) {
        (*it)->cached = false;
        if (!(*it)->users)
            d->deallocate(**it);
    }
    d->prepared.insert(text, statement);
}

void Connection::releasePrepared(const std::shared_ptr<PreparedStatement> &statement) {
    if (--statement->users > 0)
        return;
    if (!statement->cached) {
        d->deallocate(*statement);
        return;
    }
    if (d->prepared.size() <= kPreparedKept)
        return;
    // Past the limit: the least recently used that no query holds goes.
    auto oldest = d->prepared.end();
    for (auto it = d->prepared.begin(); it != d->prepared.end(); ++it)
        if (!(*it)->users && (oldest == d->prepared.end() || (*it)->lastUse < (*oldest)->lastUse))
            oldest = it;
    if (oldest != d->prepared.end()) {
        d->deallocate(**oldest);
        d->prepared.erase(oldest);
    }
}

void Connection::discardPrepared(const std::shared_ptr<PreparedStatement> &statement) {
    for (auto it = d->prepared.begin(); it != d->prepared.end(); ++it)
        if (it->get() == statement.get()) {
            d->prepared.erase(it);
            break;
        }
    statement->cached = false;
    releasePrepared(statement);
}

void Connection::releaseUnusedPrepared() {
    for (auto it = d->prepared.begin(); it != d->prepared.end();) {
        if ((*it)->users) {
            ++it;
            continue;
        }
        d->deallocate(**it);
        it = d->prepared.erase(it);
    }
}

const ServerObjects &Connection::serverObjects() const {
    return *d->objects;
}

void Connection::setServerObjects(const ServerObjects &objects) {
    d->objects = &objects;
}

QString Connection::databaseFile() const {
    return d->openFile;
}

sqlite3 *Connection::sqliteHandle() const {
    if (!d->handle)
        throw DbError(QStringLiteral("The database connection is not open."));
    return d->handle;
}

void Connection::createSqliteFile(const QString &path) {
    const QFileInfo info(path);
    if (info.isDir())
        throw DbError(QStringLiteral("%1 is a folder, not a database file.")
                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    if (info.exists())
        throw DbError(QStringLiteral("The file %1 exists already.")
                          .arg(QDir::toNativeSeparators(info.absoluteFilePath())));
    if (!info.absoluteDir().exists())
        throw DbError(QStringLiteral("The folder %1 does not exist.")
                          .arg(QDir::toNativeSeparators(info.absolutePath())));
    sqlite3 *h = nullptr;
    const QByteArray file = QFile::encodeName(info.absoluteFilePath());
    if (sqlite3_open_v2(file.constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString message = h ? EngineMessage(h) : QStringLiteral("out of memory");
        sqlite3_close(h);
        throw DbError(message);
    }
    try {
        execOrThrow(h, R"sql(
            PRAGMA journal_mode = WAL;
            CREATE TABLE DUAL (DUMMY TEXT NOT NULL);
            INSERT INTO DUAL VALUES ('X');
        )sql");
    } catch (...) {
        sqlite3_close(h);
        QFile::remove(info.absoluteFilePath());
        throw;
    }
    sqlite3_close(h);
}

const StatementLimits *Connection::statementLimits() const {
    return d->limits;
}

bool Connection::limitedStatementRunning() const {
    return d->limitedRunning;
}

void Connection::setLimitedStatementRunning(bool running) {
    d->limitedRunning = running;
}

void Connection::checkNotBusy() const {
    if (d->limitedRunning)
        throw DbError(QStringLiteral("보고서의 자료를 읽는 중입니다. 끝나거나 취소된 뒤에 다시 "
                                     "시도하십시오."));
}

StatementLimitScope::StatementLimitScope(Connection &connection, StatementLimits limits)
    : m_connection(connection), m_limits(std::move(limits)), m_previous(connection.d->limits) {
    connection.d->limits = &m_limits;
}

StatementLimitScope::~StatementLimitScope() {
    m_connection.d->limits = m_previous;
}

void Connection::attach(Statement *statement) {
    d->statements.insert(statement);
}
void Connection::detach(Statement *statement) {
    d->statements.erase(statement);
}

} // namespace kelo::db
