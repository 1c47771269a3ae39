#pragma once

// Running a loaded definition: its statements, each checked to be one statement that
// reads and run with the database refusing writes, then the layout into pages.

#include "report/document.h"
#include "viewer/definition_parser.h"

namespace kelo::db {
class Connection;
}

namespace kelo::viewer {

// Why a statement is not one statement that only reads (SELECT or WITH ... SELECT, no
// second statement, no word that writes); empty when it is.
QString WritingReason(const QString &sql);

// The statement as run: without a final ";" (and what follows it: blanks and comments).
QString StatementText(const QString &sql);

// While it lives, the connection refuses writes: on SQLite PRAGMA query_only (the
// previous setting restored after); on PostgreSQL a READ ONLY transaction of its own,
// or, inside the caller's transaction, a savepoint made read-only that is rolled back
// after, so the caller's transaction goes on as it was.
class ReadOnlyScope {
public:
    explicit ReadOnlyScope(db::Connection &connection);
    ~ReadOnlyScope();
    ReadOnlyScope(const ReadOnlyScope &) = delete;
    ReadOnlyScope &operator=(const ReadOnlyScope &) = delete;

private:
    db::Connection &m_connection;
    bool m_ownTransaction = false;
    QString m_savepoint;
    QString m_sqlitePrevious;
};

struct RunResult {
    report::Document document;
    QString error; // empty when laid out
};

// Binds the values (by declared name) to the statements, runs them read-only, checks the
// fields the definition reads and lays the report out.
RunResult RunReport(LoadedReport &report, const QHash<QString, QString> &values);

// The steps of RunReport, for the benchmark: the statements, then the layout.
QString RunStatements(LoadedReport &report, const QHash<QString, QString> &values);
RunResult LayOut(LoadedReport &report);

} // namespace kelo::viewer
