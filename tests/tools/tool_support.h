#pragma once

// Running the built programs as an administrator or a service runs them.

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace kelo::test {

struct ToolRun {
    int code = -1;
    QString out, err;
};

// Runs program with the arguments to its end (a minute at most). env: the environment
// (the test's own by default).
ToolRun RunTool(const QString &program, const QStringList &arguments,
                const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

// A small demo database (three days ending at end, YYYYMMDD) written by kelo-db at path.
void MakeDemoDatabase(const QString &path, const QString &end);

// Yesterday's date, YYYYMMDD.
QString Yesterday();

} // namespace kelo::test
