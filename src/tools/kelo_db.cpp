// kelo-db: administration of the database this project supplies.
//
//   kelo-db init PATH|ALIAS [--force]
//   kelo-db demo PATH|ALIAS [--years N] [--days N] [--scale S] [--seed K] [--end YYYYMMDD]
//                [--force]
//   kelo-db query PATH|ALIAS "SQL" [NAME=VALUE ...]
//   kelo-db call PATH|ALIAS PROC [NAME=VALUE ...]
//   kelo-db upgrade PATH|ALIAS
//   kelo-db backup PATH|ALIAS FILE
//   kelo-db restore PATH|ALIAS FILE
//   kelo-db encode-password TEXT
//   kelo-db set-password PATH|ALIAS EMPNO
//   kelo-db clear-password PATH|ALIAS EMPNO
//
// ALIAS is looked up in Databases.ini (the settings folders, or --app-dir DIR); a PATH (a
// text with a '/', an existing file or a name ending in .db) is a SQLite file. Statements
// run through the database layer with the dialect. set-password reads the web sign-in
// password of an employee from the terminal without echo, twice, or the first line of
// standard input when that is no terminal; never from the command line.

#include "common/appdir.h"
#include "common/protectedfiles.h"
#include "database/demo.h"
#include "database/schema.h"
#include "db/backup.h"
#include "db/connection.h"
#include "db/query.h"
#include "db/storedproc.h"
#include "db/transaction.h"
#include "shell/password.h"
#include "tools/targets.h"
#include "web/passwords.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringDecoder>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace kelo;

const char kUsage[] =
    "usage:\n"
    "  kelo-db init PATH|ALIAS [--force]\n"
    "  kelo-db demo PATH|ALIAS [--years N] [--days N] [--scale S] [--seed K] [--end YYYYMMDD]\n"
    "               [--force]\n"
    "  kelo-db query PATH|ALIAS \"SQL\" [NAME=VALUE ...]\n"
    "  kelo-db call PATH|ALIAS PROC [NAME=VALUE ...]\n"
    "  kelo-db upgrade PATH|ALIAS\n"
    "  kelo-db backup PATH|ALIAS FILE\n"
    "  kelo-db restore PATH|ALIAS FILE\n"
    "  kelo-db encode-password TEXT\n"
    "  kelo-db set-password PATH|ALIAS EMPNO\n"
    "  kelo-db clear-password PATH|ALIAS EMPNO\n"
    "A PATH is a SQLite file (a text with a '/', an existing file, or a name ending in .db);\n"
    "an ALIAS of Databases.ini with Driver=POSTGRES names a server database (its User; the\n"
    "password from PGPASSWORD or SBUpdate.ini). backup copies a live database (pg_dump for a\n"
    "server); restore replaces the database with a copy (refused while a program has a\n"
    "SQLite file open). set-password sets an employee's password of the web sign-in: asked\n"
    "twice on the terminal, or the first line of standard input in a script; clear-password\n"
    "removes it.\n"
    "options: --app-dir DIR  where Databases.ini is (default: beside the program, then\n"
    "                        ~/.config/kelo, then /etc/kelo)\n"
    "         --help         this text\n";

int usage(const QString &why = QString()) {
    if (!why.isEmpty())
        std::fprintf(stderr, "kelo-db: %s\n", why.toUtf8().constData());
    std::fputs(kUsage, stderr);
    return 2;
}

// What the target names, a file or a server database (db::ResolveDatabase): a database
// file to be made is named by a path (a text with a '/', or a name ending in .db).
db::DatabaseTarget resolve(const QString &target) {
    const db::DatabaseTarget t = db::ResolveDatabase(target);
    if (t.engine == db::Engine::Sqlite && QFileInfo(t.file).isDir())
        throw db::DbError(QStringLiteral("%1 is a folder, not a database file; give the path of "
                                         "a file (%2).")
                              .arg(QDir::toNativeSeparators(t.file),
                                   QDir(t.file).filePath(QStringLiteral("kelo.db"))));
    return t;
}

void openTarget(db::Connection &connection, const QString &target) {
    resolve(target);
    connection.setParams(tools::TargetParams(target));
    connection.open();
}

