#include "database/schema.h"

#include "database/codes.h"
#include "database/procedures.h"
#include "database/serverfunctions.h"
#include "db/query.h"
#include "db/serverobjects.h"
#include "db/transaction.h"

#include <QFile>
#include <QFileInfo>

namespace kelo::database {

int CurrentSchemaVersion() {
    return int(SchemaScripts().size());
}

int SchemaVersion(db::Connection &connection) {
    db::Query q(connection);
    q.setSql(QStringLiteral("PRAGMA user_version"));
    q.open();
    return int(q.integer(0));
}

void MigrateSchema(db::Connection &connection) {
    const int have = SchemaVersion(connection);
    const auto &scripts = SchemaScripts();
    if (have > int(scripts.size()))
        throw db::DbError(QStringLiteral("The database has schema version %1, newer than this "
                                         "program's %2; use a newer program.")
                              .arg(have)
                              .arg(scripts.size()));
    if (have == int(scripts.size()))
        return;
    db::Transaction t(connection);
    t.begin();
    for (int i = have; i < int(scripts.size()); ++i) {
        try {
            connection.executeScript(scripts[size_t(i)].second);
        } catch (const db::DbError &e) {
            throw db::DbError(QStringLiteral("%1: %2").arg(scripts[size_t(i)].first, e.message()));
        }
    }
    connection.executeScript(QStringLiteral("PRAGMA user_version = %1").arg(scripts.size()));
    t.commit();
}

void Install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    db::ServerObjects &objects = db::ServerObjects::standard();
    RegisterServerFunctions(objects);
    RegisterProcedures(objects);
}

void CreateDatabase(const QString &path, bool force) {
    Install();
    if (QFileInfo::exists(path)) {
        if (!force)
            throw db::DbError(
                QStringLiteral("The file %1 exists already; use --force to replace it.").arg(path));
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(path + QLatin1String(suffix));
    }
    db::Connection::createSqliteFile(path);
    db::Connection connection;
    connection.setSqliteFile(path);
    connection.open();
    MigrateSchema(connection);
    db::Transaction t(connection);
    t.begin();
    WriteCodeSets(connection);
    WriteCalendar(connection, 2000, 2035);
    t.commit();
}

} // namespace kelo::database
