// Each sales view's search (its grid statement walked to the end and its totals
// statement) through the database layer, median of 5.
//
// Usage: bench_sales DB [YYYYMMDD]   e.g. a database of kelo-db demo --years 5 --scale 4

#include "bench_sales_run.h"
#include "common/application.h"
#include "database/schema.h"
#include "db/query.h"
#include "screens/sales/sales_inquiries.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace kelo;

namespace {

double run(db::Connection &c, const QString &sql, const QString &date, const QString &upjang) {
    return bench::RunSalesStatement(c, sql, date, upjang);
}

} // namespace

int main(int argc, char **argv) {
    Application app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_sales FILE|ALIAS [YYYYMMDD]\n"
                   "  an ALIAS of Databases.ini in KELO_APP_DIR names a server database; the user\n"
                   "  and password come from KELO_PG_USER and PGPASSWORD\n",
                   stderr);
        return 2;
    }
    database::Install();
    db::Connection c;
    const QString target = QString::fromLocal8Bit(argv[1]);
    const bool file = QFileInfo(target).isFile();
    if (file)
        c.setSqliteFile(target);
    else
        c.setParams({QStringLiteral("DATABASE=") + target,
                     QStringLiteral("USER_NAME=") + qEnvironmentVariable("KELO_PG_USER", "kelo"),
                     QStringLiteral("PASSWORD=") + qEnvironmentVariable("PGPASSWORD")});
    c.open();
    const QString date = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("20261208");
    struct View {
        const char *name;
        std::unique_ptr<TfrmSZS010> screen;
        QString upjang;
    };
    std::vector<View> views;
    views.push_back({"SAS010 sales by division", std::make_unique<screens::TfrmSAS010>(c), {}});
    views.push_back({"SAS020 sales against target", std::make_unique<screens::TfrmSAS020>(c), {}});
    views.push_back({"SAS030 room sales 1001",
                     std::make_unique<screens::TfrmSAS030>(c, QStringLiteral("1001")), "1001"});
    views.push_back({"SAS030 room sales 1002",
                     std::make_unique<screens::TfrmSAS030>(c, QStringLiteral("1002")), "1002"});
    views.push_back({"SAS030 room sales 1003",
                     std::make_unique<screens::TfrmSAS030>(c, QStringLiteral("1003")), "1003"});
    views.push_back({"SAS040 golf", std::make_unique<screens::TfrmSAS040>(c), {}});
    views.push_back({"SAS050 ski", std::make_unique<screens::TfrmSAS050>(c), {}});
    std::printf("database %s (%s), business date %s\n", argv[1],
                file ? qPrintable(QStringLiteral("%1 MB").arg(QFileInfo(target).size() / 1048576))
                     : "PostgreSQL",
                qPrintable(date));
    for (View &v : views) {
        std::vector<double> times;
        run(c, v.screen->qryQuery->sql(), date, v.upjang); // warm the cache
        for (int i = 0; i < 5; ++i)
            times.push_back(run(c, v.screen->qryQuery->sql(), date, v.upjang) +
                            run(c, v.screen->qryFooter->sql(), date, v.upjang));
        std::sort(times.begin(), times.end());
        std::printf("%-30s grid + totals: median %7.1f ms (goal < 300 ms)\n", v.name, times[2]);
    }
    return 0;
}