// An alias of Databases.ini, or the path of a database file, checked to hold this
// system's database.
void openTarget(db::Connection &connection, const QString &target, database::OlderSchema older) {
    openTarget(connection, target);
    database::CheckSchema(connection, older);
}

void out(const QString &text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

void say(const QString &text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

double megabytes(const QString &file) {
    return QFileInfo(file).size() / 1048576.0;
}

// A server database whose report role is missing or out of reach works, but its viewer
// reports do not run: said on stderr, the command still succeeds.
void warnReportRole(db::Connection &connection) {
    const QString problem = database::ReportRoleProblem(connection);
    if (!problem.isEmpty())
        std::fprintf(stderr, "kelo-db: 경고: %s\n", problem.toUtf8().constData());
}

int runBackup(const QString &target, const QString &file) {
    QElapsedTimer timer;
    timer.start();
    db::Connection connection;
    openTarget(connection, target);
    db::BackupDatabase(connection, file);
    say(QStringLiteral("%1: backup of %2 written in %3 s, %4 MB")
            .arg(file, target)
            .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
            .arg(megabytes(file), 0, 'f', 1));
    return 0;
}

// A copy of this system's database: one of this release or an earlier one.
void checkCopy(db::Connection &copy, const QString &file) {
    const int version = database::SchemaVersion(copy);
    if (version <= 0)
        throw db::DbError(
            QStringLiteral("%1 is not a copy of this system's database (no schema).").arg(file));
    if (version > database::CurrentSchemaVersion())
        throw db::DbError(QStringLiteral("%1 holds schema version %2, newer than this program's "
                                         "%3; restore it with a newer program.")
                              .arg(file)
                              .arg(version)
                              .arg(database::CurrentSchemaVersion()));
}

int runRestore(const QString &target, const QString &file) {
    QElapsedTimer timer;
    timer.start();
    if (!QFileInfo(file).isFile())
        throw db::DbError(QStringLiteral("The copy %1 %2.")
                              .arg(file, QFileInfo::exists(file)
                                             ? QStringLiteral("is not a regular file")
                                             : QStringLiteral("does not exist")));
    const db::DatabaseTarget where = resolve(target);
    if (where.engine == db::Engine::Postgres) {
        db::Connection connection;
        openTarget(connection, target);
        db::RestoreServerDatabase(connection, file);
    } else {
        // A program that has the file open would go on with what it read before, or write
        // into it meanwhile.
        for (const char *suffix : {"", "-wal", "-shm", "-journal"}) {
            const QList<qint64> holders =
                database::ProcessesHoldingFile(where.file + QLatin1String(suffix));
            if (!holders.isEmpty())
                throw db::DbError(QStringLiteral("The database %1 is open in another program "
                                                 "(process %2); close every program that uses "
                                                 "it before restoring.")
                                      .arg(where.file)
                                      .arg(holders.first()));
        }
        db::Connection copy;
        copy.setSqliteFile(file);
        copy.open();
        checkCopy(copy, file);
        db::RestoreSqliteDatabase(copy, where.file);
    }
    // A copy of an earlier release is brought up to date at once.
    db::Connection connection;
    openTarget(connection, where.alias ? target : where.file, database::OlderSchema::Upgrade);
    say(QStringLiteral("%1: restored from %2 in %3 s (schema version %4)")
            .arg(target, file)
            .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
            .arg(database::SchemaVersion(connection)));
    return 0;
}

// The terminal's settings while a password is typed without echo, put back also when the
// command is interrupted.
struct termios g_terminal;
volatile std::sig_atomic_t g_echoOff = 0;

void restoreEcho(int signal) {
    if (g_echoOff)
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_terminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// One line of standard input without its line end; none at the end of the input. The bytes
// read are wiped.
std::optional<QByteArray> readLine() {
    char *buffer = nullptr;
    size_t capacity = 0;
    const ssize_t n = ::getline(&buffer, &capacity, stdin);
    std::optional<QByteArray> line;
    if (n >= 0) {
        qsizetype length = n;
        if (length > 0 && buffer[length - 1] == '\n')
            --length;
        if (length > 0 && buffer[length - 1] == '\r')
            --length;
        line = QByteArray(buffer, length);
    }
    if (buffer) {
        std::memset(buffer, 0, capacity);
        std::free(buffer);
    }
    return line;
}

// A line typed on the terminal after the prompt, not shown.
std::optional<QByteArray> askHidden(const char *prompt) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    const bool hidden = tcgetattr(STDIN_FILENO, &g_terminal) == 0;
    if (hidden) {
        struct termios quiet = g_terminal;
        quiet.c_lflag &= ~tcflag_t(ECHO);
        quiet.c_lflag |= ECHONL;
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            std::signal(signal, restoreEcho);
        g_echoOff = 1;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::optional<QByteArray> line = readLine();
    if (hidden) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_terminal);
        g_echoOff = 0;
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            std::signal(signal, SIG_DFL);
    }
    return line;
}

QString passwordText(const std::optional<QByteArray> &line) {
    if (!line)
        throw db::DbError(QStringLiteral("No password given (the input ended); nothing changed."));
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(*line);
    if (utf8.hasError())
        throw db::DbError(QStringLiteral("The password is not UTF-8 text; nothing changed."));
    return text;
}

// The new password: typed twice on the terminal, or a script's first line of standard input.
QString readNewPassword() {
    if (!::isatty(STDIN_FILENO))
        return passwordText(readLine());
    const QString first = passwordText(askHidden("Password: "));
    // A password the rule refuses is said at once, not after it was typed again.
    if (const QString why = web::PasswordRuleError(first); !why.isEmpty())
        throw db::DbError(why + QStringLiteral(" Nothing changed."));
    const QString again = passwordText(askHidden("Again: "));
    if (first != again)
        throw db::DbError(QStringLiteral("The two passwords differ; nothing changed."));
    return first;
}

int runSetPassword(const QString &target, const QString &empNo) {
    db::Connection connection;
    openTarget(connection, target, database::OlderSchema::Refuse);
    // Said before the password is asked for.
    if (const QString why = web::PasswordHolderError(connection, empNo); !why.isEmpty())
        throw db::DbError(why);
    const QString password = readNewPassword();
    QString why;
    try {
        why = web::SetPassword(connection, empNo, password);
    } catch (const db::DbError &) {
        throw;
    } catch (const std::runtime_error &e) {
        throw db::DbError(QString::fromUtf8(e.what()));
    }
    if (!why.isEmpty())
        throw db::DbError(why + QStringLiteral(" Nothing changed."));
    say(QStringLiteral("%1: the web sign-in password of %2 is set").arg(target, empNo));
    return 0;
}

int runClearPassword(const QString &target, const QString &empNo) {
    db::Connection connection;
    openTarget(connection, target, database::OlderSchema::Refuse);
    if (!web::ClearPassword(connection, empNo))
        throw db::DbError(
            QStringLiteral("%1 has no web sign-in password; nothing removed.").arg(empNo));
    say(QStringLiteral("%1: the web sign-in password of %2 is removed; no web sign-in any more")
            .arg(target, empNo));
    return 0;
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

// The options of init and demo; false with why when one is not understood.
QString demoOptions(QStringList args, database::DemoOptions &options) {
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
                throw db::DbError(QStringLiteral("%1 takes a whole number, not '%2'.").arg(a, v));
            return n;
        };
        if (a == QLatin1String("--years"))
            options.years = number();
        else if (a == QLatin1String("--days"))
            options.days = number();
        else if (a == QLatin1String("--scale"))
            options.scale = number();
        else if (a == QLatin1String("--seed"))
            options.seed = quint64(number());
        else if (a == QLatin1String("--end"))
            options.endDate = value();
        else if (a.startsWith(QLatin1String("--")) || !options.path.isEmpty())
            return QStringLiteral("not understood: ") + a;
        else
            options.path = a;
    }
    return options.path.isEmpty() ? QStringLiteral("no database named") : QString();
}

