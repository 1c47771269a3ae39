#pragma once

// Running a loaded definition: its statements, each checked to be one statement that
// reads and run with the database refusing writes, then the layout into pages.

#include "report/document.h"
#include "viewer/definition_parser.h"

#include <functional>

namespace kelo::db {
class Connection;
struct StatementLimits;
} // namespace kelo::db

namespace kelo::viewer {

// Why a statement is not one statement that only reads (SELECT or WITH ... SELECT, no
// second statement, no word that writes); empty when it is.
QString WritingReason(const QString &sql);

// The statement as run: without a final ";" (and what follows it: blanks and comments).
QString StatementText(const QString &sql);

// The limits every statement of a definition runs under, from Kelo_S.ini:
//   [Report]
//   TimeLimit=60       seconds from a statement's start to its last row
//   MemoryLimit=512    MB of memory one statement may take on SQLite (the server keeps its own)
//   DataSetLimit=256   MB of values one data set may hold in the client
// Absent or unreadable values read as these defaults; 0 turns a limit off.
struct ReportLimits {
    int timeLimitSeconds = 60;
    int memoryLimitMb = 512;
    int dataSetLimitMb = 256;

    static ReportLimits FromSettings();
    db::StatementLimits statementLimits(const std::function<bool()> &tick) const;
};

// The functions a statement calls that a report may not call (PostgreSQL; empty on
// SQLite), as signatures. A report may call the functions of the schema kelo (the
// dialect's and the server functions) and the engine's functions that only compute a
// value; it may not call the engine's functions that act on the session or the server
// (advisory locks, set_config, signals to other sessions, notifications, files, large
// objects, statements given as text ...) nor any function of another schema. The
// statement is parsed by the server as the report role would run it (a temporary view in
// a transaction that is rolled back) and the calls are read from the parse tree.
QStringList RefusedFunctions(db::Connection &connection, const QString &sql);

// While it lives, the connection refuses writes: on SQLite PRAGMA query_only (the
// previous setting restored after), and the reading of db::ReportHiddenTables(); on PostgreSQL a
// READ ONLY transaction of its own, or, inside the caller's transaction, a savepoint made read-only
// that is rolled back after, so the caller's transaction goes on as it was. On PostgreSQL the
// statements run as the report role (db::ReportRole) meanwhile, and with statement_timeout when a
// time limit is given; both end with the transaction or the savepoint.
class ReadOnlyScope {
public:
    explicit ReadOnlyScope(db::Connection &connection, int timeLimitMs = 0);
    ~ReadOnlyScope();
    ReadOnlyScope(const ReadOnlyScope &) = delete;
    ReadOnlyScope &operator=(const ReadOnlyScope &) = delete;

private:
    db::Connection &m_connection;
    bool m_ownTransaction = false;
    QString m_savepoint;
    QString m_sqlitePrevious;
};

// The values a parameter's prompt offers, from its <choices> statement: run read-only under
// the report limits like the data sets, at most kMaxChoices rows; value from the first
// column, the text shown from the second (the value again when there is one column).
constexpr int kMaxChoices = 1000;
struct Choices {
    std::vector<std::pair<QString, QString>> items;
    QString error; // empty when read
};
Choices RunChoices(db::Connection &connection, const QString &fileName,
                   const ParameterDecl &parameter);

struct RunResult {
    report::Document document;
    QString error; // empty when laid out
};

// Binds the values (by declared name) to the statements, runs them read-only under the
// report limits, checks the fields the definition reads and lays the report out. tick,
// when given, is called about every 50 ms while a statement runs; false cancels it.
RunResult RunReport(LoadedReport &report, const QHash<QString, QString> &values,
                    const std::function<bool()> &tick = {});

// The steps of RunReport, for the benchmark: the statements, then the layout.
QString RunStatements(LoadedReport &report, const QHash<QString, QString> &values,
                      const std::function<bool()> &tick = {});
RunResult LayOut(LoadedReport &report);

} // namespace kelo::viewer
