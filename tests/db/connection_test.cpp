#include "common/appdir.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/transaction.h"
#include "support/temp_database.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

using namespace kelo;

namespace {

// An AppDir with a Databases.ini of the given text.
struct AppDirWithIni {
    explicit AppDirWithIni(const QByteArray &ini) {
        QFile f(dir.filePath(QStringLiteral("Databases.ini")));
        f.open(QIODevice::WriteOnly);
        f.write(ini);
        f.close();
        SetAppDir(dir.path());
    }
    ~AppDirWithIni() { SetAppDir(QString()); }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

QString openError(db::Connection &c) {
    try {
        c.open();
    } catch (const db::DbError &e) {
        return e.message();
    }
    return QString();
}

TEST(Connection, AliasResolvesThroughDatabasesIniInAppDir) {
    AppDirWithIni app("[Demo]\nDriver=SQLITE\nDatabase=demo.db\n");
    db::Connection::createSqliteFile(app.path("demo.db"));
    db::Connection c;
    c.setParams({QStringLiteral("DATABASE=DEMO"), QStringLiteral("USER_NAME=KLUSER"),
                 QStringLiteral("PASSWORD=secret"), QStringLiteral("RowsetSize=20")});
    EXPECT_EQ(c.param(QStringLiteral("database")), QStringLiteral("DEMO"));
    c.open();
    EXPECT_TRUE(c.isOpen());
    EXPECT_EQ(QDir(c.databaseFile()), QDir(app.path("demo.db")));
    c.close();
    EXPECT_FALSE(c.isOpen());
}

TEST(Connection, BadTargetsFailWithAClearTextAndCreateNothing) {
    AppDirWithIni app("[GONE]\nDriver=SQLITE\nDatabase=gone.db\n"
                      "[JUNK]\nDriver=SQLITE\nDatabase=junk.db\n"
                      "[PG]\nDriver=ORACLE\nDatabase=x\n");
    QFile junk(app.path("junk.db"));
    junk.open(QIODevice::WriteOnly);
    junk.write(QByteArray(4096, 'x'));
    junk.close();

    const struct {
        const char *alias;
        const char *expectedPart;
    } cases[] = {
        {"GONE", "does not exist"}, {"NOSUCH", "is not defined"}, {"JUNK", "not a database"},
        {"PG", "does not support"}, {"", "No database alias"},
    };
    for (const auto &c : cases) {
        db::Connection connection;
        connection.setParam(QStringLiteral("DATABASE"), QLatin1String(c.alias));
        const QString error = openError(connection);
        EXPECT_TRUE(error.contains(QLatin1String(c.expectedPart)))
            << c.alias << ": " << error.toStdString();
        EXPECT_FALSE(connection.isOpen());
    }
    EXPECT_FALSE(QFile::exists(app.path("gone.db")));
}

TEST(Connection, MissingDatabasesIniIsNamed) {
    QTemporaryDir dir;
    SetAppDir(dir.path());
    db::Connection c;
    c.setParam(QStringLiteral("DATABASE"), QStringLiteral("DEMO"));
    EXPECT_TRUE(openError(c).contains(QStringLiteral("Databases.ini")));
    SetAppDir(QString());
}

TEST(Connection, CreateRefusesAnExistingFileAndMakesDual) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.db"));
    db::Connection::createSqliteFile(file);
    EXPECT_THROW(db::Connection::createSqliteFile(file), db::DbError);
    db::Connection c;
    c.setSqliteFile(file);
    c.open();
    db::Query q(c);
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM DUAL"));
    q.open();
    EXPECT_EQ(q.text(0), QStringLiteral("1"));
}

TEST(Transaction, RollsBackUnlessCommittedAndRefusesASecondBegin) {
    test::TempDatabase database;
    database.exec(QStringLiteral("CREATE TABLE T (K TEXT PRIMARY KEY)"));
    db::Connection &c = database.connection();
    db::Query insert(c);
    insert.setSql(QStringLiteral("INSERT INTO T VALUES (:K)"));
    {
        db::Transaction t(c);
        t.begin(42);
        EXPECT_EQ(c.transactionId(), 42);
        EXPECT_THROW(c.startTransaction(43), db::DbError);
        insert.setParam(QStringLiteral("K"), QStringLiteral("a"));
        insert.exec();
        // leaves the scope without commit: rolled back
    }
    EXPECT_FALSE(c.inTransaction());
    {
        db::Transaction t(c);
        EXPECT_TRUE(t.beginIfNone());
        db::Transaction joined(c);
        EXPECT_FALSE(joined.beginIfNone()); // joins the open one
        insert.setParam(QStringLiteral("K"), QStringLiteral("b"));
        insert.exec();
        t.commit();
    }
    db::Query count(c);
    count.setSql(QStringLiteral("SELECT NVL(MAX(K), '-') || COUNT(*) FROM T"));
    count.open();
    EXPECT_EQ(count.text(0), QStringLiteral("b1"));
}

TEST(Transaction, ConstraintViolationLeavesTheTransactionToTheCaller) {
    test::TempDatabase database;
    database.exec(QStringLiteral("CREATE TABLE T (K TEXT PRIMARY KEY)"));
    db::Connection &c = database.connection();
    db::Transaction t(c);
    t.begin();
    db::Query insert(c);
    insert.setSql(QStringLiteral("INSERT INTO T VALUES (:K)"));
    insert.setParam(QStringLiteral("K"), QStringLiteral("a"));
    insert.exec();
    try {
        insert.exec();
        FAIL() << "a duplicate key was accepted";
    } catch (const db::DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("unique"), Qt::CaseInsensitive))
            << e.message().toStdString();
    }
    EXPECT_TRUE(c.inTransaction());
    t.rollback();
    db::Query count(c);
    count.setSql(QStringLiteral("SELECT COUNT(*) FROM T"));
    count.open();
    EXPECT_EQ(count.integer(0), 0);
}

