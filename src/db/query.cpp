#include "db/query.h"

#include "common/numbertext.h"

#include <QHash>
#include <sqlite3.h>
#include <vector>

namespace kelo::db {

QStringList ParseParamNames(const QString &sql) {
    QStringList names;
    const qsizetype n = sql.size();
    auto isNameChar = [](QChar c) {
        return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') { // literal or quoted name; '' escapes a quote
            const QChar quote = c;
            for (++i; i < n; ++i) {
                if (sql.at(i) == quote) {
                    if (i + 1 < n && sql.at(i + 1) == quote)
                        ++i;
                    else
                        break;
                }
            }
        } else if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            while (i < n && sql.at(i) != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == u':' && i + 1 < n && isNameChar(sql.at(i + 1)) &&
                   (i == 0 || sql.at(i - 1) != u':')) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            const QString name = sql.mid(i + 1, j - i - 1).toUpper();
            if (!names.contains(name))
                names.append(name);
            i = j - 1;
        }
    }
    return names;
}

struct Query::Private {
    explicit Private(Connection &c) : connection(c) {}
    Connection &connection;
    QStringList lines;
    bool textChanged = true;
    QStringList paramNames;
    std::vector<std::optional<QString>> values;
    std::vector<QByteArray> encoded;
    std::vector<bool> isBlob;
    sqlite3_stmt *stmt = nullptr;
    std::vector<int> bindSlots; // per engine parameter (1-based, slot 0 unused)
    bool active = false;
    bool eof = true;
    int columns = 0;
    QStringList fieldNames;
    QHash<QString, int> fieldIndex;

    void finalize() {
        if (stmt) {
            sqlite3_finalize(stmt);
            stmt = nullptr;
        }
        active = false;
        eof = true;
    }

    QString textOf() const { return lines.join(u'\n'); }

    void textEdited() {
        finalize();
        textChanged = true;
        const QStringList names = ParseParamNames(textOf());
        // Values of parameters that stay keep their value, as the suite's
        // query component does when lines are added one by one.
        std::vector<std::optional<QString>> kept(size_t(names.size()));
        for (int i = 0; i < names.size(); ++i) {
            const int old = paramNames.indexOf(names.at(i));
            if (old >= 0)
                kept[size_t(i)] = values[size_t(old)];
        }
        paramNames = names;
        values = std::move(kept);
        isBlob.assign(values.size(), false);
    }

    int slotOf(const QString &name) const { return int(paramNames.indexOf(name.toUpper())); }
};

Query::Query(Connection &connection) : d(std::make_unique<Private>(connection)) {
    connection.attach(this);
}

Query::~Query() {
    d->finalize();
    d->connection.detach(this);
}

Connection &Query::connection() const {
    return d->connection;
}

void Query::releaseStatement() {
    d->finalize();
}

void Query::clearSql() {
    d->lines.clear();
    d->textEdited();
}

void Query::addSql(const QString &line) {
    d->lines.append(line);
    d->textEdited();
}

void Query::setSql(const QString &text) {
    d->lines = QStringList{text};
    d->textEdited();
}

void Query::setSql(const QStringList &lines) {
    d->lines = lines;
    d->textEdited();
}

QString Query::sql() const {
    return d->textOf();
}

int Query::paramCount() const {
    return int(d->paramNames.size());
}

QString Query::paramName(int position) const {
    if (position < 0 || position >= d->paramNames.size())
        throw DbError(
            QStringLiteral("The statement has no parameter at position %1.").arg(position));
    return d->paramNames.at(position);
}

bool Query::hasParam(const QString &name) const {
    return d->slotOf(name) >= 0;
}

void Query::setParam(const QString &name, const QString &value) {
    const int slot = d->slotOf(name);
    if (slot < 0)
        throw DbError(QStringLiteral("The statement has no parameter :%1.").arg(name));
    d->values[size_t(slot)] = value;
    d->isBlob[size_t(slot)] = false;
}

void Query::setParamBlob(const QString &name, const QByteArray &value) {
    const int slot = d->slotOf(name);
    if (slot < 0)
        throw DbError(QStringLiteral("The statement has no parameter :%1.").arg(name));
    d->values[size_t(slot)] = value.isEmpty() ? QString() : QStringLiteral("<blob>");
    d->isBlob[size_t(slot)] = true;
    d->encoded.resize(d->values.size());
    d->encoded[size_t(slot)] = value;
}

