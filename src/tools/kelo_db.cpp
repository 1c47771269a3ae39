// kelo-db: administration of the database this project supplies.
//
//   kelo-db init PATH|ALIAS [--force]
//   kelo-db demo PATH|ALIAS [--years N] [--scale S] [--seed K] [--end YYYYMMDD] [--force]
//   kelo-db query ALIAS "SQL" [NAME=VALUE ...]
//   kelo-db call ALIAS PROC [NAME=VALUE ...]
//   kelo-db upgrade ALIAS|PATH
//   kelo-db encode-password TEXT
//
// ALIAS is looked up in Databases.ini of the program's directory (or of
// --app-dir DIR). Statements run through the database layer with the dialect.

#include "common/appdir.h"
#include "database/demo.h"
#include "database/schema.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/storedproc.h"
#include "db/transaction.h"
#include "shell/password.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>

#include <cstdio>

namespace {

using namespace kelo;

const char kUsage[] =
    "usage:\n"
    "  kelo-db init PATH|ALIAS [--force]\n"
    "  kelo-db demo PATH|ALIAS [--years N] [--scale S] [--seed K] [--end YYYYMMDD] [--force]\n"
    "  kelo-db query ALIAS \"SQL\" [NAME=VALUE ...]\n"
    "  kelo-db call ALIAS PROC [NAME=VALUE ...]\n"
    "  kelo-db upgrade ALIAS|PATH\n"
    "  kelo-db encode-password TEXT\n"
    "A PATH is a SQLite file; an ALIAS of Databases.ini with Driver=POSTGRES names a\n"
    "server database (its User; the password from PGPASSWORD or SBUpdate.ini).\n"
    "options: --app-dir DIR  where Databases.ini is (default: the program's directory)\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

// Whether the target names a server alias of Databases.ini (Driver=POSTGRES).
bool isServerAlias(const QString &target) {
    QSettings ini(AppFile(QStringLiteral("Databases.ini")), QSettings::IniFormat);
    for (const QString &group : ini.childGroups())
        if (group.compare(target, Qt::CaseInsensitive) == 0)
            return ini.value(group + QStringLiteral("/Driver")).toString().toUpper() ==
                   QLatin1String("POSTGRES");
    return false;
}

// An alias of Databases.ini, or the path of a database file.
void openTarget(db::Connection &connection, const QString &target, database::OlderSchema older) {
    if (QFileInfo(target).isFile())
        connection.setSqliteFile(target);
    else
        connection.setParams(shell::AliasConnectionParams(target));
    connection.open();
    database::CheckSchema(connection, older);
}

void out(const QString &text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

// A server database whose report role is missing or out of reach works, but its viewer
// reports do not run: said on stderr, the command still succeeds.
void warnReportRole(db::Connection &connection) {
    const QString problem = database::ReportRoleProblem(connection);
    if (!problem.isEmpty())
        std::fprintf(stderr, "kelo-db: 경고: %s\n", problem.toUtf8().constData());
}

int runQuery(const QString &alias, const QString &sql, const QStringList &assignments) {
    db::Connection connection;
    openTarget(connection, alias, database::OlderSchema::Refuse);
    db::Query q(connection);
    q.setSql(sql);
    for (const QString &a : assignments) {
        const qsizetype eq = a.indexOf(u'=');
        if (eq <= 0)
            throw db::DbError(QStringLiteral("Parameters are NAME=VALUE, not '%1'.").arg(a));
        q.setParam(a.left(eq), a.mid(eq + 1));
    }
    q.open();
    QStringList header;
    for (int i = 0; i < q.fieldCount(); ++i)
        header << q.fieldName(i);
    if (!header.isEmpty())
        out(header.join(u'\t') + u'\n');
    int rows = 0;
    for (; !q.eof(); q.next(), ++rows) {
        QStringList row;
        for (int i = 0; i < q.fieldCount(); ++i)
            row << q.text(i);
        out(row.join(u'\t') + u'\n');
    }
    if (q.fieldCount() == 0)
        out(QStringLiteral("done\n"));
    return 0;
}

int runCall(const QString &alias, const QString &proc, const QStringList &assignments) {
    db::Connection connection;
    openTarget(connection, alias, database::OlderSchema::Refuse);
    db::StoredProc call(connection);
    call.setProcName(proc);
    call.refreshParams();
    for (const QString &a : assignments) {
        const qsizetype eq = a.indexOf(u'=');
        if (eq <= 0)
            throw db::DbError(QStringLiteral("Parameters are NAME=VALUE, not '%1'.").arg(a));
        call.setParam(a.left(eq), a.mid(eq + 1));
    }
    db::Transaction t(connection);
    t.begin();
    call.execute();
    bool refused = false;
    for (const db::ProcParam &p : call.params()) {
        if (p.direction == db::ParamDirection::Input)
            continue;
        out(QStringLiteral("%1=%2\n").arg(p.name, call.param(p.name)));
        refused =
            refused || (p.name == QLatin1String("AERROR_MSG") && !call.param(p.name).isEmpty());
    }
    if (refused) {
        t.rollback();
        std::fputs("refused: rolled back\n", stderr);
        return 1;
    }
    t.commit();
    out(QStringLiteral("committed\n"));
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the demo draws the employees' photographs
    QStringList args = app.arguments().mid(1);
    const qsizetype appDirAt = args.indexOf(QStringLiteral("--app-dir"));
    if (appDirAt >= 0) {
        if (appDirAt + 1 >= args.size())
            return usage();
        SetAppDir(args.at(appDirAt + 1));
        args.remove(appDirAt, 2);
    }
    if (args.isEmpty())
        return usage();
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const QString command = args.takeFirst();
    database::Install();
    try {
        if (command == QLatin1String("init") || command == QLatin1String("demo")) {
            database::DemoOptions options;
            options.force = args.removeAll(QStringLiteral("--force")) > 0;
            for (int i = 0; i < args.size(); ++i) {
                const QString &a = args.at(i);
                auto value = [&]() -> QString {
                    if (i + 1 >= args.size())
                        throw db::DbError(QStringLiteral("%1 needs a value.").arg(a));
                    return args.at(++i);
                };
                auto number = [&]() {
                    bool ok = false;
                    const QString v = value();
                    const int n = v.toInt(&ok);
                    if (!ok)
                        throw db::DbError(
                            QStringLiteral("%1 takes a whole number, not '%2'.").arg(a, v));
                    return n;
                };
                if (a == QLatin1String("--years"))
                    options.years = number();
                else if (a == QLatin1String("--scale"))
                    options.scale = number();
                else if (a == QLatin1String("--seed"))
                    options.seed = quint64(number());
                else if (a == QLatin1String("--end"))
                    options.endDate = value();
                else if (options.path.isEmpty() && !a.startsWith(QLatin1String("--")))
                    options.path = a;
                else
                    return usage();
            }
            if (options.path.isEmpty())
                return usage();
            QElapsedTimer timer;
            timer.start();
            const bool server = isServerAlias(options.path);
            if (server)
                options.connectionParams = shell::AliasConnectionParams(options.path);
            if (command == QLatin1String("init")) {
                if (server) {
                    db::Connection connection;
                    connection.setParams(options.connectionParams);
                    database::CreateServerDatabase(connection, options.force);
                    warnReportRole(connection);
                } else {
                    database::CreateDatabase(options.path, options.force);
                }
            } else {
                options.progress = [&](const QString &text) {
                    std::fprintf(stderr, "[%6.1fs] %s\n", timer.elapsed() / 1000.0,
                                 text.toUtf8().constData());
                };
                database::GenerateDemo(options);
            }
            if (server)
                std::fprintf(stderr, "%s written in %.1f s\n", options.path.toUtf8().constData(),
                             timer.elapsed() / 1000.0);
            else
                std::fprintf(stderr, "%s written in %.1f s, %.1f MB\n",
                             options.path.toUtf8().constData(), timer.elapsed() / 1000.0,
                             QFileInfo(options.path).size() / 1048576.0);
            return 0;
        }
        if (command == QLatin1String("encode-password") && args.size() == 1) {
            out(shell::EncodePassword(args.at(0)) + u'\n');
            return 0;
        }
        if (command == QLatin1String("upgrade") && args.size() == 1) {
            db::Connection connection;
            openTarget(connection, args.at(0), database::OlderSchema::Upgrade);
            // A server database of the current version may still lack this release's
            // dialect functions and operators.
            database::InstallServerObjects(connection);
            warnReportRole(connection);
            out(QStringLiteral("schema version %1\n").arg(database::SchemaVersion(connection)));
            return 0;
        }
        if (command == QLatin1String("query") && args.size() >= 2)
            return runQuery(args.at(0), args.at(1), args.mid(2));
        if (command == QLatin1String("call") && args.size() >= 2)
            return runCall(args.at(0), args.at(1), args.mid(2));
        return usage();
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "kelo-db: %s\n", e.message().toUtf8().constData());
        return 1;
    } catch (const shell::PasswordError &e) {
        std::fprintf(stderr, "kelo-db: %s\n", e.message().toUtf8().constData());
        return 1;
    }
}
