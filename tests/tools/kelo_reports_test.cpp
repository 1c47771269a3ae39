// kelo-reports as cron runs it, given a --pdf target that is not a regular file: it refuses
// with exit code 4 and the reason, before any work, and leaves the target as it was. On a
// server alias it signs in as the alias's user, not as the operating-system user.

#include "support/schema_database.h"
#include "tool_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

TEST(KeloReports, RefusesAPdfTargetThatIsNotARegularFile) {
    QTemporaryDir dir;
    const QString pointee = dir.filePath(QStringLiteral("yesterday.pdf"));
    {
        QFile f(pointee);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4 yesterday");
    }
    struct Case {
        const char *name;
        std::function<void(const QString &)> make;
        const char *said;
        mode_t type;
    };
    const Case cases[] = {
        {"FIFO",
         [](const QString &p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0644), 0); },
         "is a FIFO, not a regular file", S_IFIFO},
        {"symbolic link", [&pointee](const QString &p) { ASSERT_TRUE(QFile::link(pointee, p)); },
         "is a symbolic link, not a regular file", S_IFLNK},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString target = dir.filePath(QLatin1String(c.name) + QStringLiteral(".pdf"));
        c.make(target);
        QProcess run;
        // The database is never reached: the target is looked at first.
        run.start(QStringLiteral(KELO_REPORTS_PROGRAM),
                  {dir.filePath(QStringLiteral("none.db")), QStringLiteral("--date"),
                   QStringLiteral("20040415"), QStringLiteral("--pdf"), target});
        ASSERT_TRUE(run.waitForFinished(60000));
        const QString said = QString::fromUtf8(run.readAllStandardError());
        EXPECT_EQ(run.exitCode(), 4) << said.toStdString();
        EXPECT_TRUE(said.contains(target + u' ' + QLatin1String(c.said))) << said.toStdString();
        struct stat st;
        ASSERT_EQ(::lstat(QFile::encodeName(target).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, c.type);
    }
    EXPECT_EQ(QFile::symLinkTarget(dir.filePath(QStringLiteral("symbolic link.pdf"))), pointee);
    QFile f(pointee);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("%PDF-1.4 yesterday"));
    EXPECT_EQ(QDir(dir.path())
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
              (QStringList{"FIFO.pdf", "symbolic link.pdf", "yesterday.pdf"}));
}

TEST(KeloReports, SignsInAsTheUserOfAServerAlias) {
    if (!kelo::test::OnPostgres())
        GTEST_SKIP() << "a server alias";
    kelo::test::SchemaDatabase db;
    kelo::test::SignInAsTestUser(db.dir());
    // Only the password comes from the environment; the user is the alias's.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("PGUSER"));
    env.insert(QStringLiteral("PGPASSWORD"),
               qEnvironmentVariable("KELO_PG_PASSWORD", QStringLiteral("kelo")));
    const QString pdf = QDir(db.dir()).filePath(QStringLiteral("daily.pdf"));
    QProcess run;
    run.setProcessEnvironment(env);
    run.start(QStringLiteral(KELO_REPORTS_PROGRAM),
              {QStringLiteral("TESTDB"), QStringLiteral("--app-dir"), db.dir(),
               QStringLiteral("--date"), QStringLiteral("20040415"), QStringLiteral("--reports"),
               QStringLiteral("1"), QStringLiteral("--pdf"), pdf});
    ASSERT_TRUE(run.waitForFinished(120000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(5) == "%PDF-");
}

} // namespace
