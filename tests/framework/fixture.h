#pragma once

#include "database/schema.h"
#include "db/connection.h"

#include <QTemporaryDir>
#include <memory>

// A database made as the project makes them (schema, codes, calendar), open.
struct CodesDatabase {
    CodesDatabase() {
        kelo::database::Install();
        kelo::database::CreateDatabase(dir.filePath(QStringLiteral("f.db")), false);
        connection.setSqliteFile(dir.filePath(QStringLiteral("f.db")));
        connection.open();
    }
    void exec(const QString &sql) { connection.executeScript(sql); }
    QTemporaryDir dir;
    kelo::db::Connection connection;
};
