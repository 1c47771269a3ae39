#include "database/schema.h"
#include "db/query.h"

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
