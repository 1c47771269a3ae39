#pragma once

#include "db/connection.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kelo::database {

// One row of the common-code table ZX010MS: code set, code, name, ITEM1..ITEM15.
struct CodeRow {
    QString head, detail, name;
    QStringList items; // ITEM1 onwards
};

// Every code set the program names, each with its header row (DETAIL ' ').
const std::vector<CodeRow> &StandardCodes();

// The outlets: code, Korean and English name, business area levels, management
// division levels, summary outlet, sports summary code, display order,
// guest-activity group.
struct Outlet {
    QString code, name, engName, saup1, saup2, saup3, mis1, mis2, sumCode, sportsCode;
    int displaySeq = 0;
    QString gaGroup;
    QStringList divisions; // the revenue divisions (S0008) of its sales summary rows
};
const std::vector<Outlet> &StandardOutlets();

// The accounting items of each movement group (SX020MS).
struct AccountItem {
    QString movement, code, name;
};
const std::vector<AccountItem> &AccountItems();

// Writes the code sets, outlets and item masters.
void WriteCodeSets(db::Connection &connection);
// Writes the calendar ZX020MS for the years from..to.
void WriteCalendar(db::Connection &connection, int fromYear, int toYear);

} // namespace kelo::database
