#include "database/schema.h"
#include "db/connection.h"
#include "db/storedproc.h"
#include "db/transaction.h"
#include "support/schema_database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct ToolRun {
    int code;
    QString out, err;
};

ToolRun keloDb(const QString &appDir, const QStringList &args) {
    QProcess p;
    p.start(QStringLiteral(KELO_DB_PROGRAM),
            QStringList{QStringLiteral("--app-dir"), appDir} + args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Databases.ini with the alias K for k.db in the folder.
void writeAlias(const QTemporaryDir &dir) {
    QFile ini(dir.filePath(QStringLiteral("Databases.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[K]\nDriver=SQLITE\nDatabase=k.db\n");
}

TEST(KeloDb, InitQueryAndCallThroughAnAlias) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("k.db"));
    writeAlias(dir);

    EXPECT_EQ(keloDb(dir.path(), {QStringLiteral("init"), file}).code, 0);
    const ToolRun again = keloDb(dir.path(), {QStringLiteral("init"), file});
    EXPECT_NE(again.code, 0);
    EXPECT_TRUE(again.err.contains(QStringLiteral("--force"))) << again.err.toStdString();
    EXPECT_EQ(keloDb(dir.path(), {QStringLiteral("init"), file, QStringLiteral("--force")}).code,
              0);

    const ToolRun query = keloDb(
        dir.path(), {QStringLiteral("query"), QStringLiteral("K"),
                     QStringLiteral("SELECT DETAIL, DETAIL_NAME FROM ZX010MS WHERE HEAD = :H AND "
                                    "DETAIL > ' ' ORDER BY DETAIL"),
                     QStringLiteral("H=S0002")});
    EXPECT_EQ(query.code, 0);
    EXPECT_TRUE(query.out.startsWith(QStringLiteral("DETAIL\tDETAIL_NAME\n10\t객실\n20\t식음\n")))
        << query.out.toStdString();

    const ToolRun bad = keloDb(dir.path(), {QStringLiteral("query"), QStringLiteral("K"),
                                            QStringLiteral("SELECT NOPE FROM DUAL")});
    EXPECT_EQ(bad.code, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("no such column"))) << bad.err.toStdString();

    const QStringList base = {
        QStringLiteral("call"),          QStringLiteral("K"),
        QStringLiteral("PR_SA010MS_01"), QStringLiteral("ASALE_DATE=20040407"),
        QStringLiteral("AU_EMP_NO=1"),   QStringLiteral("AU_IP=ip")};
    const ToolRun refused = keloDb(dir.path(), base + QStringList{QStringLiteral("AEDITSTATUS=7")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.out.contains(QStringLiteral("AERROR_MSG=처리구분")))
        << refused.out.toStdString();
    const ToolRun accepted =
        keloDb(dir.path(),
               base + QStringList{QStringLiteral("AWEATHER=01"), QStringLiteral("AEDITSTATUS=2")});
    EXPECT_EQ(accepted.code, 0) << accepted.err.toStdString();
    const ToolRun rows = keloDb(dir.path(), {QStringLiteral("query"), QStringLiteral("K"),
                                             QStringLiteral("SELECT COUNT(*) AS N FROM SA010MS")});
    EXPECT_EQ(rows.out, QStringLiteral("N\n1\n"));

    const ToolRun noAlias = keloDb(dir.path(), {QStringLiteral("query"), QStringLiteral("NONE"),
                                                QStringLiteral("SELECT 1 FROM DUAL")});
    EXPECT_EQ(noAlias.code, 1);
    EXPECT_TRUE(noAlias.err.contains(QStringLiteral("not defined"))) << noAlias.err.toStdString();
}

// What a careless administrator types or meets gets a clear answer and harms nothing.
TEST(KeloDb, ExtremeNumbersForeignFilesAndAFileInUse) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("k.db"));
    writeAlias(dir);
    ASSERT_EQ(keloDb(dir.path(), {QStringLiteral("init"), file}).code, 0);

    // Numbers whose text passes forty characters read in the scientific form.
    const ToolRun huge = keloDb(
        dir.path(), {QStringLiteral("query"), QStringLiteral("K"),
                     QStringLiteral("SELECT 1e300 AS V, -1e-300 AS W, 1e80 / 4 AS X FROM DUAL")});
    EXPECT_EQ(huge.code, 0) << huge.err.toStdString();
    EXPECT_EQ(huge.out, QStringLiteral("V\tW\tX\n1E+300\t-1E-300\t2.5E+79\n"));

    const QStringList call = {QStringLiteral("call"),
                              QStringLiteral("K"),
                              QStringLiteral("PR_SA030MS_01"),
                              QStringLiteral("ASALE_DATE=20040407"),
                              QStringLiteral("AUPJANG_CODE=1001"),
                              QStringLiteral("ADIVISION=1"),
                              QStringLiteral("AEDITSTATUS=2")};
    const ToolRun big = keloDb(dir.path(), call + QStringList{QStringLiteral("ASALE_AMT=1e80"),
                                                              QStringLiteral("AGUESTS=252")});
    EXPECT_EQ(big.code, 0) << big.err.toStdString();
    // No number at all, and a number beyond the range of a figure, are told apart.
    const struct {
        const char *input;
        const char *reason;
    } refusals[] = {
        {"AGUESTS=inf", "AGUESTS의 값 'inf'은(는) 숫자가 아닙니다."},
        {"AGUESTS=nan", "AGUESTS의 값 'nan'은(는) 숫자가 아닙니다."},
        {"AGUESTS=-Infinity", "AGUESTS의 값 '-Infinity'은(는) 숫자가 아닙니다."},
        {"AGUESTS=0x10", "AGUESTS의 값 '0x10'은(는) 숫자가 아닙니다."},
        {"AGUESTS=1e400", "AGUESTS의 값 '1e400'은(는) 허용 범위를 벗어났습니다."},
        {"ASALE_AMT=1e309", "ASALE_AMT의 값 '1e309'은(는) 허용 범위를 벗어났습니다."},
        {"ASALE_AMT=-1e309", "ASALE_AMT의 값 '-1e309'은(는) 허용 범위를 벗어났습니다."},
    };
    for (const auto &r : refusals) {
        const ToolRun refused = keloDb(dir.path(), call + QStringList{QLatin1String(r.input)});
        EXPECT_EQ(refused.code, 1) << r.input;
        EXPECT_TRUE(refused.out.contains(QString::fromUtf8(r.reason)))
            << r.input << ": " << refused.out.toStdString();
    }
    const ToolRun stored =
        keloDb(dir.path(), {QStringLiteral("query"), QStringLiteral("K"),
                            QStringLiteral("SELECT GUESTS, SALE_AMT FROM SA030MS")});
    EXPECT_EQ(stored.out, QStringLiteral("GUESTS\tSALE_AMT\n252\t1E+80\n"));

    // A zero-byte file and a SQLite file without this system's schema.
    QFile empty(dir.filePath(QStringLiteral("empty.db")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    kelo::db::Connection::createSqliteFile(dir.filePath(QStringLiteral("foreign.db")));
    const struct {
        const char *file;
        const char *reason;
    } foreign[] = {{"empty.db", "빈 파일입니다"},
                   {"foreign.db", "이 시스템의 데이터베이스가 아닙니다"}};
    for (const auto &f : foreign) {
        const ToolRun r =
            keloDb(dir.path(), {QStringLiteral("query"), dir.filePath(QLatin1String(f.file)),
                                QStringLiteral("SELECT 1 FROM DUAL")});
        EXPECT_EQ(r.code, 1) << f.file;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(f.reason))) << r.err.toStdString();
    }

    // A database that another program holds open is not replaced under it.
    QProcess holder;
    holder.setStandardInputFile(file);
    holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(holder.waitForStarted());
    const ToolRun replace =
        keloDb(dir.path(), {QStringLiteral("init"), file, QStringLiteral("--force")});
    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(replace.code, 1);
    EXPECT_TRUE(replace.err.contains(QStringLiteral("is open in another program")))
        << replace.err.toStdString();
    EXPECT_EQ(keloDb(dir.path(), {QStringLiteral("query"), QStringLiteral("K"),
                                  QStringLiteral("SELECT COUNT(*) AS N FROM SA030MS")})
                  .out,
              QStringLiteral("N\n1\n"));
}

