// The morning report pack as its service runs it (packaging/kelo-morning-reports, the
// ExecStart of kelo-morning-reports.service): yesterday's set as a PDF in the folder, the
// newest KEEP of the pack kept and nothing else touched; a run that fails removes nothing.
// The database is the test engine's, by its alias.

#include "support/temp_database.h"
#include "tool_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using kelo::test::ToolRun;

const QString kPack = QStringLiteral(KELO_SOURCE_DIR "/packaging/kelo-morning-reports");

void Touch(const QString &path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("%PDF-1.4 an earlier morning\n");
}

ToolRun RunPack(const QString &appDir, const QString &database, const QString &folder) {
    QProcessEnvironment env = kelo::test::ToolEnvironment(appDir);
    env.insert(QStringLiteral("KELO_REPORTS"), QStringLiteral(KELO_REPORTS_PROGRAM));
    env.insert(QStringLiteral("KELO_MORNING_DATABASE"), database);
    env.insert(QStringLiteral("KELO_MORNING_FOLDER"), folder);
    env.insert(QStringLiteral("KELO_MORNING_KEEP"), QStringLiteral("3"));
    env.insert(QStringLiteral("KELO_MORNING_REPORTS"), QStringLiteral("1,8"));
    env.remove(QStringLiteral("KELO_MORNING_DATE"));
    return kelo::test::RunTool(kPack, {}, env);
}

TEST(MorningReports, YesterdaysSetIsWrittenAndTheOldestPacksGo) {
    QTemporaryDir dir;
    const QString yesterday = kelo::test::Yesterday();
    kelo::test::TempDatabase db;
    db.connection().close(); // the demo replaces it
    kelo::test::SignInAsTestUser(db.dir());
    const ToolRun demo = kelo::test::RunTool(
        QStringLiteral(KELO_DB_PROGRAM),
        {QStringLiteral("demo"), QStringLiteral("TESTDB"), QStringLiteral("--days"),
         QStringLiteral("3"), QStringLiteral("--end"), yesterday, QStringLiteral("--force")},
        kelo::test::ToolEnvironment(db.dir()));
    ASSERT_EQ(demo.code, 0) << demo.err.toStdString();
    const QString folder = dir.filePath(QStringLiteral("pack"));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("pack")));
    // Four earlier mornings and files that are not the pack's.
    const QStringList earlier = {"daily-reports-20200101.pdf", "daily-reports-20200102.pdf",
                                 "daily-reports-20200104.pdf", "daily-reports-20200103.pdf"};
    for (const QString &name : earlier + QStringList{"notes.txt", "daily-reports-copy.pdf"})
        Touch(QDir(folder).filePath(name));

    // A database that cannot be read: no pack, nothing removed.
    const ToolRun failed = RunPack(db.dir(), dir.filePath(QStringLiteral("none.db")), folder);
    EXPECT_EQ(failed.code, 3) << failed.err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 6);

    const ToolRun run = RunPack(db.dir(), QStringLiteral("TESTDB"), folder);
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    const QString pack = QStringLiteral("daily-reports-%1.pdf").arg(yesterday);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files, QDir::Name),
              (QStringList{"daily-reports-20200103.pdf", "daily-reports-20200104.pdf", pack,
                           "daily-reports-copy.pdf", "notes.txt"}));
    QFile written(QDir(folder).filePath(pack));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "%PDF-");
    EXPECT_GT(written.size(), 10000);
}

} // namespace
