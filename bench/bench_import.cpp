// The target import screen's Search on spreadsheet files: the file read and every row put
// into the grid (ImportFile), median of 5 per file, and how far the resident memory rose
// above where it was before the first import.
//
// Goal: 10,000 rows under 1 s each; memory growth under 50 MB.
//
// Usage: bench_import FILE...   (bench_spreadsheet DIR writes bench_targets_10k.xlsx and, with
//                                LibreOffice on the PATH, its .xls and .ods copies into DIR)

#include "common/application.h"
#include "database/schema.h"
#include "screens/targets/target_import.h"

#include "bench_memory.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kelo;

int main(int argc, char **argv) {
    Application app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_import FILE...\n", stderr);
        return 2;
    }
    database::Install();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.db"));
    database::CreateDatabase(file, false);
    db::Connection connection;
    connection.setSqliteFile(file);
    connection.open();
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        screens::TfrmSTI020 screen(connection);
        screen.resize(1028, 600);
        screen.show();
        const long before = bench::ResidentKb();
        bench::ResetPeak();
        std::vector<double> times;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer t;
            t.start();
            if (!screen.ImportFile(path)) {
                std::fprintf(stderr, "%s: the import failed\n", argv[i]);
                return 1;
            }
            times.push_back(t.nsecsElapsed() / 1e6);
        }
        const long growth = bench::PeakKb() - before;
        std::sort(times.begin(), times.end());
        std::printf("%-28s %6d rows into the grid: median %7.1f ms, memory +%.1f MB (goal < 1000 "
                    "ms, < 50 MB)\n",
                    qPrintable(QFileInfo(path).fileName()), screen.rgrGrid->rowCountFetched(),
                    times[2], growth / 1024.0);
    }
    return 0;
}
