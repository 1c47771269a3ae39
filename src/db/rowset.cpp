#include "db/rowset.h"

#include "common/numbertext.h"

#include <algorithm>

namespace kelo::db {

QString ValueText(const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::Double:
        return NumberToText(value.toDouble());
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::QString:
        return value.toString();
    default:
        return value.isValid() ? value.toString() : QString();
    }
}

double ValueNumber(const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::LongLong:
    case QMetaType::Int:
        return value.toDouble();
    case QMetaType::QString:
        return ParseNumber(value.toString());
    default:
        return 0;
    }
}

RowSet::RowSet(Connection &connection) : m_query(std::make_unique<Query>(connection)) {}

RowSet::RowSet() = default;

Query &RowSet::query() {
    if (!m_query)
        throw DbError(QStringLiteral("This row set has no query: its rows are added by code."));
    return *m_query;
}

RowSet::~RowSet() = default;

void RowSet::open() {
    close();
    query().open();
    m_open = true;
    m_columns = m_query->fieldCount();
    m_names.clear();
    for (int c = 0; c < m_columns; ++c)
        m_names.append(m_query->fieldName(c));
    m_complete = m_query->eof();
    fetchPacket();
    first();
}

void RowSet::setColumns(const QStringList &names) {
    close();
    m_names.clear();
    for (const QString &n : names)
        m_names.append(n.toUpper());
    m_columns = int(names.size());
    m_open = true;
    m_complete = true;
}

int RowSet::appendRow() {
    insertRow(m_rows);
    return m_rows - 1;
}

void RowSet::insertRow(int row) {
    insertRowValues(row, std::vector<QVariant>(size_t(m_columns)));
}

void RowSet::insertRowValues(int row, const std::vector<QVariant> &values) {
    row = std::clamp(row, 0, m_rows);
    std::vector<QVariant> cells = values;
    cells.resize(size_t(m_columns));
    m_cells.insert(m_cells.begin() + std::ptrdiff_t(size_t(row) * size_t(m_columns)), cells.begin(),
                   cells.end());
    ++m_rows;
}

void RowSet::removeRow(int row) {
    if (row < 0 || row >= m_rows)
        return;
    const auto from = m_cells.begin() + std::ptrdiff_t(size_t(row) * size_t(m_columns));
    m_cells.erase(from, from + m_columns);
    --m_rows;
    if (m_current >= m_rows)
        m_current = m_rows - 1;
}

std::vector<QVariant> RowSet::rowValues(int row) const {
    if (row < 0 || row >= m_rows)
        return {};
    const auto from = m_cells.begin() + std::ptrdiff_t(size_t(row) * size_t(m_columns));
    return std::vector<QVariant>(from, from + m_columns);
}

void RowSet::close() {
    if (m_query)
        m_query->close();
    m_open = false;
    m_complete = true;
    m_rows = 0;
    m_cells.clear();
    m_current = -1;
    m_bof = m_eof = true;
}

QString RowSet::columnName(int column) const {
    if (column < 0 || column >= m_columns)
        throw DbError(QStringLiteral("The result has no field at position %1.").arg(column));
    return m_names.at(column);
}

int RowSet::columnIndex(const QString &name) const {
    const qsizetype i = m_names.indexOf(name.toUpper());
    return int(i);
}

int RowSet::requireColumn(const QString &name) const {
    const int i = columnIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("The result has no field %1.").arg(name));
    return i;
}

int RowSet::fetchPacket() {
    if (m_complete)
        return 0;
    int added = 0;
    while (added < PacketRows && !m_query->eof()) {
        for (int c = 0; c < m_columns; ++c)
            m_cells.push_back(m_query->value(c));
        ++m_rows;
        ++added;
        m_query->next();
    }
    if (m_query->eof()) {
        m_complete = true;
        m_query->close();
    }
    return added;
}

void RowSet::fetchAll() {
    while (!m_complete)
        fetchPacket();
}

bool RowSet::ensureRow(int row) {
    while (row >= m_rows && !m_complete)
        fetchPacket();
    return row >= 0 && row < m_rows;
}

QVariant RowSet::value(int row, int column) const {
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        return QVariant();
    return m_cells[size_t(row) * size_t(m_columns) + size_t(column)];
}

QString RowSet::text(int row, int column) const {
    return ValueText(value(row, column));
}
double RowSet::number(int row, int column) const {
    return ValueNumber(value(row, column));
}
bool RowSet::isNull(int row, int column) const {
    return !value(row, column).isValid();
}

void RowSet::setValue(int row, int column, const QVariant &value) {
    if (row < 0 || row >= m_rows || column < 0 || column >= m_columns)
        throw DbError(QStringLiteral("No cell at row %1, field %2.").arg(row).arg(column));
    m_cells[size_t(row) * size_t(m_columns) + size_t(column)] = value;
}

void RowSet::first() {
    m_current = m_rows > 0 ? 0 : -1;
    m_bof = true;
    m_eof = m_rows == 0;
}

void RowSet::last() {
    fetchAll();
    m_current = m_rows - 1;
    m_eof = true;
    m_bof = m_rows == 0;
}

void RowSet::next() {
    if (m_current + 1 < m_rows || ensureRow(m_current + 1)) {
        ++m_current;
        m_bof = false;
    } else {
        m_eof = true;
    }
}

void RowSet::prior() {
    if (m_current > 0) {
        --m_current;
        m_eof = false;
    } else {
        m_bof = true;
    }
}

bool RowSet::moveTo(int row) {
    if (!ensureRow(row))
        return false;
    m_current = row;
    m_bof = m_eof = false;
    return true;
}

QVariant RowSet::field(const QString &name) const {
    return value(m_current, requireColumn(name));
}
QString RowSet::fieldText(const QString &name) const {
    return ValueText(field(name));
}
double RowSet::fieldNumber(const QString &name) const {
    return ValueNumber(field(name));
}

} // namespace kelo::db
