#pragma once

#include "database/schema.h"
#include "support/temp_database.h"

namespace kelo::test {

// A test database made as the project makes every database: the schema, the code
// sets and the calendar (on PostgreSQL also the server functions), on the engine
// the tests run on. For tests that link the database module.
class SchemaDatabase : public TempDatabase {
public:
    SchemaDatabase()
        : TempDatabase([](db::Connection &c) {
              // The database's procedures and functions are known before the connection opens.
              database::Install();
              c.close();
              c.open();
              database::FillNewDatabase(c);
          }) {}
};

} // namespace kelo::test
