#include "report/dataset.h"

#include "controls/formats.h"

namespace kelo::report {

DataSet::DataSet(db::Connection &connection, const QString &name)
    : m_name(name), m_rows(connection) {}

DataSet::DataSet(const QString &name) : m_name(name) {}

DataSet::~DataSet() = default;

void DataSet::open() {
    m_columns.clear();
    m_rows.open();
    m_rows.fetchAll();
    m_rows.first();
}

int DataSet::column(const QString &field) const {
    const QString key = field.toUpper();
    auto it = m_columns.constFind(key);
    if (it != m_columns.constEnd())
        return *it;
    const int c = m_rows.columnIndex(key);
    if (c >= 0)
        m_columns.insert(key, c);
    return c;
}

bool DataSet::hasField(const QString &field) const {
    return column(field) >= 0;
}

QVariant DataSet::value(const QString &field) const {
    const int c = column(field);
    const int r = m_rows.recNo();
    if (c < 0 || r < 0 || r >= m_rows.fetchedRows())
        return QVariant();
    return m_rows.cell(r, c);
}

QString DataSet::text(const QString &field) const {
    return db::ValueText(value(field));
}

double DataSet::number(const QString &field) const {
    return db::ValueNumber(value(field));
}

QString DataSet::displayText(const QString &field, const QString &format) const {
    const QVariant v = value(field);
    const QString f = format.isEmpty() ? displayFormat(field) : format;
    if (f.isEmpty())
        return db::ValueText(v);
    return controls::FormatNumberText(v, f);
}

void DataSet::setDisplayFormat(const QString &field, const QString &format) {
    m_formats.insert(field.toUpper(), format);
}

QString DataSet::displayFormat(const QString &field) const {
    return m_formats.value(field.toUpper());
}

} // namespace kelo::report
