// The daily report data build PR_SA000MS_01 of one day in one transaction, as the report
// output screen runs it; rolled back after each run, median of 5.
//
// Usage: bench_databuild FILE|ALIAS [YYYYMMDD]   e.g. a database of kelo-db demo --years 5
// --scale 4. A file is copied first and the copy built; the day defaults to the last day of
// sales.

#include "database/schema.h"
#include "db/query.h"
#include "db/storedproc.h"
#include "db/transaction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace kelo;

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: bench_databuild FILE|ALIAS [YYYYMMDD]\n"
                   "  a FILE is copied and the copy built; an ALIAS of Databases.ini in\n"
                   "  KELO_APP_DIR names a server database (user and password from KELO_PG_USER\n"
                   "  and PGPASSWORD), each run rolled back\n",
                   stderr);
        return 2;
    }
    database::Install();
    const QString target = QString::fromLocal8Bit(argv[1]);
    const bool file = QFileInfo(target).isFile();
    QTemporaryDir dir;
    db::Connection c;
    if (file) {
        const QString copy = dir.filePath(QStringLiteral("build.db"));
        if (!QFile::copy(target, copy)) {
            std::fprintf(stderr, "cannot copy %s\n", argv[1]);
            return 1;
        }
        c.setSqliteFile(copy);
    } else {
        c.setParams({QStringLiteral("DATABASE=") + target,
                     QStringLiteral("USER_NAME=") + qEnvironmentVariable("KELO_PG_USER", "kelo"),
                     QStringLiteral("PASSWORD=") + qEnvironmentVariable("PGPASSWORD")});
    }
    c.open();
    database::CheckSchema(c, database::OlderSchema::Refuse);
    QString date = argc > 2 ? QString::fromLatin1(argv[2]) : QString();
    if (date.isEmpty()) {
        db::Query last(c);
        last.setSql(QStringLiteral(R"sql(
            SELECT MAX(SALE_DATE)
            FROM IA010MS
        )sql"));
        last.open();
        date = last.text(0);
    }
    std::printf("database %s (%s), business date %s\n", argv[1],
                file ? qPrintable(QStringLiteral("%1 MB").arg(QFileInfo(target).size() / 1048576))
                     : "PostgreSQL",
                qPrintable(date));
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        db::Transaction t(c);
        t.begin();
        QElapsedTimer timer;
        timer.start();
        db::StoredProc p(c);
        p.setProcName(QStringLiteral("PR_SA000MS_01"));
        p.setParam(QStringLiteral("ASALE_DATE"), date);
        p.setParam(QStringLiteral("AU_EMP_NO"), QStringLiteral("20000001"));
        p.setParam(QStringLiteral("AU_IP"), QStringLiteral("127.0.0.1"));
        p.execute();
        times.push_back(timer.nsecsElapsed() / 1e6);
        if (!p.param(QStringLiteral("AERROR_MSG")).isEmpty()) {
            std::fprintf(stderr, "refused: %s\n",
                         qPrintable(p.param(QStringLiteral("AERROR_MSG"))));
            return 1;
        }
        if (run == 0) {
            db::Query rows(c);
            rows.setSql(QStringLiteral(R"sql(
                SELECT (
                    SELECT COUNT(*)
                    FROM SA030MS
                    WHERE SALE_DATE = :ASALE_DATE
                ), (
                    SELECT COUNT(*)
                    FROM SA040MS
                    WHERE SALE_DATE = :ASALE_DATE
                ), (
                    SELECT COUNT(*)
                    FROM SA090MS
                    WHERE SALE_DATE = :ASALE_DATE
                )
                FROM DUAL
            )sql"));
            rows.setParam(QStringLiteral("ASALE_DATE"), date);
            rows.open();
            std::printf("built rows: SA030MS %s, SA040MS %s, SA090MS %s\n",
                        qPrintable(rows.text(0)), qPrintable(rows.text(1)),
                        qPrintable(rows.text(2)));
        }
        t.rollback();
    }
    const double first = times.front();
    std::sort(times.begin(), times.end());
    std::printf("data build of one day in one transaction: first %.0f ms, median %.0f ms "
                "(goal < 1000 ms)\n",
                first, times[2]);
    return 0;
}
