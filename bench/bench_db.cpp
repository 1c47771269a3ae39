// The database layer against the raw SQLite C API on the same file:
//   - one aggregate statement over 1,000,000 rows;
//   - 100,000 rows of five columns fetched as text, against two raw baselines:
//     "text", every column through sqlite3_column_text (SQLite's own number
//     formatting), and "typed", every column read by its storage type with the
//     numbers formatted by the layer's conversion (NumberToChars), which is
//     the work the layer itself does, without its objects and QString results.
// Each is run 9 times through each path (interleaved, after a warm-up) and the
// ratio of the medians is printed. Goals: aggregate <= 1.05, fetch <= 1.5 to
// the text baseline and <= 1.3 to the typed one.
//
// Usage: bench_db [DATA_DIR]   (default: bench-data; the file is made once)

#include "bench_timing.h"
#include "common/numbertext.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/rowset.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <charconv>
#include <cstdio>
#include <functional>
#include <sqlite3.h>
#include <vector>

namespace {

constexpr int kRows = 1000000;
constexpr int kFetchRows = 100000;

const char *kAggregate = "SELECT UPJANG_CODE, SUM(NET_AMT), SUM(GUESTS), COUNT(*) FROM BENCH_SALES "
                         "WHERE SALE_DATE BETWEEN '20000101' AND '20991231' GROUP BY UPJANG_CODE";
const char *kFetch =
    "SELECT SALE_DATE, UPJANG_CODE, DIVISION, NET_AMT, GUESTS FROM BENCH_SALES LIMIT 100000";

void check(int rc, sqlite3 *h) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(h));
        std::exit(1);
    }
}

