#pragma once

#include "db/connection.h"

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace kelo::test {

// True when the tests run on PostgreSQL (KELO_TEST_ENGINE=postgres, with the
// server in KELO_PG_HOST, KELO_PG_PORT, KELO_PG_USER, KELO_PG_PASSWORD).
bool OnPostgres();

// A new database in a temporary AppDir, with a Databases.ini that names it under
// the alias TESTDB, and an open connection to it: a SQLite file, or on PostgreSQL
// a database of its own made from a template that holds the dialect (dropped again
// at the end).
class TempDatabase {
public:
    // fill, when given, runs on the open connection (a fixture's schema).
    explicit TempDatabase(const std::function<void(db::Connection &)> &fill = {});
    ~TempDatabase();

    QString dir() const { return m_dir.path(); }
    QString file() const; // SQLite: the file
    db::Connection &connection() { return *m_connection; }
    // Runs statements (schema and rows of a fixture).
    void exec(const QString &sql);

private:
    QTemporaryDir m_dir;
    QString m_pgName;
    std::unique_ptr<db::Connection> m_connection;
};

// PostgreSQL: the parameters of a connection to the alias TESTDB as a desk signs in on a
// resort's server: a login role that is no superuser and may switch to the report role
// (the role kelo_desk, made on the test server once).
QStringList DeskLoginParams();

// The rows of a statement as text: cells joined by '|', rows by ','.
QString QueryText(db::Connection &connection, const QString &sql);

} // namespace kelo::test