TEST(KeloDb, HelpAndPasswordsOutsideCp949) {
    QTemporaryDir dir;
    const ToolRun help = keloDb(dir.path(), {QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("encode-password"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("upgrade")));
    EXPECT_EQ(keloDb(dir.path(), {QStringLiteral("nonsense")}).code, 2);
    const ToolRun korean =
        keloDb(dir.path(), {QStringLiteral("encode-password"), QStringLiteral("비밀")});
    EXPECT_EQ(korean.code, 0);
    const ToolRun emoji =
        keloDb(dir.path(), {QStringLiteral("encode-password"), QStringLiteral("pw\U0001F600")});
    EXPECT_EQ(emoji.code, 1);
    EXPECT_TRUE(emoji.err.contains(QStringLiteral("CP949"))) << emoji.err.toStdString();
    EXPECT_TRUE(emoji.out.isEmpty());
}

// Two programs saving into one file at once: the second waits for the first's
// lock and saves when it is released; both rows are there.
TEST(KeloDb, TwoProgramsSavingAtOnceBothFinish) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("k.db"));
    writeAlias(dir);
    ASSERT_EQ(keloDb(dir.path(), {QStringLiteral("init"), file}).code, 0);

    // This program saves a row and holds its transaction open ...
    kelo::database::Install();
    kelo::db::Connection connection;
    connection.setSqliteFile(file);
    connection.open();
    kelo::db::Transaction transaction(connection);
    transaction.begin();
    kelo::db::StoredProc save(connection);
    save.setProcName(QStringLiteral("PR_SA010MS_01"));
    save.refreshParams();
    save.setParam(QStringLiteral("ASALE_DATE"), QStringLiteral("20040101"));
    save.setParam(QStringLiteral("AWEATHER"), QStringLiteral("01"));
    save.setParam(QStringLiteral("AEDITSTATUS"), QStringLiteral("2"));
    save.execute();

    // ... while the other saves its own.
    QProcess other;
    other.start(QStringLiteral(KELO_DB_PROGRAM),
                {QStringLiteral("--app-dir"), dir.path(), QStringLiteral("call"),
                 QStringLiteral("K"), QStringLiteral("PR_SA010MS_01"),
                 QStringLiteral("ASALE_DATE=20040102"), QStringLiteral("AWEATHER=02"),
                 QStringLiteral("AEDITSTATUS=2")});
    ASSERT_TRUE(other.waitForStarted());
    EXPECT_FALSE(other.waitForFinished(1500)); // it waits for the lock
    transaction.commit();
    ASSERT_TRUE(other.waitForFinished(10000));
    EXPECT_EQ(other.exitCode(), 0) << other.readAllStandardError().toStdString();
    EXPECT_EQ(keloDb(dir.path(), {QStringLiteral("query"), QStringLiteral("K"),
                                  QStringLiteral("SELECT SALE_DATE || WEATHER AS R FROM SA010MS "
                                                 "ORDER BY SALE_DATE")})
                  .out,
              QStringLiteral("R\n2004010101\n2004010202\n"));
}

