#pragma once

#include "support/schema_database.h"

// A database made as the project makes them (schema, codes, calendar), open, on the
// engine the tests run on.
struct CodesDatabase {
    kelo::test::SchemaDatabase database;
    kelo::db::Connection &connection = database.connection();
    void exec(const QString &sql) { connection.executeScript(sql); }
};
