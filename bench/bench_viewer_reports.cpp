// Every viewer program's report through a report server, as a user opens it: the screen's
// search on the date, the definition fetched from kelo-report-server on loopback, read,
// bound, its statements run and every page laid out; then the first page drawn. Median of
// 5 after one warming round, per program; the slowest five at the end.
//
// Usage: bench_viewer_reports DB [YYYYMMDD]
//   DB: a database file of kelo-db demo (--years 5 --scale 4 for the large one). Day
//   members get the date, range members the first of its month to the date, month members
//   its month. The server (built beside this program) serves the repository's reports/.

#include "bench_screen_runs.h"
#include "common/application.h"
#include "common/fonts.h"
#include "database/schema.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kelo;

namespace {

// One GET of the location, in ms.
double Fetch(QNetworkAccessManager &net, const QString &location) {
    QString url = location;
    url.replace(u'\\', u'/');
    QElapsedTimer t;
    t.start();
    QNetworkReply *reply = net.get(QNetworkRequest(QUrl(url)));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    reply->readAll();
    reply->deleteLater();
    return t.nsecsElapsed() / 1e6;
}

struct Result {
    QString id, location;
    double loaded = 0, first = 0, fetch = 0;
    int pages = 0;
    bool shown = false;
};

} // namespace

int main(int argc, char **argv) {
    Application app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_viewer_reports DB [YYYYMMDD]\n", stderr);
        return 2;
    }
    InstallFontSubstitutions();
    database::Install();
    const QString date = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("20261209");

    bench::BenchReportServer server(QStringLiteral(KELO_REPORT_SERVER_PROGRAM));
    const QString base = server.base();
    if (base.isEmpty()) {
        std::fputs("the report server did not start\n", stderr);
        return 1;
    }

    db::Connection c;
    c.setSqliteFile(QString::fromLocal8Bit(argv[1]));
    c.open();
    QNetworkAccessManager net;
    std::printf("database %s, date %s, server %s\n", argv[1], qPrintable(date), qPrintable(base));
    std::printf("%-8s %8s %8s %8s %5s  %s\n", "program", "loaded", "page 1", "fetch", "pages",
                "report");

    std::vector<Result> results;
    // Six searches of one screen's report (the first one not counted).
    bench::ForEachViewerReport(
        c, date,
        [&](const QString &id, viewer::Rdviewer40 *v, const std::function<void()> &search) {
            std::vector<double> fetch;
            const bench::ViewerRun run =
                bench::RunViewerReport(v, search, 6, [&](const QString &location) {
                    fetch.push_back(Fetch(net, location));
                });
            Result r{id,        run.location, run.loaded, run.first, bench::Median(fetch),
                     run.pages, run.shown};
            std::printf("%-8s %8.1f %8.1f %8.1f %5d  %s%s\n", qPrintable(r.id), r.loaded, r.first,
                        r.fetch, r.pages, qPrintable(r.location.section(u'/', -1)),
                        r.shown ? "" : "  NOT SHOWN");
            std::fflush(stdout);
            results.push_back(r);
        });
    std::sort(results.begin(), results.end(),
              [](const Result &a, const Result &b) { return a.loaded > b.loaded; });
    std::printf("slowest five (whole report laid out, ms; goal < 2000; first page goal < 300):\n");
    for (size_t i = 0; i < results.size() && i < 5; ++i)
        std::printf("  %-8s %8.1f  first page %8.1f  fetch %6.1f\n", qPrintable(results[i].id),
                    results[i].loaded, results[i].first, results[i].fetch);
    return 0;
}
