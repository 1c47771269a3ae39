// kelo-db backup and restore while the clients work: a copy taken while another program
// saves row after row holds every row committed before it, in the order they came (the
// database of one moment), and the other program is never held up; restoring the copy
// brings the database back to it. On SQLite a database that a program holds open is not
// restored under it.

#include "support/schema_database.h"
#include "tool_support.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

using kelo::test::RunTool;
using kelo::test::ToolEnvironment;
using kelo::test::ToolRun;

const QString kDb = QStringLiteral(KELO_DB_PROGRAM);

QStringList SavedDates(const QString &appDir) {
    const ToolRun rows = RunTool(kDb,
                                 {QStringLiteral("query"), QStringLiteral("TESTDB"),
                                  QStringLiteral("SELECT SALE_DATE FROM SA010MS ORDER BY 1")},
                                 ToolEnvironment(appDir));
    EXPECT_EQ(rows.code, 0) << rows.err.toStdString();
    QStringList dates = rows.out.split(u'\n', Qt::SkipEmptyParts);
    if (!dates.isEmpty())
        dates.removeFirst(); // the head line
    return dates;
}

ToolRun Save(const QString &appDir, const QString &date) {
    return RunTool(kDb,
                   {QStringLiteral("call"), QStringLiteral("TESTDB"),
                    QStringLiteral("PR_SA010MS_01"), QStringLiteral("ASALE_DATE=") + date,
                    QStringLiteral("AWEATHER=01"), QStringLiteral("AEDITSTATUS=2")},
                   ToolEnvironment(appDir));
}

TEST(Backup, ACopyTakenWhileAnotherProgramSavesHoldsEveryCommittedRow) {
    kelo::test::SchemaDatabase db;
    const QString appDir = db.dir();
    kelo::test::SignInAsTestUser(appDir);
    db.connection().close(); // the test is no client of the database

    QStringList dates;
    for (QDate d(2004, 1, 1); dates.size() < 30; d = d.addDays(1))
        dates << d.toString(QStringLiteral("yyyyMMdd"));
    // The other program: one save after another, each its own kelo-db call and transaction;
    // a date on standard output once it is committed.
    QProcess writer;
    writer.setProcessEnvironment(ToolEnvironment(appDir));
    writer.start(QStringLiteral("bash"),
                 QStringList{QStringLiteral("-c"),
                             QStringLiteral("for d in \"${@:2}\"; do \"$1\" call TESTDB "
                                            "PR_SA010MS_01 ASALE_DATE=$d AWEATHER=01 "
                                            "AEDITSTATUS=2 >/dev/null || exit 1; echo $d; done"),
                             QStringLiteral("writer"), kDb} +
                     dates);
    ASSERT_TRUE(writer.waitForStarted());
    QStringList committed;
    while (committed.size() < 3) {
        while (!writer.canReadLine())
            ASSERT_TRUE(writer.waitForReadyRead(60000)) << writer.readAllStandardError().data();
        committed << QString::fromUtf8(writer.readLine()).trimmed();
    }

    const QString copy = QDir(appDir).filePath(QStringLiteral("copy.backup"));
    const ToolRun backup = RunTool(kDb, {QStringLiteral("backup"), QStringLiteral("TESTDB"), copy},
                                   ToolEnvironment(appDir));
    ASSERT_EQ(backup.code, 0) << backup.err.toStdString();

    // The other program saved on to its end, never refused.
    ASSERT_TRUE(writer.waitForFinished(120000));
    EXPECT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().data();
    EXPECT_EQ(SavedDates(appDir), dates);
    // A row saved after the copy, which the restore takes away.
    ASSERT_EQ(Save(appDir, QStringLiteral("20041231")).code, 0);

    const ToolRun restore = RunTool(
        kDb, {QStringLiteral("restore"), QStringLiteral("TESTDB"), copy}, ToolEnvironment(appDir));
    ASSERT_EQ(restore.code, 0) << restore.err.toStdString();
    const QStringList restored = SavedDates(appDir);
    // Every row committed before the copy began, and a beginning of the sequence: the
    // database as it was at one moment.
    EXPECT_GE(restored.size(), committed.size());
    EXPECT_EQ(restored, dates.mid(0, restored.size()));
    EXPECT_EQ(restored.mid(0, committed.size()), committed);
    // The restored database takes saves again.
    const ToolRun after = Save(appDir, QStringLiteral("20041230"));
    EXPECT_EQ(after.code, 0) << after.err.toStdString();
    EXPECT_EQ(SavedDates(appDir).last(), QStringLiteral("20041230"));
}

TEST(Backup, ADatabaseFileAProgramHoldsOpenIsNotRestored) {
    if (kelo::test::OnPostgres())
        GTEST_SKIP() << "about SQLite files";
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("k.db"));
    {
        QFile ini(dir.filePath(QStringLiteral("Databases.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[TESTDB]\nDriver=SQLITE\nDatabase=k.db\n");
    }
    ASSERT_EQ(RunTool(kDb, {QStringLiteral("init"), file}).code, 0);
    const QString copy = dir.filePath(QStringLiteral("copy.db"));
    ASSERT_EQ(RunTool(kDb, {QStringLiteral("backup"), file, copy}).code, 0);
    ASSERT_EQ(Save(dir.path(), QStringLiteral("20040101")).code, 0);

    // A program that has the file open: one that reads it as a file, and a client of the
    // database (its connection, in WAL mode, waits in the shell for its next statement).
    const struct {
        const char *name;
        std::function<void(QProcess &)> start;
    } holders[] = {
        {"reader",
         [&file](QProcess &p) {
             p.setStandardInputFile(file);
             p.start(QStringLiteral("sleep"), {QStringLiteral("60")});
         }},
        {"client",
         [&file](QProcess &p) {
             p.start(QStringLiteral("sqlite3"), {file});
             p.write("SELECT COUNT(*) FROM SA010MS;\n");
             p.waitForReadyRead(10000);
         }},
    };
    for (const auto &holder : holders) {
        SCOPED_TRACE(holder.name);
        QProcess process;
        holder.start(process);
        ASSERT_TRUE(process.waitForStarted());
        const ToolRun refused = RunTool(kDb, {QStringLiteral("restore"), file, copy});
        EXPECT_EQ(refused.code, 1);
        EXPECT_TRUE(refused.err.contains(
            QStringLiteral("is open in another program (process %1)").arg(process.processId())))
            << refused.err.toStdString();
        process.kill();
        process.waitForFinished();
    }
    EXPECT_EQ(SavedDates(dir.path()), QStringList{QStringLiteral("20040101")});
    // Once they are gone it goes.
    const ToolRun restore = RunTool(kDb, {QStringLiteral("restore"), file, copy});
    EXPECT_EQ(restore.code, 0) << restore.err.toStdString();
    EXPECT_EQ(SavedDates(dir.path()), QStringList());
}

} // namespace