// A server database made by an earlier release lacks the dialect's later functions and
// operators and the report role's grants; the upgrade puts them in even when the schema
// version is current, and may run again.
TEST(KeloDb, UpgradeInstallsTheDialectOfThisRelease) {
    if (!kelo::test::OnPostgres())
        GTEST_SKIP() << "a server's dialect";
    kelo::test::SchemaDatabase db;
    const QString concat = QStringLiteral("SELECT DUMMY || NULL || 'B' AS R FROM DUAL");
    db.exec(QStringLiteral("DROP FUNCTION kelo.kelo_concat(text, text) CASCADE"));
    EXPECT_THROW(kelo::test::QueryText(db.connection(), concat), kelo::db::DbError);
    db.exec(QStringLiteral("REVOKE SELECT ON ALL TABLES IN SCHEMA kelo FROM kelo_report"));
    const QString rights =
        QStringLiteral("SELECT has_table_privilege('kelo_report', 'kelo.ja010ms', 'SELECT'), "
                       "has_table_privilege('kelo_report', 'kelo.ja010ms', 'INSERT') FROM DUAL");
    EXPECT_EQ(kelo::test::QueryText(db.connection(), rights), QStringLiteral("0|0"));

    // The tool signs in as the alias's user.
    QFile ini(QDir(db.dir()).filePath(QStringLiteral("Databases.ini")));
    ASSERT_TRUE(ini.open(QIODevice::ReadWrite));
    const QByteArray aliases = ini.readAll().replace(
        "[TESTDB]\n",
        "[TESTDB]\nUser=" + qEnvironmentVariable("KELO_PG_USER", QStringLiteral("kelo")).toUtf8() +
            '\n');
    ini.resize(0);
    ini.write(aliases);
    ini.close();
    for (int run = 0; run < 2; ++run) {
        QProcess tool;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PGPASSWORD"),
                   qEnvironmentVariable("KELO_PG_PASSWORD", QStringLiteral("kelo")));
        tool.setProcessEnvironment(env);
        tool.start(QStringLiteral(KELO_DB_PROGRAM),
                   {QStringLiteral("--app-dir"), db.dir(), QStringLiteral("upgrade"),
                    QStringLiteral("TESTDB")});
        ASSERT_TRUE(tool.waitForFinished(60000));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
        EXPECT_EQ(kelo::test::QueryText(db.connection(), concat), QStringLiteral("XB"));
        EXPECT_EQ(kelo::test::QueryText(db.connection(), rights), QStringLiteral("1|0"));
    }
}

} // namespace
