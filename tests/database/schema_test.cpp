#include "database/schema.h"
#include "db/query.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelo;

namespace {

int count(db::Connection &c, const QString &sql) {
    db::Query q(c);
    q.setSql(sql);
    q.open();
    return int(q.integer(0));
}

TEST(Schema, MigrationAppliesOnlyTheMissingScripts) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("old.db"));
    db::Connection::createSqliteFile(file);
    db::Connection c;
    c.setSqliteFile(file);
    c.open();
    // A file of an earlier release: the first script only.
    c.executeScript(database::SchemaScripts().front().second);
    c.executeScript(QStringLiteral("PRAGMA user_version = 1"));
    EXPECT_EQ(database::SchemaVersion(c), 1);
    database::MigrateSchema(c);
    EXPECT_EQ(database::SchemaVersion(c), database::CurrentSchemaVersion());
    EXPECT_EQ(
        count(c, QStringLiteral(
                     "SELECT COUNT(*) FROM sqlite_master WHERE name IN ('SA030MS', 'QA010MS', "
                     "'IA010MS', 'FA010DS')")),
        4);
    database::MigrateSchema(c); // nothing left to do
    c.executeScript(QStringLiteral("PRAGMA user_version = 999"));
    EXPECT_THROW(database::MigrateSchema(c), db::DbError);
}

TEST(Schema, NewDatabaseHoldsCodesCalendarAndOutlets) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("new.db"));
    database::CreateDatabase(file, false);
    EXPECT_THROW(database::CreateDatabase(file, false), db::DbError);
    db::Connection c;
    c.setSqliteFile(file);
    c.open();
    EXPECT_EQ(count(c, QStringLiteral("SELECT COUNT(*) FROM ZX020MS")),
              QDate(2000, 1, 1).daysTo(QDate(2035, 12, 31)) + 1);
    // Header rows are never listed by DETAIL > ' '.
    EXPECT_EQ(count(c, QStringLiteral(
                           "SELECT COUNT(*) FROM ZX010MS WHERE HEAD = 'E0029' AND DETAIL > ' '")),
              7);
    EXPECT_EQ(count(c, QStringLiteral("SELECT COUNT(*) FROM ZX010MS WHERE HEAD = 'E0029'")), 8);
    EXPECT_EQ(
        count(c, QStringLiteral(
                     "SELECT COUNT(*) FROM JA010MS WHERE UPJANG_CODE IN ('1001', '1002', '1003', "
                     "'2001', '3004', '4053', '4058', '5002', '6001', '7001')")),
        10);
    // Every outlet-division pair names a known outlet and a known division.
    EXPECT_EQ(
        count(c, QStringLiteral(
                     "SELECT COUNT(*) FROM SX030MS A LEFT JOIN ZX010MS B ON B.HEAD = 'S0008' AND "
                     "B.DETAIL = A.DIVISION WHERE B.DETAIL IS NULL")),
        0);
    EXPECT_EQ(count(c, QStringLiteral("SELECT COUNT(*) FROM DUAL")), 1);
}

} // namespace

namespace {

// What a client finds when it connects: its own schema, an older one it brings up
// to date, or a file it names the reason for refusing.
TEST(Schema, CheckNamesForeignEmptyAndNewerFilesAndUpgradesOlderOnes) {
    QTemporaryDir dir;
    auto open = [&](const QString &name, db::Connection &c) {
        c.setSqliteFile(dir.filePath(name));
        c.open();
    };
    QFile empty(dir.filePath(QStringLiteral("empty.db")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    db::Connection::createSqliteFile(dir.filePath(QStringLiteral("foreign.db")));
    database::CreateDatabase(dir.filePath(QStringLiteral("newer.db")), false);
    database::CreateDatabase(dir.filePath(QStringLiteral("current.db")), false);
    const struct {
        const char *file;
        const char *reason;
    } refused[] = {{"empty.db", "빈 파일입니다"},
                   {"foreign.db", "이 시스템의 데이터베이스가 아닙니다"},
                   {"newer.db", "새 버전의 프로그램을 사용하십시오"}};
    for (const auto &r : refused) {
        db::Connection c;
        open(QLatin1String(r.file), c);
        if (QLatin1String(r.file) == QLatin1String("newer.db"))
            c.executeScript(QStringLiteral("PRAGMA user_version = 999"));
        for (const auto older : {database::OlderSchema::Upgrade, database::OlderSchema::Refuse}) {
            try {
                database::CheckSchema(c, older);
                ADD_FAILURE() << r.file << " passed the check";
            } catch (const db::DbError &e) {
                EXPECT_TRUE(e.message().contains(QString::fromUtf8(r.reason)))
                    << e.message().toStdString();
            }
        }
    }
    db::Connection current;
    open(QStringLiteral("current.db"), current);
    EXPECT_NO_THROW(database::CheckSchema(current, database::OlderSchema::Refuse));

    // An older file: refused with the command that upgrades it, or upgraded.
    db::Connection older;
    open(QStringLiteral("current.db"), older);
    older.executeScript(QStringLiteral("PRAGMA user_version = 3"));
    EXPECT_THROW(database::CheckSchema(older, database::OlderSchema::Refuse), db::DbError);
    try {
        database::CheckSchema(older, database::OlderSchema::Refuse);
    } catch (const db::DbError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("kelo-db upgrade")))
            << e.message().toStdString();
    }
    older.close();
    // The last script again over its own tables fails; a file that lacks it takes it.
    db::Connection lacking;
    const QString file = dir.filePath(QStringLiteral("lacking.db"));
    db::Connection::createSqliteFile(file);
    lacking.setSqliteFile(file);
    lacking.open();
    lacking.executeScript(database::SchemaScripts().front().second);
    lacking.executeScript(QStringLiteral("PRAGMA user_version = 1"));
    database::CheckSchema(lacking, database::OlderSchema::Upgrade);
    EXPECT_EQ(database::SchemaVersion(lacking), database::CurrentSchemaVersion());
}

} // namespace
