#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

namespace kelo::db {

// Registers the dialect's functions on a SQLite connection: NVL, NVL2, DECODE,
// TO_CHAR, TO_DATE, TO_NUMBER, ADD_MONTHS, LAST_DAY, SYSDATE, INITCAP, LPAD,
// RPAD, ROUND, TRUNC, SUBSTR, LENGTH, TRIM, REPLACE, INSTR, GREATEST, LEAST,
// MOD, CEIL, FLOOR, SIGN, and the concatenation ->> that the layer writes for ||,
// with the suite database's semantics (an empty text is NULL, || takes NULL as the
// empty text, DECODE matches NULL with NULL, numbers turn into text as 1500 and .5,
// dates are day numbers); and makes LIKE tell capitals from small letters.
void installDialect(sqlite3 *handle);

// The same functions for a PostgreSQL database, as a script that makes them in the
// schema kelo (with the table DUAL); installed once per database (kelo-db init).
const QString &PostgresDialectScript();

// The server role the statements of report definitions run as (SET LOCAL ROLE): it may
// read the tables of the schema kelo and call its functions, nothing else.
inline QString ReportRole() {
    return QStringLiteral("kelo_report");
}

// The tables no report definition may read, on either engine: the web sign-in's password
// hashes. On PostgreSQL the role script takes them from the report role; on SQLite the
// read-only scope of a report's statements refuses them.
inline QStringList ReportHiddenTables() {
    return {QStringLiteral("WEB_PASSWORD")};
}

// Makes that role where the signed-in role may make roles, lets the signed-in role
// switch to it, and grants it the reading of the schema kelo; may run again.
const QString &PostgresReportRoleScript();

} // namespace kelo::db