TEST(Connection, ClosingReleasesOpenQueriesWhichReopenLater) {
    test::TempDatabase database;
    db::Connection &c = database.connection();
    db::Query q(c);
    q.setSql(QStringLiteral("SELECT 1 FROM DUAL"));
    q.open();
    c.close();
    EXPECT_FALSE(q.isActive());
    EXPECT_THROW(q.open(), db::DbError); // not open
    c.open();
    q.open();
    EXPECT_EQ(q.text(0), QStringLiteral("1"));
}

} // namespace

namespace {

// A file removed or replaced under an open connection: no write reports success.
TEST(Connection, WritesRefuseAFileRemovedOrReplacedSinceOpening) {
    if (test::OnPostgres())
        GTEST_SKIP() << "a matter of SQLite files";
    for (const bool replace : {false, true}) {
        test::TempDatabase database;
        database.exec(QStringLiteral("CREATE TABLE T (A TEXT)"));
        db::Connection &c = database.connection();
        ASSERT_NO_THROW(c.checkFileUnchanged());
        ASSERT_TRUE(QFile::remove(database.file()));
        if (replace)
            db::Connection::createSqliteFile(database.file());
        db::Transaction t(c);
        try {
            t.begin();
            FAIL() << "a transaction began on a " << (replace ? "replaced" : "removed") << " file";
        } catch (const db::DbError &e) {
            EXPECT_TRUE(
                e.message().contains(QStringLiteral("삭제되었거나 다른 파일로 바뀌었습니다")))
                << e.message().toStdString();
        }
    }
}

// The engine failures a user meets come in the user's words, the engine's text after.
TEST(Connection, LockedReadOnlyAndForeignFilesAreSaidInKorean) {
    if (test::OnPostgres())
        GTEST_SKIP() << "a matter of SQLite files";
    test::TempDatabase database;
    database.exec(QStringLiteral("CREATE TABLE T (A TEXT)"));
    const QByteArray file = database.file().toUtf8();
    sqlite3 *writer = nullptr, *other = nullptr, *reader = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file, &writer, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_open_v2(file, &other, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_open_v2(file, &reader, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_BUSY);
    EXPECT_EQ(db::EngineMessage(other),
              QStringLiteral("다른 사용자가 데이터베이스를 사용 중입니다. 잠시 후 다시 "
                             "시도하십시오. (database is locked)"));
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    EXPECT_NE(sqlite3_exec(reader, "INSERT INTO T VALUES ('x')", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_TRUE(
        db::EngineMessage(reader).startsWith(QStringLiteral("데이터베이스에 쓸 수 없습니다")))
        << db::EngineMessage(reader).toStdString();
    for (sqlite3 *h : {writer, other, reader})
        sqlite3_close(h);

    // A text file where the database should be.
    QFile junk(database.dir() + QStringLiteral("/junk.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    db::Connection c;
    c.setSqliteFile(junk.fileName());
    try {
        c.open();
        FAIL() << "a text file opened as a database";
    } catch (const db::DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("데이터베이스 파일이 아닙니다")))
            << e.message().toStdString();
    }
}

} // namespace

namespace {

QStringList pgCredentials() {
    return {QStringLiteral("USER_NAME=") + qEnvironmentVariable("KELO_PG_USER", "kelo"),
            QStringLiteral("PASSWORD=") + qEnvironmentVariable("KELO_PG_PASSWORD", "kelo")};
}

// A server that cannot be reached, a wrong password and a missing database are
// named with the server's own text.
TEST(PostgresConnection, FailuresCarryTheServersText) {
    if (!test::OnPostgres())
        GTEST_SKIP() << "a matter of the database server";
    test::TempDatabase database;
    QFile ini(database.dir() + QStringLiteral("/Databases.ini"));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    const QByteArray host = qgetenv("KELO_PG_HOST"), port = qgetenv("KELO_PG_PORT");
    ini.write("[NODB]\nDriver=POSTGRES\nHost=" + host + "\nPort=" + port +
              "\nDatabase=no_such_database\n[NOSERVER]\nDriver=POSTGRES\nHost=127.0.0.1\nPort=1\n"
              "Database=x\n");
    ini.close();
    const struct {
        const char *alias;
        QStringList credentials;
        const char *text;
    } cases[] = {
        {"TESTDB",
         {QStringLiteral("USER_NAME=kelo"), QStringLiteral("PASSWORD=wrong")},
         "password authentication failed"},
        {"NODB", pgCredentials(), "does not exist"},
        {"NOSERVER", pgCredentials(), "Connection refused"},
    };
    for (const auto &c : cases) {
        db::Connection connection;
        connection.setParams(QStringList{QStringLiteral("DATABASE=") + QLatin1String(c.alias)} +
                             c.credentials);
        try {
            connection.open();
            ADD_FAILURE() << c.alias << " opened";
        } catch (const db::DbError &e) {
            EXPECT_TRUE(e.message().contains(QLatin1String(c.text))) << e.message().toStdString();
        }
        EXPECT_FALSE(connection.isOpen());
    }
}

// A session the server ends: outside a transaction the next statement goes through
// on a new session; a transaction it broke off fails and has written nothing.
TEST(PostgresConnection, ASessionTheServerEndsIsTakenUpAgain) {
    if (!test::OnPostgres())
        GTEST_SKIP() << "a matter of the database server";
    test::TempDatabase database;
    database.exec(QStringLiteral("CREATE TABLE T (A TEXT)"));
    db::Connection &c = database.connection();
    db::Connection admin;
    admin.setParams(QStringList{QStringLiteral("DATABASE=TESTDB")} + pgCredentials());
    admin.open();
    auto endSession = [&] {
        db::Query pid(c);
        pid.setSql(QStringLiteral("SELECT pg_backend_pid() FROM DUAL"));
        pid.open();
        db::Query end(admin);
        end.setSql(QStringLiteral(
            "SELECT pg_terminate_backend(TO_NUMBER(:PID)::integer, 5000) FROM DUAL"));
        end.setParam(QStringLiteral("PID"), pid.text(0));
        end.open();
    };
    db::Query q(c);
    q.setSql(QStringLiteral("SELECT COUNT(*) FROM T"));
    endSession();
    try {
        q.open(); // meets the ended session, or (when the layer noticed it) a new one
    } catch (const db::DbError &) {
    }
    q.open(); // a new session
    EXPECT_EQ(q.text(0), QStringLiteral("0"));

    db::Transaction t(c);
    t.begin();
    db::Query insert(c);
    insert.setSql(QStringLiteral("INSERT INTO T VALUES ('x')"));
    insert.exec();
    endSession();
    try {
        insert.exec();
        ADD_FAILURE() << "a write into an ended session";
    } catch (const db::DbError &e) {
        EXPECT_FALSE(e.message().isEmpty());
    }
    EXPECT_THROW(t.commit(), db::DbError);
    EXPECT_FALSE(c.inTransaction());
    q.open();
    EXPECT_EQ(q.text(0), QStringLiteral("0"));
}

// A statement text is prepared once per session, whatever the number of queries that run
// it; a table changed under it is read as it now is, by a query that took the statement
// before the change and by one that takes it after.
TEST(PostgresConnection, AStatementIsPreparedOncePerSessionAndFollowsItsTables) {
    if (!test::OnPostgres())
        GTEST_SKIP() << "a matter of the database server";
    test::TempDatabase database;
    database.exec(QStringLiteral("CREATE TABLE T (A TEXT)"));
    database.exec(QStringLiteral("INSERT INTO T VALUES ('x')"));
    db::Connection &c = database.connection();
    const QString text = QStringLiteral("SELECT * FROM T WHERE A = :A");
    auto prepared = [&] {
        db::Query q(c);
        q.setSql(QStringLiteral(
            "SELECT COUNT(*) FROM pg_prepared_statements WHERE statement LIKE 'SELECT * FROM T %'"));
        q.open();
        return q.integer(0);
    };
    auto search = [&](db::Query &q) {
        q.setSql(text);
        q.setParam(QStringLiteral("A"), QStringLiteral("x"));
        q.open();
        return q.fieldCount();
    };
    db::Query first(c);
    EXPECT_EQ(search(first), 1);
    {
        db::Query second(c);
        EXPECT_EQ(search(second), 1);
        EXPECT_EQ(prepared(), 1);
    }
    {
        db::Query third(c);
        EXPECT_EQ(search(third), 1);
        EXPECT_EQ(prepared(), 1);
    }

    db::Query alter(c);
    alter.setSql(QStringLiteral("ALTER TABLE T ADD COLUMN B TEXT"));
    alter.exec();
    db::Query fourth(c);
    EXPECT_EQ(search(fourth), 2);
    first.open();
    EXPECT_EQ(first.fieldCount(), 2);
    EXPECT_EQ(first.text(0), QStringLiteral("x"));
    EXPECT_EQ(prepared(), 1);
}

// Two desks saving the same day at once: the second waits for the first and then
// saves; what is stored is one save's rows, never a mix.
TEST(PostgresConnection, TwoSavesOfTheSameRowsAtOnceBothComplete) {
    if (!test::OnPostgres())
        GTEST_SKIP() << "a matter of the database server";
    test::TempDatabase database;
    database.exec(QStringLiteral("CREATE TABLE F (K TEXT PRIMARY KEY, V NUMERIC)"));
    auto save = [](db::Connection &c, const QString &value) {
        db::Query q(c);
        q.setSql(QStringLiteral(R"sql(
INSERT INTO F (K, V)
VALUES (:K, :V)
ON CONFLICT (K) DO UPDATE SET V = excluded.V
)sql"));
        for (const char *key : {"a", "b", "c"}) {
            q.setParam(QStringLiteral("K"), QLatin1String(key));
            q.setParam(QStringLiteral("V"), value);
            q.exec();
        }
    };
    auto backendPid = [](db::Connection &c) {
        db::Query pid(c);
        pid.setSql(QStringLiteral("SELECT pg_backend_pid() FROM DUAL"));
        pid.open();
        return pid.text(0);
    };
    db::Connection &first = database.connection();
    const QString holder = backendPid(first);
    db::Transaction t(first);
    t.begin();
    save(first, QStringLiteral("1"));
    std::atomic<bool> done{false};
    QString waiter; // the second session, once it is open
    std::atomic<bool> waiterKnown{false};
    QString error;
    std::thread other([&] {
        db::Connection second;
        second.setParams(QStringList{QStringLiteral("DATABASE=TESTDB")} + pgCredentials());
        try {
            second.open();
            waiter = backendPid(second);
            waiterKnown = true;
            db::Transaction t2(second);
            t2.begin();
            save(second, QStringLiteral("2"));
            t2.commit();
        } catch (const db::DbError &e) {
            error = e.message();
        }
        done = true;
    });
    // The second save waits for the first: the server names the first session as the one
    // blocking it. Watched until it does, or until the second save ended without waiting.
    db::Query blocking(first);
    blocking.setSql(QStringLiteral(R"sql(
SELECT COUNT(*)
FROM DUAL
WHERE TO_NUMBER(:HOLDER)::integer = ANY (pg_blocking_pids(TO_NUMBER(:WAITER)::integer))
)sql"));
    bool blocked = false;
    while (!blocked && !done) {
        if (waiterKnown) {
            blocking.setParam(QStringLiteral("HOLDER"), holder);
            blocking.setParam(QStringLiteral("WAITER"), waiter);
            blocking.open();
            blocked = blocking.text(0) == QLatin1String("1");
            blocking.close();
        }
        if (!blocked)
            QThread::msleep(10);
    }
    EXPECT_TRUE(blocked) << error.toStdString(); // it waited for the first save
    EXPECT_FALSE(done);
    t.commit();
    other.join();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    db::Query q(first);
    q.setSql(QStringLiteral(R"sql(
SELECT MIN(V), MAX(V), COUNT(*)
FROM F
)sql"));
    q.open();
    EXPECT_EQ(q.text(0) + q.text(1) + q.text(2), QStringLiteral("223"));
}

} // namespace
