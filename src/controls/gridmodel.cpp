#include "controls/gridmodel.h"

#include "common/numbertext.h"
#include "controls/formats.h"

#include <QBrush>
#include <algorithm>
#include <numeric>

namespace kelo::controls {

GridModel::GridModel(QObject *parent) : QAbstractTableModel(parent) {
    setPlain();
}

void GridModel::setColumns(const std::vector<GridColumn> &columns) {
    beginResetModel();
    m_columns = columns;
    if (!isBound()) {
        QStringList names;
        for (size_t i = 0; i < columns.size(); ++i)
            names << (columns[i].field.isEmpty() ? QStringLiteral("COL%1").arg(i)
                                                 : columns[i].field);
        m_own->setColumns(names);
        m_status.clear();
        m_read.clear();
        m_deleted.clear();
    }
    resolveFields();
    endResetModel();
}

void GridModel::setRowSet(db::RowSet *rows) {
    beginResetModel();
    m_rows = rows;
    m_status.assign(size_t(rows ? rows->fetchedRows() : 0), RowStatus::Unchanged);
    m_read.assign(m_status.size(), {});
    m_deleted.clear();
    m_sortColumn = -1;
    resolveFields();
    endResetModel();
}

void GridModel::setPlain() {
    beginResetModel();
    m_own = std::make_unique<db::RowSet>();
    m_rows = m_own.get();
    QStringList names;
    for (size_t i = 0; i < m_columns.size(); ++i)
        names << (m_columns[i].field.isEmpty() ? QStringLiteral("COL%1").arg(i)
                                               : m_columns[i].field);
    m_own->setColumns(names);
    m_status.clear();
    m_read.clear();
    m_deleted.clear();
    resolveFields();
    endResetModel();
}

void GridModel::resolveFields() {
    m_fieldOfColumn.assign(m_columns.size(), -1);
    if (!m_rows)
        return;
    for (size_t c = 0; c < m_columns.size(); ++c) {
        const GridColumn &col = m_columns[c];
        int f = col.field.isEmpty() ? col.position : m_rows->columnIndex(col.field);
        if (f >= m_rows->columnCount())
            f = -1;
        if (f < 0 && col.field.isEmpty() && col.position < 0 && int(c) < m_rows->columnCount())
            f = int(c); // unbound columns take the result's fields by position
        m_fieldOfColumn[c] = f;
    }
}

int GridModel::fieldOf(int column) const {
    return column >= 0 && column < int(m_fieldOfColumn.size()) ? m_fieldOfColumn[size_t(column)]
                                                               : -1;
}

int GridModel::fieldIndex(const QString &field) const {
    return m_rows ? m_rows->columnIndex(field) : -1;
}

int GridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() || !m_rows ? 0 : m_rows->fetchedRows();
}

int GridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::value(int row, int column) const {
    const int f = fieldOf(column);
    return f < 0 ? QVariant() : m_rows->value(row, f);
}

QString GridModel::text(int row, int column) const {
    return db::ValueText(value(row, column));
}

QVariant GridModel::fieldValue(int row, const QString &field) const {
    const int f = fieldIndex(field);
    return f < 0 ? QVariant() : m_rows->value(row, f);
}

void GridModel::setFieldValue(int row, const QString &field, const QVariant &value) {
    const int f = fieldIndex(field);
    if (f < 0 || row < 0 || row >= rowCount())
        return;
    rememberRead(row);
    m_rows->setValue(row, f, value);
    if (status(row) == RowStatus::Unchanged)
        setStatus(row, RowStatus::Changed);
    for (size_t c = 0; c < m_fieldOfColumn.size(); ++c)
        if (m_fieldOfColumn[c] == f)
            emit dataChanged(index(row, int(c)), index(row, int(c)));
}

QString GridModel::displayText(int row, int column, bool blankRepeats) const {
    const GridColumn &col = m_columns.at(size_t(column));
    const QString stored = text(row, column);
    if (blankRepeats && col.repeatBlank && row > 0 && text(row - 1, column) == stored)
        return QString();
    if (col.checkBox)
        return QString();
    if (col.isChoice()) {
        const qsizetype i = col.pickCodes.indexOf(stored);
        return i >= 0 && i < col.pickTexts.size() ? col.pickTexts.at(i) : stored;
    }
    if (!col.displayMask.isEmpty())
        return ApplyDisplayMask(stored, col.displayMask);
    if (!col.displayFormat.isEmpty())
        return FormatNumberText(value(row, column), col.displayFormat);
    return stored;
}

