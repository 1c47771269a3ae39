// Where an installed program finds its settings files: beside itself first, then in the
// user's ~/.config/kelo (or $XDG_CONFIG_HOME/kelo), then in /etc/kelo; the first folder that
// has a file gives all of it, and a relative database path is relative to that file. A
// folder named by KELO_APP_DIR is the only one. The program runs from a folder of its own (a
// copy of kelo-db), as from /usr/bin; /etc/kelo is the package test's to try.

#include "tool_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using kelo::test::RunTool;
using kelo::test::ToolRun;

void Write(const QString &path, const QByteArray &text) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

TEST(Settings, AreReadBesideTheProgramThenFromTheUsersThenFromTheMachinesFolder) {
    QTemporaryDir dir;
    const QString bin = dir.filePath(QStringLiteral("bin"));
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString xdg = dir.filePath(QStringLiteral("xdg"));
    const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
    for (const QString &folder : {bin, home, xdg, elsewhere})
        ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = QDir(bin).filePath(QStringLiteral("kelo-db"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KELO_DB_PROGRAM), program));

    // Each Databases.ini names the alias K for a file beside it.
    const QByteArray alias = "[K]\nDriver=SQLITE\nDatabase=k.db\n";
    const QString besideProgram = QDir(bin).filePath(QStringLiteral("Databases.ini"));
    const QString usersOwn = home + QStringLiteral("/.config/kelo/Databases.ini");
    const QString usersXdg = xdg + QStringLiteral("/kelo/Databases.ini");
    const struct {
        const char *name;
        QStringList files;  // Databases.ini written
        bool xdgConfigHome; // XDG_CONFIG_HOME set to xdg
        bool appDir;        // KELO_APP_DIR set to elsewhere
        QString made;       // the database file kelo-db init K makes, or empty: none
    } cases[] = {
        {"the user's folder", {usersOwn}, false, false, QFileInfo(usersOwn).dir().filePath("k.db")},
        {"the user's XDG folder",
         {usersOwn, usersXdg},
         true,
         false,
         QFileInfo(usersXdg).dir().filePath("k.db")},
        {"beside the program first",
         {usersOwn, besideProgram},
         false,
         false,
         QDir(bin).filePath("k.db")},
        {"KELO_APP_DIR alone", {usersOwn}, false, true, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &ini : {besideProgram, usersOwn, usersXdg}) {
            QFile::remove(ini);
            QFile::remove(QFileInfo(ini).dir().filePath(QStringLiteral("k.db")));
        }
        for (const QString &ini : c.files)
            Write(ini, alias);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("KELO_APP_DIR"));
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        env.insert(QStringLiteral("HOME"), home);
        if (c.xdgConfigHome)
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), xdg);
        if (c.appDir)
            env.insert(QStringLiteral("KELO_APP_DIR"), elsewhere);
        QProcess init;
        init.setProcessEnvironment(env);
        init.setWorkingDirectory(dir.path());
        init.start(program, {QStringLiteral("init"), QStringLiteral("K")});
        ASSERT_TRUE(init.waitForFinished(60000));
        const QString err = QString::fromUtf8(init.readAllStandardError());
        QStringList made;
        for (const QString &folder : {bin, home + QStringLiteral("/.config/kelo"),
                                      xdg + QStringLiteral("/kelo"), dir.path(), elsewhere})
            for (const QString &name : {QStringLiteral("k.db"), QStringLiteral("K")})
                if (QFile::exists(QDir(folder).filePath(name)))
                    made << QDir(folder).filePath(name);
        EXPECT_EQ(made, c.made.isEmpty() ? QStringList() : QStringList{c.made})
            << err.toStdString();
        if (c.made.isEmpty()) {
            EXPECT_TRUE(err.contains(QStringLiteral("The database alias 'K' cannot be resolved: "
                                                    "%1/Databases.ini does not exist.")
                                         .arg(elsewhere)))
                << err.toStdString();
        }
        for (const QString &stray : made)
            QFile::remove(stray);
    }
}

} // namespace
