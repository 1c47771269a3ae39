#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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

TEST(KeloDb, InitQueryAndCallThroughAnAlias) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("k.db"));
    QFile ini(dir.filePath(QStringLiteral("Databases.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[K]\nDriver=SQLITE\nDatabase=k.db\n");
    ini.close();

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

} // namespace
