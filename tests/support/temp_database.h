#pragma once

#include "db/connection.h"

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kelo::test {

// A new SQLite database file in a temporary AppDir, with a Databases.ini that
// names it under the alias TESTDB, and an open connection to it.
class TempDatabase {
public:
    TempDatabase();
    ~TempDatabase();

    QString dir() const { return m_dir.path(); }
    QString file() const;
    db::Connection &connection() { return *m_connection; }
    // Runs statements (schema and rows of a fixture).
    void exec(const QString &sql);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<db::Connection> m_connection;
};

} // namespace kelo::test
