#include "tool_support.h"

#include <QDate>
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
    return QDate::currentDate().addDays(-1).toString(QStringLiteral("yyyyMMdd"));
}

} // namespace kelo::test
