#pragma once

#include <QString>
#include <stdexcept>

struct sqlite3;
struct pg_conn;
struct pg_result;

namespace kelo::db {

// Every failure of the database layer: the text is the engine's own message
// (or, for failures found before the engine is reached, a plain statement of
// what is wrong). Callers show their own words followed by this text.
class DbError : public std::runtime_error {
public:
    explicit DbError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};

// A statement stopped by the limits of its connection (StatementLimits): past its time,
// memory or result limit, or cancelled by the user. The text says which.
class StatementStopped : public DbError {
public:
    using DbError::DbError;
};

// The engine's message for its last failure on a handle. The few failures a user
// meets (a database locked by another user, a read-only file, a full disk, a
// file that is no database) are said in the user's words, the engine's text after.
QString EngineMessage(sqlite3 *handle);
// The same for PostgreSQL: the failed result's message (or the session's).
QString EngineMessage(pg_conn *connection, const pg_result *result);

} // namespace kelo::db
