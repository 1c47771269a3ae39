#pragma once

#include "db/query.h"

#include <QVariant>
#include <memory>
#include <vector>

namespace kelo::db {

// An in-memory copy of a query result, fed in packets of 100 rows as it is
// walked. The grids' models sit on it: they show the rows fetched so far and
// ask for the next packet as the user scrolls. walking past the fetched rows
// fetches the next packet; fetchAll() copies the rest at once.
class RowSet {
public:
    static constexpr int PacketRows = 100;

    explicit RowSet(Connection &connection);
    // A row set without a query, whose rows are added by code (setColumns).
    RowSet();
    ~RowSet();

    // The query whose text and parameters are set before open().
    Query &query();

    // Opens the query and fetches the first packet; the first row is current.
    void open();
    // A row set of its own, without a query: rows are added by code.
    void setColumns(const QStringList &names);
    void close();
    bool isOpen() const { return m_open; }

    int columnCount() const { return m_columns; }
    QString columnName(int column) const;
    int columnIndex(const QString &name) const; // -1 when there is none

    // Rows fetched so far, and whether the query has delivered them all.
    int fetchedRows() const { return m_rows; }
    bool isComplete() const { return m_complete; }
    // Fetches up to the next packet; the number of rows added.
    int fetchPacket();
    void fetchAll();
    // Fetches until the row exists or the rows are done; true when it exists.
    bool ensureRow(int row);

    QVariant value(int row, int column) const;
    // The stored cell itself (no copy); row and column must exist.
    const QVariant &cell(int row, int column) const {
        return m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
    }
    QString text(int row, int column) const;
    double number(int row, int column) const;
    bool isNull(int row, int column) const;
    void setValue(int row, int column, const QVariant &value);
    // Rows added or taken out by code (fetched rows keep arriving at the end).
    int appendRow();
    void insertRow(int row);
    void removeRow(int row);
    // The values of a row, and a row put back (a deleted row restored).
    std::vector<QVariant> rowValues(int row) const;
    void insertRowValues(int row, const std::vector<QVariant> &values);

    // The current row, -1 when there are no rows.
    int recNo() const { return m_current; }
    bool isEmpty() const { return m_rows == 0; }
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    void first();
    void last();
    void next();
    void prior();
    bool moveTo(int row);

    QVariant field(const QString &name) const;
    QString fieldText(const QString &name) const;
    double fieldNumber(const QString &name) const;

private:
    int requireColumn(const QString &name) const;

    std::unique_ptr<Query> m_query;
    bool m_open = false;
    bool m_complete = true;
    int m_columns = 0;
    int m_rows = 0;
    int m_current = -1;
    bool m_bof = true;
    bool m_eof = true;
    QStringList m_names;
    std::vector<QVariant> m_cells; // row-major
};

// The text of a value under the number-to-text rule.
QString ValueText(const QVariant &value);
double ValueNumber(const QVariant &value);

} // namespace kelo::db
