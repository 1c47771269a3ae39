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

// Registers the database's procedures and functions with the standard server
// objects; every program calls it once before it opens a connection.
void Install();

// A new database file with the schema, the code sets and the calendar; refuses
// an existing file unless force is set, in which case the file is replaced.
void CreateDatabase(const QString &path, bool force);

} // namespace kelo::database
