// The same work on a SQLite file and on a server alias of the same demo in one run, each
// figure with PostgreSQL ÷ SQLite:
//   the sales views' searches (grid statement walked to the end and totals statement);
//   the list inquiries, first rows on screen, for the month to the date;
//   the target inquiries' searches (and whether both engines show the same grids);
//   the printed set, kelo-reports --build for the date to a PDF, as a program (median of 3);
//   the five slowest viewer reports on SQLite (one round of all of them), laid out whole.
// Median of 5 after one warming run unless said otherwise.
//
// Usage: bench_engines FILE ALIAS [YYYYMMDD]   the same demo on both (kelo-db demo);
//        the alias's user and password as kelo-db takes them (Databases.ini, PGPASSWORD)

#include "bench_sales_run.h"
#include "bench_screen_runs.h"
#include "common/application.h"
#include "common/fonts.h"
#include "database/schema.h"
#include "db/query.h"
#include "screens/sales/sales_inquiries.h"
#include "shell/password.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

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

void ratio(const QString &name, double sqlite, double pg, const char *note = "") {
    std::printf("  %-36s SQLite %8.1f ms  PostgreSQL %8.1f ms  ratio %5.2f%s\n", qPrintable(name),
                sqlite, pg, pg / sqlite, note);
}

// kelo-reports with the data build for the date, to a PDF.
double printedSet(const QString &target, const QString &date, const QString &pdf) {
    return bench::Millis([&] {
        QProcess p;
        p.start(QStringLiteral(KELO_REPORTS_PROGRAM),
                {target, QStringLiteral("--date"), date, QStringLiteral("--build"),
                 QStringLiteral("--pdf"), pdf});
        if (!p.waitForFinished(600000) || p.exitCode() != 0)
            std::fprintf(stderr, "kelo-reports %s: %s\n", qPrintable(target),
                         p.readAllStandardError().constData());
    });
}

} // namespace

int main(int argc, char **argv) {
    if (!DisplayAvailable("bench_engines"))
        return 2;
    Application app(argc, argv);
    InstallFontSubstitutions();
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
    std::printf("business date %s: SQLite %s, PostgreSQL %s\nsales views\n", qPrintable(date),
                argv[1], argv[2]);
    for (const View &v : views)
        ratio(QString::fromLatin1(v.name), median(file, v, date), median(server, v, date));

    const QString monthStart = date.left(6) + QStringLiteral("01");
    std::printf("list inquiries, first rows on screen, %s-%s\n", qPrintable(monthStart),
                qPrintable(date));
    {
        const auto sqlite = bench::RunListInquiries(file, monthStart, date, false);
        const auto pg = bench::RunListInquiries(server, monthStart, date, false);
        for (size_t i = 0; i < sqlite.size(); ++i)
            ratio(sqlite[i].name, sqlite[i].firstRows, pg[i].firstRows,
                  sqlite[i].rows == pg[i].rows ? "" : "  ROW COUNTS DIFFER");
    }

    std::printf("target inquiries, search\n");
    {
        const auto sqlite = bench::RunTargetInquiries(file, date);
        const auto pg = bench::RunTargetInquiries(server, date);
        for (size_t i = 0; i < sqlite.size(); ++i) {
            ratio(sqlite[i].id, sqlite[i].search, pg[i].search,
                  sqlite[i].rows == pg[i].rows ? "" : "  GRIDS DIFFER");
            // The first row that differs, on standard error.
            const QStringList &a = sqlite[i].rows, &b = pg[i].rows;
            for (qsizetype r = 0; r < std::max(a.size(), b.size()); ++r)
                if (a.value(r) != b.value(r)) {
                    std::fprintf(stderr, "%s row %lld\n  SQLite:     %s\n  PostgreSQL: %s\n",
                                 qPrintable(sqlite[i].id), qlonglong(r), qPrintable(a.value(r)),
                                 qPrintable(b.value(r)));
                    break;
                }
        }
    }

    std::printf("printed set, kelo-reports --build, median of 3\n");
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("set.pdf"));
        const QString sqliteTarget = QString::fromLocal8Bit(argv[1]);
        const QString serverTarget = QString::fromLocal8Bit(argv[2]);
        std::vector<double> sqlite, pg;
        for (int i = 0; i < 3; ++i) {
            sqlite.push_back(printedSet(sqliteTarget, date, pdf));
            pg.push_back(printedSet(serverTarget, date, pdf));
        }
        ratio(QStringLiteral("SRP010..SRP090"), bench::Median(sqlite), bench::Median(pg));
    }

    bench::BenchReportServer reports(QStringLiteral(KELO_REPORT_SERVER_PROGRAM));
    if (reports.base().isEmpty()) {
        std::fputs("the report server did not start\n", stderr);
        return 1;
    }
    // The five slowest on SQLite, by their place in the fixed order of the reports.
    struct Ranked {
        int index;
        QString id;
        double loaded;
    };
    std::vector<Ranked> ranked;
    int index = 0;
    bench::ForEachViewerReport(
        file, date,
        [&](const QString &id, viewer::Rdviewer40 *v, const std::function<void()> &search) {
            ranked.push_back({index++, id, bench::RunViewerReport(v, search, 2).loaded});
        });
    std::sort(ranked.begin(), ranked.end(),
              [](const Ranked &a, const Ranked &b) { return a.loaded > b.loaded; });
    ranked.resize(std::min<size_t>(ranked.size(), 5));
    auto slowest = [&](db::Connection &c) {
        std::vector<double> out(ranked.size());
        int at = 0;
        bench::ForEachViewerReport(
            c, date,
            [&](const QString &, viewer::Rdviewer40 *v, const std::function<void()> &search) {
                for (size_t r = 0; r < ranked.size(); ++r)
                    if (ranked[r].index == at) {
                        const bench::ViewerRun run = bench::RunViewerReport(v, search, 6);
                        // A report that failed has no time to compare: -1 says so.
                        out[r] = run.shown ? run.loaded : -1;
                        if (!run.shown)
                            std::fprintf(stderr, "%s: %s\n", qPrintable(run.location),
                                         qPrintable(v->message()));
                    }
                ++at;
            });
        return out;
    };
    std::printf("the five slowest viewer reports on SQLite, laid out whole\n");
    const std::vector<double> sqlite = slowest(file), pg = slowest(server);
    for (size_t r = 0; r < ranked.size(); ++r) {
        const QString name = QStringLiteral("%1 (#%2)").arg(ranked[r].id).arg(ranked[r].index);
        if (sqlite[r] < 0 || pg[r] < 0)
            std::printf("  %-36s not shown on %s (the message is on standard error)\n",
                        qPrintable(name), sqlite[r] < 0 ? "SQLite" : "PostgreSQL");
        else
            ratio(name, sqlite[r], pg[r]);
    }
    return 0;
}
