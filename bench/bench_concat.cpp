// Concatenation over 1,000,000 rows, through the layer and through the engine's own
// operator: one aggregate over a chain of four || with a NULL operand in every third
// row, so that the cost is the concatenation and not the fetch.
//   - SQLite: the layer (Query) against the raw C API running the same text with
//     SQLite's own ||;
//   - PostgreSQL (with --postgres and the server in KELO_PG_HOST, KELO_PG_PORT,
//     KELO_PG_USER, KELO_PG_PASSWORD): the layer against libpq running the same text
//     with the server's own ||, in the maintenance database, where the dialect is
//     installed for the run and the table dropped after it.
// Each is run 7 times through each path (interleaved, after a warm-up) and the
// medians and their ratio are printed.
//
// Usage: bench_concat [DATA_DIR] [--postgres]   (default: bench-data; the file is made once)

#include "bench_timing.h"
#include "common/appdir.h"
#include "db/connection.h"
#include "db/dialect.h"
#include "db/query.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kRows = 1000000;

const char *kConcat = "SELECT MAX(CODE || ' : ' || NAME || '/' || NOTE) FROM BENCH_TEXTS";

// The rows: CODE '000001' ..., NAME NULL in every third row, NOTE a short text.
const char *kFill = R"sql(
    CREATE TABLE BENCH_TEXTS (CODE TEXT, NAME TEXT, NOTE TEXT);
    INSERT INTO BENCH_TEXTS
    WITH RECURSIVE N(I) AS (
        SELECT 1
        UNION ALL
        SELECT I + 1 FROM N WHERE I < 1000000
    )
    SELECT SUBSTR('00000' || I, -6, 6),
        CASE WHEN I % 3 = 0 THEN NULL ELSE 'name ' || (I % 997) END,
        'note ' || (I % 31)
    FROM N;
)sql";

using kelo::bench::Median;
using kelo::bench::Millis;

volatile size_t sink;

void compare(const char *engine, const std::function<void()> &layer,
             const std::function<void()> &raw) {
    layer();
    raw();
    std::vector<double> l, r;
    for (int i = 0; i < 7; ++i) {
        l.push_back(Millis(layer));
        r.push_back(Millis(raw));
    }
    std::printf("%s, concatenation over %d rows: layer %.1f ms, engine's own || %.1f ms, "
                "ratio %.3f\n",
                engine, kRows, Median(l), Median(r), Median(l) / Median(r));
}

size_t layerConcat(kelo::db::Connection &connection) {
    kelo::db::Query q(connection);
    q.setSql(QString::fromLatin1(kConcat));
    q.open();
    return size_t(q.text(0).size());
}

void benchSqlite(const QString &dir) {
    const QString file = QDir(dir).filePath(QStringLiteral("bench_concat.sqlite"));
    if (!QFileInfo::exists(file)) {
        std::printf("making %d rows in %s ...\n", kRows, qPrintable(file));
        kelo::db::Connection::createSqliteFile(file);
        kelo::db::Connection c;
        c.setSqliteFile(file);
        c.open();
        c.executeScript(QString::fromLatin1(kFill));
    }
    kelo::db::Connection connection;
    connection.setSqliteFile(file);
    connection.open();
    sqlite3 *raw = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(raw));
        std::exit(1);
    }
    compare(
        "SQLite", [&] { sink = layerConcat(connection); },
        [&] {
            sqlite3_stmt *st = nullptr;
            sqlite3_prepare_v2(raw, kConcat, -1, &st, nullptr);
            size_t n = 0;
            if (sqlite3_step(st) == SQLITE_ROW)
                n = size_t(sqlite3_column_bytes(st, 0));
            sqlite3_finalize(st);
            sink = n;
        });
    sqlite3_close(raw);
}

void benchPostgres() {
    QTemporaryDir dir;
    kelo::SetAppDir(dir.path());
    QFile ini(dir.filePath(QStringLiteral("Databases.ini")));
    if (!ini.open(QIODevice::WriteOnly))
        return;
    ini.write(QStringLiteral("[BENCH]\nDriver=POSTGRES\nHost=%1\nPort=%2\nDatabase=postgres\n")
                  .arg(qEnvironmentVariable("KELO_PG_HOST", QStringLiteral("127.0.0.1")),
                       qEnvironmentVariable("KELO_PG_PORT", QStringLiteral("5432")))
                  .toUtf8());
    ini.close();
    kelo::db::Connection connection;
    connection.setParams({QStringLiteral("DATABASE=BENCH"),
                          QStringLiteral("USER_NAME=") +
                              qEnvironmentVariable("KELO_PG_USER", QStringLiteral("kelo")),
                          QStringLiteral("PASSWORD=") +
                              qEnvironmentVariable("KELO_PG_PASSWORD", QStringLiteral("kelo"))});
    connection.open();
    connection.executeScript(kelo::db::PostgresDialectScript());
    connection.executeScript(QStringLiteral("DROP TABLE IF EXISTS BENCH_TEXTS;") +
                             QString::fromLatin1(kFill) + QStringLiteral("ANALYZE BENCH_TEXTS;"));
    PGconn *raw = connection.postgresHandle();
    compare(
        "PostgreSQL", [&] { sink = layerConcat(connection); },
        [&] {
            PGresult *r = PQexec(raw, kConcat);
            sink = PQresultStatus(r) == PGRES_TUPLES_OK ? size_t(PQgetlength(r, 0, 0)) : 0;
            PQclear(r);
        });
    connection.executeScript(QStringLiteral("DROP TABLE BENCH_TEXTS"));
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const bool postgres = args.contains(QStringLiteral("--postgres"));
    QString dir = QStringLiteral("bench-data");
    for (const QString &a : args)
        if (!a.startsWith(QStringLiteral("--")))
            dir = a;
    QDir().mkpath(dir);
    try {
        benchSqlite(dir);
        if (postgres)
            benchPostgres();
    } catch (const kelo::db::DbError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
