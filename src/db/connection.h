#pragma once

#include "db/dberror.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

struct sqlite3;
struct pg_conn;

namespace kelo::db {

class ServerObjects;

// Limits on the statements that run while a StatementLimitScope is in force on a
// connection (the statements of a report definition): a statement past one of them is
// stopped and fails with a DbError that says which ("... 시간 한도 60초를 넘어 ...").
struct StatementLimits {
    int timeLimitMs = 0;         // from the statement's start to its last row; 0: none
    qint64 memoryLimitBytes = 0; // SQLite: heap one statement may add; 0: none
    qint64 resultLimitBytes = 0; // what one result may bring into the client; 0: none
    // Called about every tickMs while a statement runs (the caller keeps its window
    // painted and offers a cancel); false cancels the statement.
    std::function<bool()> tick;
    int tickMs = 50;
};

// The engines a connection reaches.
enum class Engine { Sqlite, Postgres };

// What a DATABASE parameter names: a SQLite file, or a database on a server.
struct DatabaseTarget {
    Engine engine = Engine::Sqlite;
    QString file; // SQLite: the file (absolute); PostgreSQL: the server's database
    QString host;
    int port = 5432;
    bool alias = false; // named by an alias of Databases.ini, not by a path
};

// Resolves a DATABASE parameter, an alias of Databases.ini (AppFile) or the path of a
// SQLite file: a text with a '/' is a path; a bare name is an alias where Databases.ini has
// it, else a file where it names an existing file or ends in .db, .sqlite or .sqlite3.
// Anything else is a DbError that names the missing alias.
DatabaseTarget ResolveDatabase(const QString &aliasOrPath);

// The one connection to the database. Parameters are name=value texts:
//   DATABASE   the alias, resolved through Databases.ini (AppFile), or a path (ResolveDatabase):
//                [ALIAS] Driver=SQLITE, Database=path (relative to the folder of Databases.ini)
//                [ALIAS] Driver=POSTGRES, Host, Port, Database (the server's database)
//   USER_NAME, PASSWORD   the database user and password (not used by SQLite)
// Names are matched without regard to case; other parameters are kept and ignored.
// A SQLite file is never created by opening: a missing file, an unknown alias
// or a file that is not a database is a DbError with a clear text.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QStringList params() const;
    void setParams(const QStringList &nameValues);
    QString param(const QString &name) const;
    void setParam(const QString &name, const QString &value);

    // How long a statement waits for another user's lock before it gives up with
    // "다른 사용자가 데이터베이스를 사용 중입니다": LOCK_TIMEOUT in milliseconds, 10 s by default.
    int lockTimeout() const;

    // Opens a SQLite file directly, without an alias (tools, tests, benchmarks).
    void setSqliteFile(const QString &path);

    void open();
    void close();
    bool isOpen() const;
    // The engine of the alias (of the open connection once open).
    Engine engine() const;

    // A DbError when the open file has been removed or replaced by another file
    // since it was opened (writes would go into the removed file). Checked before
    // every transaction and every write outside one.
    void checkFileUnchanged() const;

    // Transactions: one at a time, identified by the caller's number.
    bool inTransaction() const;
    void startTransaction(int id = 0);
    void commit();
    void rollback();
    int transactionId() const;

    // Runs one or more statements without parameters or results (schema scripts).
    // On PostgreSQL the column types of the scripts read as the server's (see
    // PostgresScript).
    void executeScript(const QString &sql);

    // The procedures and functions this database holds beyond the engine's own.
    const ServerObjects &serverObjects() const;
    void setServerObjects(const ServerObjects &objects);

    // The file of an open SQLite connection.
    QString databaseFile() const;

    // The engine's handle, for the layer's own statements and functions.
    sqlite3 *sqliteHandle() const;
    pg_conn *postgresHandle() const;
    // PostgreSQL: counts the sessions the connection has had (a dropped session is
    // re-established at the next statement outside a transaction); statements
    // prepared in an earlier session are prepared again.
    int session() const;
    // PostgreSQL: a DbError when the session was lost; outside a transaction the
    // session is first re-established.
    void ensureSession();

    // Creates a new, empty SQLite database file with the DUAL table; refuses an
    // existing file.
    static void createSqliteFile(const QString &path);

    // The limits in force (null without), and whether a limited statement is running
    // right now: while one runs (its tick may process events), every other statement on
    // the connection is refused with a DbError instead of disturbing it.
    const StatementLimits *statementLimits() const;
    bool limitedStatementRunning() const;
    void setLimitedStatementRunning(bool running);
    // A DbError while a limited statement runs.
    void checkNotBusy() const;

    // Internal: statements register so that closing the connection finalises them.
    class Statement;
    void attach(Statement *statement);
    void detach(Statement *statement);

    // Internal, PostgreSQL: the statements this session has prepared, by their text as the
    // server reads it, shared by every query of that text (prepared once, not once per
    // query object). A query takes one (findPrepared or addPrepared) and gives it back
    // (releasePrepared); the least recently used ones that no query holds are deallocated
    // past a limit, and all of them after a script (its definitions may change what a
    // statement returns).
    struct PreparedStatement {
        QByteArray name;
        QStringList fieldNames;
        std::vector<int> columnKind; // per field: 0 text, 1 integer, 2 decimal, 3 bytes, 4 bool
        int users = 0;
        quint64 lastUse = 0;
        bool cached = true; // false once discarded: the last user deallocates it
    };
    std::shared_ptr<PreparedStatement> findPrepared(const QByteArray &text);
    void addPrepared(const QByteArray &text, const std::shared_ptr<PreparedStatement> &statement);
    void releasePrepared(const std::shared_ptr<PreparedStatement> &statement);
    // Gives back a statement that failed as prepared (the tables changed under it): no
    // query takes it again, and it is deallocated when no query holds it.
    void discardPrepared(const std::shared_ptr<PreparedStatement> &statement);
    // Deallocates every statement that no query holds.
    void releaseUnusedPrepared();

private:
    friend class StatementLimitScope;
    void openPostgres(const QString &host, int port, const QString &database);
    void startSession();

    struct Private;
    std::unique_ptr<Private> d;
};

// While it lives, the statements of the connection run under the limits.
class StatementLimitScope {
public:
    StatementLimitScope(Connection &connection, StatementLimits limits);
    ~StatementLimitScope();
    StatementLimitScope(const StatementLimitScope &) = delete;
    StatementLimitScope &operator=(const StatementLimitScope &) = delete;

private:
    Connection &m_connection;
    StatementLimits m_limits;
    const StatementLimits *m_previous;
};

// A script of table definitions as the server runs it: REAL reads NUMERIC, BLOB
// reads BYTEA and WITHOUT ROWID goes (outside literals, comments and $$ bodies).
QString PostgresScript(const QString &sql);

// A prepared statement's hook into the connection, so that close() can release it.
class Connection::Statement {
public:
    virtual ~Statement() = default;
    virtual void releaseStatement() = 0;
};

} // namespace kelo::db
