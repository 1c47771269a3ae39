#pragma once

#include "db/rowset.h"

#include <QHash>
#include <QString>
#include <memory>

namespace kelo::report {

// A data set a report prints from: a query's result read once into memory (a
// db::RowSet fetched to the end), or rows added by code. Its current row is the one
// the bands and the handlers read; the paginator moves it.
//
// Fields print through their display format (controls' number formats: ",0" is
// whole numbers with thousands separators); a field without one prints its text.
class DataSet {
public:
    // Rows from a query on the connection.
    DataSet(db::Connection &connection, const QString &name);
    // Rows added by code through rows().setColumns() and rows().appendRow().
    explicit DataSet(const QString &name);
    ~DataSet();
    DataSet(const DataSet &) = delete;
    DataSet &operator=(const DataSet &) = delete;

    const QString &name() const { return m_name; }

    // The statement: text and parameters before open().
    db::Query &query() { return m_rows.query(); }
    db::RowSet &rows() { return m_rows; }
    const db::RowSet &rows() const { return m_rows; }

    // Runs the query and reads every row; the first row is current. A database
    // error is a db::DbError with the engine's text.
    void open();
    bool isOpen() const { return m_rows.isOpen(); }
    void close() { m_rows.close(); }

    int rowCount() const { return m_rows.fetchedRows(); }
    bool isEmpty() const { return rowCount() == 0; }
    int currentRow() const { return m_rows.recNo(); }
    void moveTo(int row) { m_rows.moveTo(row); }

    bool hasField(const QString &field) const;
    // The current row's field: empty text and 0 when the set has no current row or
    // no such field.
    QVariant value(const QString &field) const;
    QString text(const QString &field) const;
    double number(const QString &field) const;
    // The field as printed: through the given format, else the field's own.
    QString displayText(const QString &field, const QString &format = QString()) const;

    void setDisplayFormat(const QString &field, const QString &format);
    QString displayFormat(const QString &field) const;

private:
    int column(const QString &field) const;

    QString m_name;
    db::RowSet m_rows;
    QHash<QString, QString> m_formats; // upper-cased field -> display format
    mutable QHash<QString, int> m_columns;
};

} // namespace kelo::report