int runCreate(const QString &command, QStringList args) {
    database::DemoOptions options;
    const QString wrong = demoOptions(args, options);
    if (!wrong.isEmpty())
        return usage(wrong);
    if (command == QLatin1String("init") &&
        (options.years != database::DemoOptions().years || options.days || options.scale != 1 ||
         options.seed != 1 || !options.endDate.isEmpty()))
        return usage(QStringLiteral("init takes only --force"));
    QElapsedTimer timer;
    timer.start();
    const QString name = options.path;
    const db::DatabaseTarget target = resolve(name);
    const bool server = target.engine == db::Engine::Postgres;
    if (server)
        options.connectionParams = tools::TargetParams(name);
    else
        options.path = target.file;
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
        say(QStringLiteral("%1 written in %2 s")
                .arg(name)
                .arg(timer.elapsed() / 1000.0, 0, 'f', 1));
    else
        say(QStringLiteral("%1 written in %2 s, %3 MB")
                .arg(options.path)
                .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
                .arg(megabytes(options.path), 0, 'f', 1));
    return 0;
}

// The commands and the number of their fixed arguments (-1: init and demo, which parse
// their own; query and call take NAME=VALUE pairs after theirs).
struct Command {
    const char *name;
    int arguments;
    bool more;
};
const Command kCommands[] = {{"init", -1, false},        {"demo", -1, false},
                             {"query", 2, true},         {"call", 2, true},
                             {"upgrade", 1, false},      {"backup", 2, false},
                             {"restore", 2, false},      {"encode-password", 1, false},
                             {"set-password", 2, false}, {"clear-password", 2, false}};

