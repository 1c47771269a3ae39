// The sales views' searches (grid statement walked to the end and totals statement) on a
// SQLite file and on a server alias in one run, median of 5 each, with PostgreSQL ÷ SQLite.
//
// Usage: bench_engines FILE ALIAS [YYYYMMDD]   the same demo on both (kelo-db demo);
//        the alias's user and password as kelo-db takes them (Databases.ini, PGPASSWORD)

#include "bench_sales_run.h"
#include "common/application.h"
#include "database/schema.h"
#include "db/query.h"
#include "screens/sales/sales_inquiries.h"
#include "shell/password.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace kelo;

namespace {

double run(db::Connection &c, const QString &sql, const QString &date, const QString &upjang) {
    return bench::RunSalesStatement(c, sql, date, upjang);
}

struct View {
    const char *name;
    std::function<TfrmSZS010 *(db::Connection &)> make;
    QString upjang;
};

double median(db::Connection &c, const View &v, const QString &date) {
    std::unique_ptr<TfrmSZS010> s(v.make(c));
    const QString grid = s->qryQuery->sql(), totals = s->qryFooter->sql();
    run(c, grid, date, v.upjang); // warm the cache
    std::vector<double> times;
    for (int i = 0; i < 5; ++i)
        times.push_back(run(c, grid, date, v.upjang) + run(c, totals, date, v.upjang));
    std::sort(times.begin(), times.end());
    return times[2];
}

} // namespace

int main(int argc, char **argv) {
    Application app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: bench_engines FILE ALIAS [YYYYMMDD]\n", stderr);
        return 2;
    }
    database::Install();
    db::Connection file, server;
    file.setSqliteFile(QString::fromLocal8Bit(argv[1]));
    file.open();
    server.setParams(shell::AliasConnectionParams(QString::fromLocal8Bit(argv[2])));
    server.open();
    const QString date = argc > 3 ? QString::fromLatin1(argv[3]) : QStringLiteral("20261208");
    using namespace screens;
    const std::vector<View> views = {
        {"SAS010", [](db::Connection &c) { return new TfrmSAS010(c); }, {}},
        {"SAS020", [](db::Connection &c) { return new TfrmSAS020(c); }, {}},
        {"SAS030 1001", [](db::Connection &c) { return new TfrmSAS030(c, QStringLiteral("1001")); },
         QStringLiteral("1001")},
        {"SAS030 1002", [](db::Connection &c) { return new TfrmSAS030(c, QStringLiteral("1002")); },
         QStringLiteral("1002")},
        {"SAS040", [](db::Connection &c) { return new TfrmSAS040(c); }, {}},
        {"SAS050", [](db::Connection &c) { return new TfrmSAS050(c); }, {}},
    };
    std::printf("sales views, business date %s: SQLite %s, PostgreSQL %s\n", qPrintable(date),
                argv[1], argv[2]);
    for (const View &v : views) {
        const double sqlite = median(file, v, date), pg = median(server, v, date);
        std::printf("%-12s SQLite %7.1f ms  PostgreSQL %7.1f ms  ratio %5.2f\n", v.name, sqlite, pg,
                    pg / sqlite);
    }
    return 0;
}
