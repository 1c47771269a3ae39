// How soon a report definition's statement is stopped once it passes its time limit.
// Each statement below runs as the viewer runs a definition (RunStatements: the report
// role on the server, the limits of Kelo_S.ini [Report], a tick every 50 ms that
// processes events) with TimeLimit=LIMIT seconds and no memory or data set limit, and
// the time from the limit to the moment the run returns is printed (median and worst of
// RUNS runs). The issue this answers: a statement past its limit is stopped within 1 s.
//   - SQLite: a file in a temporary folder;
//   - PostgreSQL (with --postgres and the server in KELO_PG_HOST, KELO_PG_PORT,
//     KELO_PG_USER, KELO_PG_PASSWORD, a user that may create databases and roles): a
//     database of its own with the dialect and the report role, dropped after.
//
// Usage: bench_report_limits [--postgres] [--limit SECONDS] [--runs N]

#include "bench_timing.h"
#include "common/appdir.h"
#include "database/schema.h"
#include "db/connection.h"
#include "db/dialect.h"
#include "db/query.h"
#include "viewer/definition_parser.h"
#include "viewer/execution.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Case {
    const char *name;
    const char *sql;
    bool postgres; // else SQLite
};

const Case kCases[] = {
    {"recursive count",
     "WITH RECURSIVE R(N) AS (SELECT 1 FROM DUAL UNION ALL SELECT N + 1 FROM R) "
     "SELECT COUNT(*) AS A FROM R",
     false},
    {"cross join count",
     "WITH RECURSIVE R(N) AS (SELECT 1 FROM DUAL UNION ALL SELECT N + 1 FROM R "
     "WHERE N < 100000) SELECT COUNT(*) AS A FROM R X, R Y",
     false},
    {"rows without end",
     "WITH RECURSIVE R(N) AS (SELECT 1 FROM DUAL UNION ALL SELECT N + 1 FROM R) "
     "SELECT N AS A FROM R",
     false},
    {"pg_sleep(600)", "SELECT CAST(pg_sleep(600) AS TEXT) AS A FROM DUAL", true},
    {"recursive count",
     "WITH RECURSIVE R(N) AS (SELECT 1 FROM DUAL UNION ALL SELECT N + 1 FROM R "
     "WHERE N < 2000000000) SELECT COUNT(*) AS A FROM R",
     true},
    {"cross join count",
     "SELECT COUNT(*) AS A FROM generate_series(1, 100000) X, "
     "generate_series(1, 100000) Y",
     true},
    {"rows without end", "SELECT CAST(N AS TEXT) AS A FROM generate_series(1, 2000000000) N", true},
};

QByteArray Definition(const char *sql) {
    return QStringLiteral(R"xml(<?xml version="1.0" encoding="UTF-8"?>
<report name="BENCH">
  <dataset name="rows"><sql><![CDATA[%1]]></sql></dataset>
  <band kind="detail" dataset="rows" height="5"><field x="0" y="0" w="80" h="5" field="A"/></band>
</report>
)xml")
        .arg(QString::fromUtf8(sql))
        .toUtf8();
}

QString PgAlias(const QString &alias, const QString &database) {
    return QStringLiteral("[%1]\nDriver=POSTGRES\nHost=%2\nPort=%3\nDatabase=%4\n")
        .arg(alias, qEnvironmentVariable("KELO_PG_HOST", QStringLiteral("127.0.0.1")),
             qEnvironmentVariable("KELO_PG_PORT", QStringLiteral("5432")), database);
}

QStringList PgParams(const QString &alias) {
    return {QStringLiteral("DATABASE=") + alias,
            QStringLiteral("USER_NAME=") +
                qEnvironmentVariable("KELO_PG_USER", QStringLiteral("kelo")),
            QStringLiteral("PASSWORD=") +
                qEnvironmentVariable("KELO_PG_PASSWORD", QStringLiteral("kelo"))};
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    bool postgres = false;
    int limit = 2, runs = 3;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--postgres"))
            postgres = true;
        else if (args[i] == QLatin1String("--limit") && i + 1 < args.size())
            limit = args[++i].toInt();
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            runs = args[++i].toInt();
    }
    QTemporaryDir dir;
    kelo::SetAppDir(dir.path());
    {
        QSettings ini(dir.filePath(QStringLiteral("Kelo_S.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Report/TimeLimit"), limit);
        ini.setValue(QStringLiteral("Report/MemoryLimit"), 0);
        ini.setValue(QStringLiteral("Report/DataSetLimit"), 0);
    }
    const QString database = QStringLiteral("kelo_bench_limits");
    kelo::db::Connection connection;
    try {
        if (postgres) {
            QFile aliases(dir.filePath(QStringLiteral("Databases.ini")));
            aliases.open(QIODevice::WriteOnly);
            aliases.write((PgAlias(QStringLiteral("ADMIN"), QStringLiteral("postgres")) +
                           PgAlias(QStringLiteral("BENCH"), database))
                              .toUtf8());
            aliases.close();
            kelo::db::Connection admin;
            admin.setParams(PgParams(QStringLiteral("ADMIN")));
            admin.open();
            admin.executeScript(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(database));
            admin.executeScript(QStringLiteral("CREATE DATABASE %1").arg(database));
            connection.setParams(PgParams(QStringLiteral("BENCH")));
            connection.open();
            kelo::database::InstallServerObjects(connection);
        } else {
            const QString file = dir.filePath(QStringLiteral("bench.db"));
            kelo::db::Connection::createSqliteFile(file);
            connection.setSqliteFile(file);
            connection.open();
        }
    } catch (const kelo::db::DbError &e) {
        std::fprintf(stderr, "bench_report_limits: %s\n", e.message().toUtf8().constData());
        return 1;
    }
    std::printf("%s, time limit %d s, %d runs each: seconds from the limit to the stop\n",
                postgres ? "PostgreSQL" : "SQLite", limit, runs);
    for (const Case &c : kCases) {
        if (c.postgres != postgres)
            continue;
        std::vector<double> late;
        QString outcome;
        for (int run = 0; run < runs; ++run) {
            kelo::viewer::ParseResult parsed = kelo::viewer::ParseDefinition(
                Definition(c.sql), QStringLiteral("BENCH.mrd"), connection);
            if (!parsed.report) {
                std::fprintf(stderr, "%s\n", parsed.error.toUtf8().constData());
                return 1;
            }
            const double ms = kelo::bench::Millis([&] {
                outcome = kelo::viewer::RunStatements(*parsed.report, {}, [] {
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                    return true;
                });
            });
            late.push_back(ms / 1000.0 - limit);
        }
        std::printf("  %-18s median %+.3f  worst %+.3f   %s\n", c.name, kelo::bench::Median(late),
                    *std::max_element(late.begin(), late.end()),
                    outcome.section(QStringLiteral(": "), -1).toUtf8().constData());
    }
    if (postgres) {
        connection.close();
        kelo::db::Connection admin;
        admin.setParams(PgParams(QStringLiteral("ADMIN")));
        admin.open();
        admin.executeScript(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(database));
    }
    return 0;
}