void Query::setParam(int position, const QString &value) {
    if (position < 0 || position >= d->paramNames.size())
        throw DbError(
            QStringLiteral("The statement has no parameter at position %1.").arg(position));
    d->values[size_t(position)] = value;
    d->isBlob[size_t(position)] = false;
}

QString Query::param(const QString &name) const {
    const int slot = d->slotOf(name);
    if (slot < 0)
        throw DbError(QStringLiteral("The statement has no parameter :%1.").arg(name));
    return d->values[size_t(slot)].value_or(QString());
}

void Query::clearParamValues() {
    for (auto &v : d->values)
        v.reset();
}

void Query::prepare() {
    sqlite3 *h = d->connection.sqliteHandle();
    if (d->stmt && !d->textChanged) {
        sqlite3_reset(d->stmt);
        sqlite3_clear_bindings(d->stmt);
        return;
    }
    d->finalize();
    const QByteArray text = d->textOf().toUtf8();
    const char *tail = nullptr;
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &d->stmt, &tail) != SQLITE_OK) {
        const QString message = EngineMessage(h);
        d->finalize();
        throw DbError(message);
    }
    if (!d->stmt)
        throw DbError(QStringLiteral("The statement text is empty."));
    for (const char *p = tail; p && *p; ++p) {
        if (*p == ';' || *p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')
            continue;
        d->finalize();
        throw DbError(QStringLiteral("A query runs one statement at a time."));
    }
    const int count = sqlite3_bind_parameter_count(d->stmt);
    d->bindSlots.assign(size_t(count) + 1, -1);
    for (int i = 1; i <= count; ++i) {
        const char *name = sqlite3_bind_parameter_name(d->stmt, i);
        const int slot = name && name[0] ? d->slotOf(QString::fromUtf8(name + 1)) : -1;
        if (slot < 0) {
            d->finalize();
            throw DbError(QStringLiteral("Unsupported parameter %1: write parameters as :NAME.")
                              .arg(name ? QString::fromUtf8(name) : QStringLiteral("?")));
        }
        d->bindSlots[size_t(i)] = slot;
    }
    d->columns = sqlite3_column_count(d->stmt);
    d->fieldNames.clear();
    d->fieldIndex.clear();
    for (int i = 0; i < d->columns; ++i) {
        const QString name = QString::fromUtf8(sqlite3_column_name(d->stmt, i)).toUpper();
        d->fieldNames.append(name);
        if (!d->fieldIndex.contains(name))
            d->fieldIndex.insert(name, i);
    }
    d->textChanged = false;
}

void Query::bindAll() {
    d->encoded.resize(d->values.size());
    for (size_t i = 0; i < d->values.size(); ++i)
        if (!d->isBlob[i])
            d->encoded[i] =
                d->values[i] && !d->values[i]->isEmpty() ? d->values[i]->toUtf8() : QByteArray();
    for (size_t i = 1; i < d->bindSlots.size(); ++i) {
        const size_t slot = size_t(d->bindSlots[i]);
        if (!d->values[slot]) {
            sqlite3_reset(d->stmt);
            throw DbError(QStringLiteral("No value was set for the parameter :%1.")
                              .arg(d->paramNames.at(qsizetype(slot))));
        }
        int rc;
        if (d->values[slot]->isEmpty()) // an empty text is NULL
            rc = sqlite3_bind_null(d->stmt, int(i));
        else if (d->isBlob[slot])
            rc = sqlite3_bind_blob(d->stmt, int(i), d->encoded[slot].constData(),
                                   int(d->encoded[slot].size()), SQLITE_STATIC);
        else
            rc = sqlite3_bind_text(d->stmt, int(i), d->encoded[slot].constData(),
                                   int(d->encoded[slot].size()), SQLITE_STATIC);
        if (rc != SQLITE_OK)
            throw DbError(EngineMessage(d->connection.sqliteHandle()));
    }
}

void Query::step() {
    const int rc = sqlite3_step(d->stmt);
    if (rc == SQLITE_ROW) {
        d->eof = false;
    } else if (rc == SQLITE_DONE) {
        d->eof = true;
    } else {
        const QString message = EngineMessage(d->connection.sqliteHandle());
        sqlite3_reset(d->stmt);
        d->active = false;
        d->eof = true;
        throw DbError(message);
    }
}