QString GridModel::secondLineText(int row, int column) const {
    const GridColumn &col = m_columns.at(size_t(column));
    if (col.secondField.isEmpty())
        return QString();
    const QVariant v = fieldValue(row, col.secondField);
    return col.secondFormat.isEmpty() ? db::ValueText(v) : FormatNumberText(v, col.secondFormat);
}

bool GridModel::hasSecondLine() const {
    return std::any_of(m_columns.begin(), m_columns.end(),
                       [](const GridColumn &c) { return !c.secondField.isEmpty(); });
}

QVariant GridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return QVariant();
    const GridColumn &col = m_columns.at(size_t(index.column()));
    switch (role) {
    case Qt::DisplayRole:
        return displayText(index.row(), index.column());
    case Qt::EditRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return int(col.alignment);
    case Qt::CheckStateRole:
        if (col.checkBox)
            return text(index.row(), index.column()) == col.checkedValue ? Qt::Checked
                                                                         : Qt::Unchecked;
        return QVariant();
    case Qt::BackgroundRole:
        return col.color.isValid() ? QBrush(col.color) : QVariant();
    default:
        return QVariant();
    }
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid())
        return false;
    const GridColumn &col = m_columns.at(size_t(index.column()));
    if (role == Qt::CheckStateRole && col.checkBox) {
        setValue(index.row(), index.column(),
                 value.toInt() == Qt::Checked ? col.checkedValue : col.uncheckedValue);
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    // The editor holds typing to the input length; what it hands over is stored as it is, so
    // that a longer stored value nobody typed over stays whole.
    const QString text = value.toString();
    if (text == this->text(index.row(), index.column()))
        return true;
    setValue(index.row(), index.column(), text);
    return true;
}

void GridModel::setValue(int row, int column, const QVariant &value) {
    const int f = fieldOf(column);
    if (f < 0 || row < 0 || row >= rowCount())
        return;
    rememberRead(row);
    m_rows->setValue(row, f, value);
    if (status(row) == RowStatus::Unchanged)
        setStatus(row, RowStatus::Changed);
    emit dataChanged(index(row, column), index(row, column));
    // A repeat-blank cell below may change its display.
    if (row + 1 < rowCount() && m_columns.at(size_t(column)).repeatBlank)
        emit dataChanged(index(row + 1, column), index(row + 1, column));
    emit valueChanged(row, column);
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const GridColumn &col = m_columns.at(size_t(index.column()));
    if (m_editable && !col.readOnly) {
        if (col.checkBox)
            f |= Qt::ItemIsUserCheckable;
        else
            f |= Qt::ItemIsEditable;
    }
    return f;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section >= 0 && section < int(m_columns.size())) {
        if (role == Qt::DisplayRole)
            return m_columns[size_t(section)].title;
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignCenter);
    }
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QString();
    return QVariant();
}

bool GridModel::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && m_rows && !m_rows->isComplete();
}

void GridModel::fetchMore(const QModelIndex &parent) {
    if (!canFetchMore(parent))
        return;
    const int first = rowCount();
    // The packet is read first so that the view learns the exact number of rows added.
    const int added = m_rows->fetchPacket();
    if (added <= 0)
        return;
    // The rows are already in the row set: announce them as inserted.
    beginInsertRows(QModelIndex(), first, first + added - 1);
    m_status.resize(size_t(first + added), RowStatus::Unchanged);
    m_read.resize(m_status.size());
    endInsertRows();
}

void GridModel::fetchAll() {
    while (canFetchMore(QModelIndex()))
        fetchMore(QModelIndex());
}

RowStatus GridModel::status(int row) const {
    return row >= 0 && row < int(m_status.size()) ? m_status[size_t(row)] : RowStatus::Unchanged;
}

