#include "tool_support.h"

#include "common/clock.h"
#include "support/temp_database.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace kelo::test {

ToolRun RunTool(const QString &program, const QStringList &arguments,
                const QProcessEnvironment &env) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    ToolRun run;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        run.err = QStringLiteral("did not end within a minute: ") + program;
        return run;
    }
    run.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

void MakeDemoDatabase(const QString &path, const QString &end) {
    const ToolRun demo = RunTool(QStringLiteral(KELO_DB_PROGRAM),
                                 {QStringLiteral("demo"), path, QStringLiteral("--days"),
                                  QStringLiteral("3"), QStringLiteral("--end"), end});
    ASSERT_EQ(demo.code, 0) << demo.err.toStdString();
}

QString Yesterday() {
    return Now().date().addDays(-1).toString(QStringLiteral("yyyyMMdd"));
}

QProcessEnvironment ToolEnvironment(const QString &appDir) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KELO_APP_DIR"), appDir);
    env.insert(QStringLiteral("PGPASSWORD"),
               qEnvironmentVariable("KELO_PG_PASSWORD", QStringLiteral("kelo")));
    return env;
}

void SignInAsTestUser(const QString &appDir) {
    if (!OnPostgres())
        return;
    QFile ini(QDir(appDir).filePath(QStringLiteral("Databases.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
    const QByteArray aliases = ini.readAll().replace(
        "[TESTDB]\n",
        "[TESTDB]\nUser=" + qEnvironmentVariable("KELO_PG_USER", QStringLiteral("kelo")).toUtf8() +
            '\n');
    ini.resize(0);
    ini.write(aliases);
}

} // namespace kelo::test