void Query::open() {
    close();
    prepare();
    bindAll();
    d->active = true;
    step();
}

int Query::exec() {
    close();
    prepare();
    bindAll();
    d->active = true;
    do {
        step();
    } while (!d->eof);
    d->active = false;
    const int changed = sqlite3_changes(d->connection.sqliteHandle());
    sqlite3_reset(d->stmt);
    return changed;
}

bool Query::isActive() const {
    return d->active;
}
bool Query::eof() const {
    return !d->active || d->eof;
}

bool Query::next() {
    if (!d->active || d->eof)
        return false;
    step();
    return !d->eof;
}

void Query::close() {
    if (d->stmt && d->active)
        sqlite3_reset(d->stmt);
    d->active = false;
    d->eof = true;
}

int Query::fieldCount() const {
    return d->stmt ? d->columns : 0;
}

QString Query::fieldName(int index) const {
    if (index < 0 || index >= d->fieldNames.size())
        throw DbError(QStringLiteral("The result has no field at position %1.").arg(index));
    return d->fieldNames.at(index);
}

int Query::fieldIndex(const QString &name) const {
    auto it = d->fieldIndex.constFind(name);
    if (it == d->fieldIndex.cend())
        it = d->fieldIndex.constFind(name.toUpper());
    return it == d->fieldIndex.cend() ? -1 : it.value();
}

int Query::requireField(const QString &name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("The result has no field %1.").arg(name));
    return i;
}

namespace {
bool onRow(sqlite3_stmt *stmt, bool active, bool eof, int index, int columns) {
    if (index < 0 || index >= columns)
        throw DbError(QStringLiteral("The result has no field at position %1.").arg(index));
    return stmt && active && !eof;
}
} // namespace

bool Query::isNull(int index) const {
    if (!onRow(d->stmt, d->active, d->eof, index, d->columns))
        return true;
    return sqlite3_column_type(d->stmt, index) == SQLITE_NULL;
}

QVariant Query::value(int index) const {
    if (!onRow(d->stmt, d->active, d->eof, index, d->columns))
        return QVariant();
    switch (sqlite3_column_type(d->stmt, index)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(d->stmt, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(d->stmt, index));
    case SQLITE_TEXT: {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(d->stmt, index));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(d->stmt, index)));
    }
    case SQLITE_BLOB: {
        const char *blob = static_cast<const char *>(sqlite3_column_blob(d->stmt, index));
        return QVariant(QByteArray(blob, sqlite3_column_bytes(d->stmt, index)));
    }
    default:
        return QVariant();
    }
}

QString Query::text(int index) const {
    if (!onRow(d->stmt, d->active, d->eof, index, d->columns))
        return QString();
    switch (sqlite3_column_type(d->stmt, index)) {
    case SQLITE_INTEGER:
        return QString::number(sqlite3_column_int64(d->stmt, index));
    case SQLITE_FLOAT:
        return NumberToText(sqlite3_column_double(d->stmt, index));
    case SQLITE_NULL:
        return QString();
    default: {
        const char *text = reinterpret_cast<const char *>(sqlite3_column_text(d->stmt, index));
        return QString::fromUtf8(text, sqlite3_column_bytes(d->stmt, index));
    }
    }
}

double Query::number(int index) const {
    if (!onRow(d->stmt, d->active, d->eof, index, d->columns))
        return 0;
    switch (sqlite3_column_type(d->stmt, index)) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        return sqlite3_column_double(d->stmt, index);
    case SQLITE_NULL:
        return 0;
    default:
        return ParseNumber(text(index));
    }
}

qint64 Query::integer(int index) const {
    if (!onRow(d->stmt, d->active, d->eof, index, d->columns))
        return 0;
    if (sqlite3_column_type(d->stmt, index) == SQLITE_INTEGER)
        return sqlite3_column_int64(d->stmt, index);
    return qint64(number(index));
}

QByteArray Query::bytes(int index) const {
    if (!onRow(d->stmt, d->active, d->eof, index, d->columns))
        return QByteArray();
    const char *blob = static_cast<const char *>(sqlite3_column_blob(d->stmt, index));
    return QByteArray(blob, sqlite3_column_bytes(d->stmt, index));
}

} // namespace kelo::db