void GridModel::setStatus(int row, RowStatus status) {
    if (row < 0 || row >= rowCount())
        return;
    if (int(m_status.size()) < rowCount())
        m_status.resize(size_t(rowCount()), RowStatus::Unchanged);
    m_read.resize(m_status.size());
    m_status[size_t(row)] = status;
}

void GridModel::rememberRead(int row) {
    if (status(row) != RowStatus::Unchanged)
        return;
    m_read.resize(std::max(m_read.size(), size_t(rowCount())));
    if (m_read[size_t(row)].empty())
        m_read[size_t(row)] = m_rows->rowValues(row);
}

void GridModel::markRead(int row) {
    if (row < 0 || row >= rowCount())
        return;
    m_read.resize(std::max(m_read.size(), size_t(rowCount())));
    m_read[size_t(row)] = m_rows->rowValues(row);
}

QString GridModel::readText(int row, int column) const {
    const int f = fieldOf(column);
    if (f < 0 || row < 0 || row >= rowCount())
        return QString();
    if (size_t(row) < m_read.size() && size_t(f) < m_read[size_t(row)].size())
        return db::ValueText(m_read[size_t(row)][size_t(f)]);
    return text(row, column);
}

int GridModel::appendRow() {
    insertRowAt(rowCount());
    return rowCount() - 1;
}

void GridModel::insertRowAt(int row) {
    fetchAll(); // a new row goes among rows the view has all of
    row = std::clamp(row, 0, rowCount());
    beginInsertRows(QModelIndex(), row, row);
    m_rows->insertRow(row);
    m_status.insert(m_status.begin() + row, RowStatus::New);
    m_read.resize(m_status.size() - 1);
    m_read.insert(m_read.begin() + row, std::vector<QVariant>());
    endInsertRows();
}

void GridModel::deleteRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    const RowStatus previous = status(row);
    if (previous != RowStatus::New) { // a new row that goes again leaves no trace
        const bool changed = size_t(row) < m_read.size() && !m_read[size_t(row)].empty();
        m_deleted.push_back({m_rows->rowValues(row), previous,
                             changed ? m_read[size_t(row)] : m_rows->rowValues(row)});
    }
    beginRemoveRows(QModelIndex(), row, row);
    m_rows->removeRow(row);
    if (row < int(m_status.size()))
        m_status.erase(m_status.begin() + row);
    if (row < int(m_read.size()))
        m_read.erase(m_read.begin() + row);
    endRemoveRows();
}

void GridModel::clearStatus() {
    m_status.assign(size_t(rowCount()), RowStatus::Unchanged);
    m_read.assign(m_status.size(), {});
    m_deleted.clear();
}

void GridModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount() || fieldOf(column) < 0)
        return;
    fetchAll();
    const int n = rowCount();
    std::vector<int> order_(static_cast<size_t>(n));
    std::iota(order_.begin(), order_.end(), 0);
    const int f = fieldOf(column);
    auto key = [&](int r) { return m_rows->value(r, f); };
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        const QVariant x = key(a), y = key(b);
        int cmp;
        const bool numeric =
            (x.typeId() == QMetaType::Double || x.typeId() == QMetaType::LongLong) &&
            (y.typeId() == QMetaType::Double || y.typeId() == QMetaType::LongLong);
        if (numeric)
            cmp = x.toDouble() < y.toDouble() ? -1 : x.toDouble() > y.toDouble() ? 1 : 0;
        else
            cmp = QString::compare(db::ValueText(x), db::ValueText(y));
        return order == Qt::AscendingOrder ? cmp < 0 : cmp > 0;
    });
    emit layoutAboutToBeChanged();
    std::vector<std::vector<QVariant>> rows;
    rows.reserve(size_t(n));
    std::vector<RowStatus> status;
    std::vector<std::vector<QVariant>> read;
    m_read.resize(size_t(n));
    for (int r : order_) {
        rows.push_back(m_rows->rowValues(r));
        status.push_back(this->status(r));
        read.push_back(m_read[size_t(r)]);
    }
    for (int r = n - 1; r >= 0; --r)
        m_rows->removeRow(r);
    for (int r = 0; r < n; ++r)
        m_rows->insertRowValues(r, rows[size_t(r)]);
    m_status = status;
    m_read = std::move(read);
    m_sortColumn = column;
    emit layoutChanged();
}

} // namespace kelo::controls
