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

// The environment of the tools on the test database of appDir (a TempDatabase's folder,
// whose alias is TESTDB): its settings folder, and on PostgreSQL the test server's password;
// SignInAsTestUser puts the test server's user into the alias (the tools sign in as the
// alias's User).
QProcessEnvironment ToolEnvironment(const QString &appDir);
void SignInAsTestUser(const QString &appDir);

} // namespace kelo::test
