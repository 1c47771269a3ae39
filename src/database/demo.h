#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace kelo::database {

struct DemoOptions {
    QString path;                 // a SQLite file
    QStringList connectionParams; // or a server database: DATABASE=alias, USER_NAME, PASSWORD
    int years = 2;                // whole years of daily data ending at endDate
    int days = 0;                 // when set, this many days instead (small test databases)
    int scale = 1;                // multiplies the operating rows of each day
    quint64 seed = 1;             // the same seed gives the same database
    QString endDate;              // YYYYMMDD; empty: yesterday
    bool force = false;           // replace an existing file (or the tables of a server database)
    std::function<void(const QString &)> progress;
};

// One program of the demo menus: ID, menu caption, top-level menu.
struct DemoProgram {
    QString id, name, menuId;
};
const std::vector<DemoProgram> &DemoPrograms();

// The demo employees who sign in: employee number, name, permission level.
struct DemoUser {
    QString empNo, name, level;
};
const std::vector<DemoUser> &DemoUsers();

// Writes a new database with believable, internally consistent data for a
// resort: code sets, outlets, calendar, menus and permissions, personnel with
// photographs, and for every day of the period the operating data, the
// management figures built from it, budgets and targets.
void GenerateDemo(const DemoOptions &options);

} // namespace kelo::database
