#pragma once

#include "controls/gridcolumn.h"
#include "db/rowset.h"

#include <QAbstractTableModel>
#include <memory>
#include <vector>

namespace kelo::controls {

enum class RowStatus : quint8 { Unchanged = 0, Changed = 1, New = 2, Deleted = 3 };

// The grid's rows: a RowSet bound to a query (its packets of 100 fetched as the
// view asks for more) or a RowSet of the grid's own (rows added by code), with
// the edit status of every row. Deleted rows leave the view and are kept aside
// with status 3 until the grid is cleared.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject *parent = nullptr);

    // The columns; bound fields are resolved against the current rows.
    void setColumns(const std::vector<GridColumn> &columns);
    const std::vector<GridColumn> &columns() const { return m_columns; }
    GridColumn &column(int c) { return m_columns.at(size_t(c)); }

    // Data-bound: the model shows the row set, which it does not own.
    void setRowSet(db::RowSet *rows);
    // Plain: rows of the grid's own, with a field per column.
    void setPlain();
    db::RowSet *rowSet() const { return m_rows; }
    bool isBound() const { return m_rows != m_own.get(); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    void sort(int column, Qt::SortOrder order) override;

    // Values as stored (codes, check values), and as shown.
    QVariant value(int row, int column) const;
    QString text(int row, int column) const;
    // As shown; blankRepeats false gives the value's own display (no repeat-blank).
    QString displayText(int row, int column, bool blankRepeats = true) const;
    // The second-line value of a column (empty when it has none), as shown.
    QString secondLineText(int row, int column) const;
    bool hasSecondLine() const;
    void setValue(int row, int column, const QVariant &value); // marks the row changed
    // By field name (any field of the row set, shown or not).
    QVariant fieldValue(int row, const QString &field) const;
    void setFieldValue(int row, const QString &field, const QVariant &value);
    int fieldIndex(const QString &field) const;
    // The row-set field a column shows, or -1.
    int boundField(int column) const { return fieldOf(column); }

    // A row's text in a column as it was read: before the row's first change since it was
    // read (or since the last clearStatus), the current text for a row unchanged since.
    // Rows added in the grid were never read (status New).
    QString readText(int row, int column) const;
    bool wasRead(int row) const { return status(row) != RowStatus::New; }
    // Takes the row's current values as the ones read, for rows a screen fills itself from a
    // search (they keep that reading until clearStatus).
    void markRead(int row);

    RowStatus status(int row) const;
    void setStatus(int row, RowStatus status);
    int appendRow();           // status New
    void insertRowAt(int row); // status New
    void deleteRow(int row);   // leaves the view, kept with status Deleted
    struct DeletedRow {
        std::vector<QVariant> values;
        RowStatus previous;
        std::vector<QVariant> read; // the values as read (see readText)
    };
    const std::vector<DeletedRow> &deletedRows() const { return m_deleted; }
    void clearStatus(); // every row unchanged, the deleted ones forgotten

    bool editable() const { return m_editable; }
    void setEditable(bool on) { m_editable = on; }

    // Number of fetched rows; fetchAll walks the rest of the result.
    int fetchedRows() const { return rowCount(); }
    void fetchAll();

signals:
    void valueChanged(int row, int column);

private:
    int fieldOf(int column) const;
    void resolveFields();
    // Keeps the row's values as read before its first change.
    void rememberRead(int row);

    std::vector<GridColumn> m_columns;
    std::vector<int> m_fieldOfColumn;
    std::unique_ptr<db::RowSet> m_own;
    db::RowSet *m_rows = nullptr;
    std::vector<RowStatus> m_status;
    // Parallel to m_status: the values of a row changed since it was read, as read; empty for
    // the others.
    std::vector<std::vector<QVariant>> m_read;
    std::vector<DeletedRow> m_deleted;
    bool m_editable = true;
    int m_sortColumn = -1;
};

} // namespace kelo::controls
