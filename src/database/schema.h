#pragma once

#include "db/connection.h"

#include <QString>
#include <utility>
#include <vector>

namespace kelo::database {

// The schema scripts in the order they apply: (file name, statements). The
// database's schema version (PRAGMA user_version) is the number of scripts
// applied, so that a later release applies only the scripts a file lacks.
const std::vector<std::pair<QString, QString>> &SchemaScripts();
int CurrentSchemaVersion();
int SchemaVersion(db::Connection &connection);

// Applies the scripts the database lacks, all in one transaction.
void MigrateSchema(db::Connection &connection);

// Checks, right after opening, that the connection holds a database of this
// system: an empty file or one without this system's schema and a file of a newer
// release are a DbError naming the reason; an older file is brought up to date
// (Upgrade) or refused with the command that upgrades it (Refuse).
enum class OlderSchema { Upgrade, Refuse };
void CheckSchema(db::Connection &connection, OlderSchema older);

// On a server, (re)installs this release's dialect functions and operators and the
// server functions of the schema "kelo" (every statement of theirs may run again), and
// the role report definitions run as (db::ReportRole) with its grants; does nothing on
// a file. Upgrading runs it before the schema scripts.
void InstallServerObjects(db::Connection &connection);

// On a server: why the statements of report definitions cannot run yet (the report role
// is missing or the signed-in role may not switch to it), with what the server's
// administrator does about it; empty when they can, and on a file.
QString ReportRoleProblem(db::Connection &connection);

// The processes other than this one that hold the file open (empty where that
// cannot be found out).
QList<qint64> ProcessesHoldingFile(const QString &path);

// Registers the database's procedures and functions with the standard server
// objects; every program calls it once before it opens a connection.
void Install();

// A new database file with the schema, the code sets and the calendar; refuses
// an existing file unless force is set, in which case the file is replaced.
void CreateDatabase(const QString &path, bool force);

// The same in a database of a PostgreSQL server (an alias with Driver=POSTGRES,
// the connection's parameters set, opened here): the dialect, the server
// functions, the schema, the code sets and the calendar in the schema kelo. A
// database that holds this system's tables is refused unless force is set, in
// which case the schema kelo is dropped first.
void CreateServerDatabase(db::Connection &connection, bool force);

// The schema, the code sets and the calendar in a new, empty database.
void FillNewDatabase(db::Connection &connection);

} // namespace kelo::database