void makeData(const QString &file) {
    kelo::db::Connection::createSqliteFile(file);
    sqlite3 *h = nullptr;
    check(sqlite3_open(QFile::encodeName(file).constData(), &h), h);
    check(sqlite3_exec(h,
                       "CREATE TABLE BENCH_SALES (SALE_DATE TEXT, UPJANG_CODE TEXT, DIVISION TEXT,"
                       " NET_AMT REAL, GUESTS REAL); BEGIN",
                       nullptr, nullptr, nullptr),
          h);
    sqlite3_stmt *st = nullptr;
    check(sqlite3_prepare_v2(h, "INSERT INTO BENCH_SALES VALUES (?, ?, ?, ?, ?)", -1, &st, nullptr),
          h);
    unsigned seed = 12345;
    char date[16], outlet[8], division[8];
    for (int i = 0; i < kRows; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int day = i / 400;
        std::snprintf(date, sizeof date, "%04d%02d%02d", 2000 + day / 365, day % 365 / 31 + 1,
                      day % 31 + 1);
        std::snprintf(outlet, sizeof outlet, "%04d", 1001 + int(seed % 400));
        std::snprintf(division, sizeof division, "%03d", 100 + int(seed / 7 % 50));
        sqlite3_bind_text(st, 1, date, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 2, outlet, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, division, -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(st, 4, double(seed % 1000000) / 4.0);
        sqlite3_bind_double(st, 5, double(seed % 37));
        check(sqlite3_step(st), h);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    check(sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr), h);
    sqlite3_close(h);
}

using kelo::bench::Median;
using kelo::bench::Millis;

volatile size_t sink;

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("bench-data");
    QDir().mkpath(dir);
    const QString file = QDir(dir).filePath(QStringLiteral("bench_db.sqlite"));
    if (!QFileInfo::exists(file)) {
        std::printf("making %d rows in %s ...\n", kRows, qPrintable(file));
        makeData(file);
    }

    kelo::db::Connection connection;
    connection.setSqliteFile(file);
    connection.open();
    sqlite3 *raw = nullptr;
    check(
        sqlite3_open_v2(QFile::encodeName(file).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr),
        raw);

    auto aggregateDb = [&] {
        kelo::db::Query q(connection);
        q.setSql(QString::fromLatin1(kAggregate));
        size_t n = 0;
        for (q.open(); !q.eof(); q.next())
            n += q.text(0).size() + size_t(q.number(1)) + size_t(q.number(3));
        sink = n;
    };
    auto aggregateRaw = [&] {
        sqlite3_stmt *st = nullptr;
        check(sqlite3_prepare_v2(raw, kAggregate, -1, &st, nullptr), raw);
        size_t n = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            n += size_t(sqlite3_column_bytes(st, 0)) + size_t(sqlite3_column_double(st, 1)) +
                 size_t(sqlite3_column_double(st, 3));
        sqlite3_finalize(st);
        sink = n;
    };
    auto fetchDb = [&] {
        kelo::db::Query q(connection);
        q.setSql(QString::fromLatin1(kFetch));
        size_t n = 0;
        for (q.open(); !q.eof(); q.next())
            for (int c = 0; c < 5; ++c)
                n += size_t(q.text(c).size());
        sink = n;
    };
    auto fetchRowSet = [&] {
        kelo::db::RowSet rows(connection);
        rows.query().setSql(QString::fromLatin1(kFetch));
        rows.open();
        size_t n = 0;
        for (int r = 0; rows.ensureRow(r); ++r)
            for (int c = 0; c < 5; ++c)
                n += size_t(rows.text(r, c).size());
        sink = n;
    };
    auto fetchRaw = [&] {
        sqlite3_stmt *st = nullptr;
        check(sqlite3_prepare_v2(raw, kFetch, -1, &st, nullptr), raw);
        size_t n = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < 5; ++c) {
                sqlite3_column_text(st, c);
                n += size_t(sqlite3_column_bytes(st, c));
            }
        sqlite3_finalize(st);
        sink = n;
    };
    auto fetchRawTyped = [&] {
        sqlite3_stmt *st = nullptr;
        check(sqlite3_prepare_v2(raw, kFetch, -1, &st, nullptr), raw);
        char number[kelo::kNumberTextMax];
        size_t n = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int c = 0; c < 5; ++c) {
                switch (sqlite3_column_type(st, c)) {
                case SQLITE_INTEGER: {
                    const int64_t value = sqlite3_column_int64(st, c);
                    n += size_t(std::to_chars(number, number + sizeof number, value).ptr - number);
                    break;
                }
                case SQLITE_FLOAT:
                    n += size_t(kelo::NumberToChars(sqlite3_column_double(st, c), number));
                    break;
                case SQLITE_NULL:
                    break;
                default:
                    sqlite3_column_text(st, c);
                    n += size_t(sqlite3_column_bytes(st, c));
                }
            }
        sqlite3_finalize(st);
        sink = n;
    };

    aggregateDb();
    aggregateRaw();
    fetchDb();
    fetchRaw();
    fetchRawTyped();
    std::vector<double> aDb, aRaw, fDb, fRaw, fTyped, fRows;
    for (int i = 0; i < 9; ++i) {
        aDb.push_back(Millis(aggregateDb));
        aRaw.push_back(Millis(aggregateRaw));
        fDb.push_back(Millis(fetchDb));
        fRaw.push_back(Millis(fetchRaw));
        fTyped.push_back(Millis(fetchRawTyped));
        fRows.push_back(Millis(fetchRowSet));
    }
    std::printf("aggregate over %d rows: db %.1f ms, raw %.1f ms, ratio %.3f (goal <= 1.05)\n",
                kRows, Median(aDb), Median(aRaw), Median(aDb) / Median(aRaw));
    std::printf("fetch %d rows as text: raw text %.1f ms, raw typed %.1f ms\n", kFetchRows,
                Median(fRaw), Median(fTyped));
    std::printf("  db %.1f ms, ratio %.3f to raw text (goal <= 1.5), %.3f to raw typed "
                "(goal <= 1.3)\n",
                Median(fDb), Median(fDb) / Median(fRaw), Median(fDb) / Median(fTyped));
    std::printf("  RowSet %.1f ms, ratio %.3f to raw text, %.3f to raw typed\n", Median(fRows),
                Median(fRows) / Median(fRaw), Median(fRows) / Median(fTyped));
    sqlite3_close(raw);
    return 0;
}
