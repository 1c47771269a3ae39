#pragma once

#include "db/connection.h"

#include <QString>

namespace kelo::db {

// Backups of a database while its clients keep working.
//
// A SQLite database is copied through SQLite's online backup from the connection's own
// handle (no second handle on the file: see common/protectedfiles.h) in one read
// transaction: the copy is the database as it was at one moment, and in WAL mode other
// connections and programs go on reading and saving meanwhile. The copy is one file in
// rollback-journal mode, checked (quick_check), with the database file's permissions.
//
// A server database is dumped with pg_dump (custom format, the schema kelo) as the
// connection's user; pg_dump must be installed (postgresql-client). The dump is private
// to its owner (0600).
//
// The copy is written beside file and put in place when whole; a file that is not a
// regular file (a symbolic link among them) or is a file of the open database is refused.
void BackupDatabase(Connection &connection, const QString &file);

// The process that holds the SQLite database at path open in WAL mode (its lock on the
// shared memory), or 0 when none does or it cannot be told; looked at before this program
// opens the database (a descriptor of the file closed afterwards would drop a connection's
// locks).
qint64 SqliteDatabaseHolder(const QString &path);

// Replaces the SQLite database at target (made when absent) with the copy the connection
// `copy` has open (a backup file), page by page in one write transaction of the target, and
// leaves the target in WAL mode. A target some process holds open (SqliteDatabaseHolder) is
// refused before anything is written; so is a copy that fails its quick_check.
void RestoreSqliteDatabase(Connection &copy, const QString &target);

// Replaces the schema kelo of the server database of the connection's parameters with the
// dump in file: a custom-format dump (pg_dump -Fc) through pg_restore, a plain SQL script
// as it is, run by psql in one transaction after the schema is dropped; a failure leaves the
// database as it was. The connection is closed first and left closed.
void RestoreServerDatabase(Connection &connection, const QString &file);

} // namespace kelo::db
