// Every program as an administrator meets it on the command line: help, options it does not
// know, a database given by its path, a folder where a file belongs, and an ordinary run
// under a service manager or su (no XDG_RUNTIME_DIR) that says nothing it should not.

#include "tool_support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using kelo::test::RunTool;
using kelo::test::ToolRun;

const QString kDb = QStringLiteral(KELO_DB_PROGRAM);
const QString kReports = QStringLiteral(KELO_REPORTS_PROGRAM);
const QString kServer = QStringLiteral(KELO_REPORT_SERVER_PROGRAM);
const QString kLauncher = QStringLiteral(KELO_LAUNCHER_PROGRAM);
const QString kClient = QStringLiteral(KELO_CLIENT_PROGRAM);

// The environment of a program started by a service, cron or su: no runtime folder, no
// display, messages on standard error; settings files only in appDir.
QProcessEnvironment PlainEnvironment(const QString &appDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("KELO_APP_DIR"), appDir);
    env.insert(QStringLiteral("KELO_DIALOGS"), QStringLiteral("stderr"));
    return env;
}

QProcessEnvironment Offscreen(QProcessEnvironment env) {
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

struct Program {
    const char *name;
    QString path;
};

const Program kPrograms[] = {{"kelo-db", kDb},
                             {"kelo-reports", kReports},
                             {"kelo-report-server", kServer},
                             {"Kelo", kLauncher},
                             {"Kelo_S", kClient}};

TEST(Tools, EveryProgramAnswersHelpWithoutADisplay) {
    QTemporaryDir appDir;
    for (const Program &p : kPrograms) {
        SCOPED_TRACE(p.name);
        const ToolRun help =
            RunTool(p.path, {QStringLiteral("--help")}, PlainEnvironment(appDir.path()));
        EXPECT_EQ(help.code, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.contains(QStringLiteral("usage"), Qt::CaseInsensitive))
            << help.out.toStdString();
        EXPECT_EQ(help.err, QString());
    }
}

// An option that no program knows is named alone: not with the database beside it.
TEST(Tools, AnOptionNotUnderstoodIsNamedAlone) {
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("k.db"));
    const struct {
        QString program;
        QStringList arguments;
    } cases[] = {
        {kDb,
         {QStringLiteral("query"), db, QStringLiteral("SELECT 1 FROM DUAL"),
          QStringLiteral("--bogus")}},
        {kDb,
         {QStringLiteral("demo"), db, QStringLiteral("--bogus"), QStringLiteral("--days"),
          QStringLiteral("3")}},
        {kDb,
         {QStringLiteral("backup"), QStringLiteral("DEMO"), QStringLiteral("--bogus"),
          QStringLiteral("copy.db")}},
        {kReports,
         {QStringLiteral("DEMO"), QStringLiteral("--date"), QStringLiteral("20040101"),
          QStringLiteral("--bogus"), QStringLiteral("--pdf"),
          dir.filePath(QStringLiteral("out.pdf"))}},
        {kServer, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bogus")}},
        {kLauncher, {QStringLiteral("--alias"), QStringLiteral("DEMO"), QStringLiteral("--bogus")}},
        {kClient,
         {QStringLiteral("DEMO"), QStringLiteral("KLUSER"), QStringLiteral("20000001"),
          QStringLiteral("--bogus")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.program + u' ' + c.arguments.join(u' ')).toStdString());
        const ToolRun run =
            RunTool(c.program, c.arguments, Offscreen(PlainEnvironment(dir.path())));
        EXPECT_EQ(run.code, 2) << run.err.toStdString();
        const QRegularExpressionMatch said =
            QRegularExpression(QStringLiteral("not understood: .*")).match(run.err);
        EXPECT_EQ(said.captured(), QStringLiteral("not understood: --bogus"))
            << run.err.toStdString();
    }
}

// A database named by its path, where no Databases.ini is: every program opens the file,
// and the runs say nothing about a runtime folder.
TEST(Tools, APathWhereAnAliasGoesIsTheSqliteFile) {
    QTemporaryDir dir;
    const QString day = kelo::test::Yesterday();
    const QString db = dir.filePath(QStringLiteral("data/k.db"));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("data")));
    kelo::test::MakeDemoDatabase(db, day);
    QTemporaryDir appDir; // no settings files
    // Qt falls back to runtime-USER in the temporary folder: a fresh one.
    QProcessEnvironment env = Offscreen(PlainEnvironment(appDir.path()));
    env.insert(QStringLiteral("TMPDIR"), dir.filePath(QStringLiteral("tmp")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("tmp")));
    const QString pdf = dir.filePath(QStringLiteral("set.pdf"));
    QProcessEnvironment shown = env;
    shown.insert(QStringLiteral("KELO_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    QProcessEnvironment photographed = env;
    photographed.insert(QStringLiteral("KELO_SCREENSHOT"), dir.filePath(QStringLiteral("s.png")));
    const struct {
        QString program;
        QStringList arguments;
        QProcessEnvironment env;
        QString says; // on standard output
    } runs[] = {
        {kDb,
         {QStringLiteral("query"), db, QStringLiteral("SELECT COUNT(*) AS N FROM QA010MS")},
         env,
         QStringLiteral("N\n")},
        {kReports,
         {db, QStringLiteral("--date"), day, QStringLiteral("--reports"), QStringLiteral("1"),
          QStringLiteral("--pdf"), pdf},
         env,
         QString()},
        {kClient,
         {db, QStringLiteral("KLUSER"), QStringLiteral("20000001"), QStringLiteral("관리자")},
         shown,
         QStringLiteral("main window shown")},
        {kLauncher,
         {QStringLiteral("--alias"), db, QStringLiteral("--emp"), QStringLiteral("20000001"),
          QStringLiteral("--sign-in"), QStringLiteral("--exit-after-client")},
         photographed,
         QString()},
    };
    for (const auto &r : runs) {
        SCOPED_TRACE((r.program + u' ' + r.arguments.join(u' ')).toStdString());
        const ToolRun run = RunTool(r.program, r.arguments, r.env);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(r.says)) << run.out.toStdString();
        EXPECT_FALSE(run.err.contains(QStringLiteral("XDG_RUNTIME_DIR"))) << run.err.toStdString();
    }
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "%PDF-");
    // The launcher's client photographed its main window (started beside the launcher).
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("s.png"))));

    // The report server's ordinary run: its first line, then stopped as a service is.
    QProcess server;
    server.setProcessEnvironment(env);
    server.start(kServer, {QStringLiteral("--port"), QStringLiteral("0")});
    ASSERT_TRUE(server.waitForStarted());
    while (!server.canReadLine())
        ASSERT_TRUE(server.waitForReadyRead(10000));
    EXPECT_TRUE(server.readLine().startsWith("listening on http://127.0.0.1:"));
    server.terminate();
    ASSERT_TRUE(server.waitForFinished(10000));
    EXPECT_FALSE(server.readAllStandardError().contains("XDG_RUNTIME_DIR"));
}