int run(const QString &command, const QStringList &args) {
    if (command == QLatin1String("init") || command == QLatin1String("demo"))
        return runCreate(command, args);
    const Command *known = nullptr;
    for (const Command &c : kCommands)
        if (command == QLatin1String(c.name))
            known = &c;
    if (!known)
        return usage(QStringLiteral("not understood: ") + command);
    // Options are named alone; the arguments only when they are too few or too many.
    for (const QString &a : args)
        if (a.startsWith(QLatin1String("--")))
            return usage(QStringLiteral("not understood: ") + a);
    if (args.size() < known->arguments)
        return usage(QStringLiteral("%1 needs %2 arguments").arg(command).arg(known->arguments));
    if (args.size() > known->arguments && !known->more)
        return usage(QStringLiteral("not understood: ") + args.mid(known->arguments).join(u' '));
    if (command == QLatin1String("encode-password")) {
        out(shell::EncodePassword(args.at(0)) + u'\n');
        return 0;
    }
    if (command == QLatin1String("upgrade")) {
        db::Connection connection;
        openTarget(connection, args.at(0), database::OlderSchema::Upgrade);
        // A server database of the current version may still lack this release's
        // dialect functions and operators.
        database::InstallServerObjects(connection);
        warnReportRole(connection);
        out(QStringLiteral("schema version %1\n").arg(database::SchemaVersion(connection)));
        return 0;
    }
    if (command == QLatin1String("backup"))
        return runBackup(args.at(0), args.at(1));
    if (command == QLatin1String("restore"))
        return runRestore(args.at(0), args.at(1));
    if (command == QLatin1String("set-password"))
        return runSetPassword(args.at(0), args.at(1));
    if (command == QLatin1String("clear-password"))
        return runClearPassword(args.at(0), args.at(1));
    if (command == QLatin1String("query"))
        return runQuery(args.at(0), args.at(1), args.mid(2));
    return runCall(args.at(0), args.at(1), args.mid(2));
}

} // namespace

int main(int argc, char **argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PrepareRuntimeDir();
    QGuiApplication app(argc, argv); // the demo draws the employees' photographs
    args = app.arguments().mid(1);
    const qsizetype appDirAt = args.indexOf(QStringLiteral("--app-dir"));
    if (appDirAt >= 0) {
        if (appDirAt + 1 >= args.size())
            return usage(QStringLiteral("--app-dir needs a folder"));
        SetAppDir(args.at(appDirAt + 1));
        args.remove(appDirAt, 2);
    }
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    database::Install();
    try {
        return run(command, args);
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "kelo-db: %s\n", e.message().toUtf8().constData());
        return 1;
    } catch (const shell::PasswordError &e) {
        std::fprintf(stderr, "kelo-db: %s\n", e.message().toUtf8().constData());
        return 1;
    }
}
