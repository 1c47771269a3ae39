// The files of an open database are known to the rest of the program under every name they
// go by, so that nothing but the connection opens them.
#include "common/protectedfiles.h"
#include "db/connection.h"
#include "spreadsheet/spreadsheet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace kelo;

namespace {

TEST(ProtectedFiles, AnOpenDatabaseIsKnownUnderEveryNameUntilItCloses) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("demo.db"));
    db::Connection::createSqliteFile(file);
    QDir(dir.path()).mkdir(QStringLiteral("sub"));
    ASSERT_TRUE(QFile::link(file, dir.filePath(QStringLiteral("link.db"))));
    ASSERT_EQ(::link(QFile::encodeName(file).constData(),
                     QFile::encodeName(dir.filePath(QStringLiteral("hard.db"))).constData()),
              0);
    QFile other(dir.filePath(QStringLiteral("other.xlsx")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();

    const QStringList names = {file,
                               file + QStringLiteral("-wal"),
                               file + QStringLiteral("-shm"),
                               file + QStringLiteral("-journal"),
                               dir.filePath(QStringLiteral("sub/../demo.db")),
                               dir.filePath(QStringLiteral("link.db")),
                               dir.filePath(QStringLiteral("hard.db"))};
    db::Connection c;
    c.setSqliteFile(file);
    c.open();
    for (const QString &name : names)
        EXPECT_TRUE(IsDatabaseFile(name)) << name.toStdString();
    EXPECT_FALSE(IsDatabaseFile(other.fileName()));
    EXPECT_FALSE(IsDatabaseFile(dir.filePath(QStringLiteral("demo.db.xlsx"))));

    // The spreadsheet reader of the imports refuses it without reading it.
    SpreadsheetReader reader;
    EXPECT_FALSE(reader.open(file));
    EXPECT_TRUE(reader.error().contains(DatabaseFileReason())) << reader.error().toStdString();

    c.close();
    for (const QString &name : names)
        EXPECT_FALSE(IsDatabaseFile(name)) << name.toStdString();
}

} // namespace
