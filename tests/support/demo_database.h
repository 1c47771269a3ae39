#pragma once

#include "database/demo.h"
#include "support/temp_database.h"

namespace kelo::test {

// The demo's days up to endDate, generated into the temporary database on the engine the
// tests run on; the database's connection is open again afterwards.
inline void GenerateDemoInto(TempDatabase &db, int days, const QString &endDate) {
    database::DemoOptions options;
    options.days = days;
    options.endDate = endDate;
    options.force = true;
    if (OnPostgres())
        options.connectionParams = db.connection().params();
    else
        options.path = db.file();
    db.connection().close();
    database::GenerateDemo(options);
    db.connection().open();
}

} // namespace kelo::test