// A file that is not there is named as a file, not taken for an alias.
TEST(Tools, AMissingFileIsNamedAsAFile) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("none.db"));
    const struct {
        QString program;
        QStringList arguments;
        QString workingDir;
        QString says;
    } cases[] = {
        {kReports,
         {missing, QStringLiteral("--date"), QStringLiteral("20040101"), QStringLiteral("--pdf"),
          dir.filePath(QStringLiteral("out.pdf"))},
         dir.path(),
         QStringLiteral("The database file %1 does not exist.").arg(missing)},
        {kDb,
         {QStringLiteral("query"), QStringLiteral("none.db"), QStringLiteral("SELECT 1 FROM DUAL")},
         dir.path(),
         QStringLiteral("The database file %1 does not exist.").arg(missing)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE((c.program + u' ' + c.arguments.join(u' ')).toStdString());
        QProcess p;
        p.setProcessEnvironment(PlainEnvironment(dir.path()));
        p.setWorkingDirectory(c.workingDir);
        p.start(c.program, c.arguments);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_NE(p.exitCode(), 0);
        EXPECT_TRUE(err.contains(c.says)) << err.toStdString();
    }
}

// A folder where the database file belongs is called a folder, with or without --force.
TEST(Tools, AFolderWhereADatabaseFileGoesIsCalledAFolder) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("db"));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("db")));
    const QStringList commands[] = {
        {QStringLiteral("demo"), folder, QStringLiteral("--force")},
        {QStringLiteral("demo"), folder},
        {QStringLiteral("init"), folder, QStringLiteral("--force")},
        {QStringLiteral("query"), folder, QStringLiteral("SELECT 1 FROM DUAL")},
        {QStringLiteral("backup"), folder, dir.filePath(QStringLiteral("copy.db"))},
    };
    for (const QStringList &command : commands) {
        SCOPED_TRACE(command.join(u' ').toStdString());
        const ToolRun run = RunTool(kDb, command, PlainEnvironment(dir.path()));
        EXPECT_EQ(run.code, 1);
        EXPECT_TRUE(run.err.contains(folder + QStringLiteral(" is a folder, not a database file")))
            << run.err.toStdString();
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
}

// Each program's manual page names every option its --help names.
TEST(Tools, TheManualPagesNameEveryOption) {
    QTemporaryDir appDir;
    for (const Program &p : kPrograms) {
        SCOPED_TRACE(p.name);
        QFile page(
            QStringLiteral(KELO_SOURCE_DIR "/packaging/man/%1.1").arg(QLatin1String(p.name)));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QString manual =
            QString::fromUtf8(page.readAll()).replace(QStringLiteral("\\-"), QStringLiteral("-"));
        const ToolRun help =
            RunTool(p.path, {QStringLiteral("--help")}, PlainEnvironment(appDir.path()));
        QRegularExpressionMatchIterator options =
            QRegularExpression(QStringLiteral("--[a-z][a-z-]*")).globalMatch(help.out);
        int named = 0;
        while (options.hasNext()) {
            const QString option = options.next().captured();
            EXPECT_TRUE(manual.contains(option)) << option.toStdString();
            ++named;
        }
        EXPECT_GT(named, 0) << help.out.toStdString();
    }
}

} // namespace
