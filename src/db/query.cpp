#include "db/query.h"

#include "common/numbertext.h"

#include <QAtomicInt>
#include <QElapsedTimer>
#include <QHash>
#include <libpq-fe.h>
#include <poll.h>
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

namespace {

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$' || c == u'#';
}

// Why a limited statement was stopped.
enum class StopReason { None, TimeLimit, Cancelled, MemoryLimit, ResultLimit };

QString Megabytes(qint64 bytes) {
    return QString::number(double(bytes) / (1024 * 1024), 'f', bytes % (1024 * 1024) ? 1 : 0);
}

QString StopText(StopReason reason, const StatementLimits &limits) {
    switch (reason) {
    case StopReason::TimeLimit:
        return QStringLiteral("시간 한도 %1초를 넘어 중단했습니다.")
            .arg(QString::number(limits.timeLimitMs / 1000.0));
    case StopReason::Cancelled:
        return QStringLiteral("사용자가 취소하여 중단했습니다.");
    case StopReason::MemoryLimit:
        return QStringLiteral("메모리 한도 %1MB를 넘어 중단했습니다.")
            .arg(Megabytes(limits.memoryLimitBytes));
    case StopReason::ResultLimit:
        return QStringLiteral("읽은 자료가 한도 %1MB를 넘어 중단했습니다.")
            .arg(Megabytes(limits.resultLimitBytes));
    case StopReason::None:
        break;
    }
    return QString();
}

// What a value takes in the client, roughly: its bytes and the cell that holds it.
constexpr qint64 kCellBytes = 16;

// SQLite's progress handler during a limited statement: the time limit and the tick.
struct SqliteWatch {
    const StatementLimits *limits = nullptr;
    const QElapsedTimer *started = nullptr;
    QElapsedTimer lastTick;
    StopReason reason = StopReason::None;
};

int SqliteProgress(void *context) {
    auto *watch = static_cast<SqliteWatch *>(context);
    const StatementLimits &limits = *watch->limits;
    if (limits.timeLimitMs > 0 && watch->started->elapsed() >= limits.timeLimitMs) {
        watch->reason = StopReason::TimeLimit;
        return 1;
    }
    if (limits.tick && watch->lastTick.elapsed() >= limits.tickMs) {
        watch->lastTick.restart();
        if (!limits.tick()) {
            watch->reason = StopReason::Cancelled;
            return 1;
        }
    }
    return 0;
}

// The end of a literal, quoted name or comment that starts at i (one past it), or
// i when none starts there.
qsizetype skipQuoted(QStringView sql, qsizetype i) {
    const qsizetype n = sql.size();
    const QChar c = sql.at(i);
    if (c == u'\'' || c == u'"') {
        for (++i; i < n; ++i)
            if (sql.at(i) == c) {
                if (i + 1 < n && sql.at(i + 1) == c)
                    ++i;
                else
                    return i + 1;
            }
        return n;
    }
    if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
        while (i < n && sql.at(i) != u'\n')
            ++i;
        return i;
    }
    if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
        const qsizetype end = sql.indexOf(u"*/", i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}

// The arguments of a call whose "(" is at open, split at the commas of its own
// level; end is set one past its ")".
QList<QStringView> callArguments(QStringView sql, qsizetype open, qsizetype &end) {
    QList<QStringView> args;
    int depth = 0;
    qsizetype start = open + 1;
    for (qsizetype i = open; i < sql.size();) {
        const qsizetype skipped = skipQuoted(sql, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        const QChar c = sql.at(i);
        if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            if (--depth == 0) {
                args << sql.mid(start, i - start);
                end = i + 1;
                return args;
            }
        } else if (c == u',' && depth == 1) {
            args << sql.mid(start, i - start);
            start = i + 1;
        }
        ++i;
    }
    end = sql.size();
    args << sql.mid(start);
    return args;
}

// True when the word cannot be a table alias (it begins the next clause).
bool isClauseWord(const QString &word) {
    static const QStringList words = {
        QStringLiteral("WHERE"),     QStringLiteral("GROUP"), QStringLiteral("ORDER"),
        QStringLiteral("HAVING"),    QStringLiteral("UNION"), QStringLiteral("EXCEPT"),
        QStringLiteral("INTERSECT"), QStringLiteral("JOIN"),  QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"),     QStringLiteral("INNER"), QStringLiteral("FULL"),
        QStringLiteral("CROSS"),     QStringLiteral("ON"),    QStringLiteral("LIMIT"),
        QStringLiteral("WINDOW"),    QStringLiteral("USING"), QStringLiteral("NATURAL")};
    return words.contains(word);
}

// The text of the call whose "(" is at open, with its parentheses.
QStringView callText(QStringView sql, qsizetype open) {
    qsizetype end = open;
    callArguments(sql, open, end);
    return sql.mid(open, end - open);
}

// True when the text names no column: only literals, parameters, numbers, operators and
// calls of functions (a word followed by "(").
bool namesNoColumn(QStringView sql) {
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n;) {
        const qsizetype skipped = skipQuoted(sql, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        const QChar c = sql.at(i);
        if (c == u':' && i + 1 < n && isNameChar(sql.at(i + 1))) {
            for (++i; i < n && isNameChar(sql.at(i));)
                ++i;
        } else if (c.isLetter() || c == u'_') {
            while (i < n && isNameChar(sql.at(i)))
                ++i;
            qsizetype k = i;
            while (k < n && sql.at(k).isSpace())
                ++k;
            if (k >= n || sql.at(k) != u'(')
                return false;
        } else if (c.isDigit()) {
            while (i < n && (isNameChar(sql.at(i)) || sql.at(i) == u'.'))
                ++i;
        } else {
            ++i;
        }
    }
    return true;
}

// aliases counts the names given to subqueries in FROM, from 1 in each statement (so
// that a text is always the same statement for the server, which prepares it once).
QString rewrite(QStringView sql, Engine engine, const QStringList &paramNames, int &aliases) {
    QString out;
    out.reserve(sql.size() + 16);
    const qsizetype n = sql.size();
    QString lastWord; // the word before the current place, upper-cased
    for (qsizetype i = 0; i < n;) {
        const qsizetype skipped = skipQuoted(sql, i);
        if (skipped != i) {
            // An empty text is NULL, the literal '' too ('it''s' is one literal, and a
            // prefixed literal such as X'' is not a text).
            if (skipped == i + 2 && sql.at(i) == u'\'' && (i == 0 || !isNameChar(sql.at(i - 1))))
                out += QStringLiteral("NULL");
            else
                out += sql.mid(i, skipped - i);
            i = skipped;
            continue;
        }
        const QChar c = sql.at(i);
        if (!c.isSpace() && !c.isLetter() && c != u'_' && c != u'(')
            lastWord.clear();
        if (c == u'|' && i + 1 < n && sql.at(i + 1) == u'|') {
            // a || b takes NULL as the empty text: an operator of ours that binds as ||
            // does on the engine (see installDialect and kelo.kelo_concat).
            out += engine == Engine::Postgres ? QStringLiteral(" OPERATOR(kelo.|||) ")
                                              : QStringLiteral("->>");
            i += 2;
            continue;
        }
        if (c == u'(' && engine == Engine::Postgres &&
            (lastWord == QLatin1String("FROM") || lastWord == QLatin1String("JOIN"))) {
            // A subquery in FROM needs a name on the server: one is given where it has none.
            lastWord.clear();
            qsizetype end = i;
            const QList<QStringView> inner = callArguments(sql, i, end);
            QString body;
            for (qsizetype a = 0; a < inner.size(); ++a)
                body += (a ? QStringLiteral(",") : QString()) +
                        rewrite(inner.at(a), engine, paramNames, aliases);
            out += u'(' + body + u')';
            qsizetype k = end;
            while (k < n && sql.at(k).isSpace())
                ++k;
            qsizetype w = k;
            while (w < n && isNameChar(sql.at(w)))
                ++w;
            const QString next = sql.mid(k, w - k).toString().toUpper();
            const bool subquery =
                body.trimmed().startsWith(QLatin1String("SELECT"), Qt::CaseInsensitive) ||
                body.trimmed().startsWith(QLatin1String("WITH"), Qt::CaseInsensitive);
            if (subquery && (next.isEmpty() || isClauseWord(next)))
                out += QStringLiteral(" AS KELO_SQ%1").arg(++aliases);
            i = end;
            continue;
        }
        if (c == u'/') {
            // Division never truncates: the dividend (the whole chain of * and / to its
            // left, as they bind left to right) becomes a decimal first.
            out += QStringLiteral("* 1.0 /");
            ++i;
        } else if (c == u':' && i + 1 < n && isNameChar(sql.at(i + 1)) &&
                   (i == 0 || sql.at(i - 1) != u':')) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            if (engine == Engine::Postgres)
                out += u'$' +
                       QString::number(
                           paramNames.indexOf(sql.mid(i + 1, j - i - 1).toString().toUpper()) + 1);
            else
                out += sql.mid(i, j - i);
            i = j;
        } else if ((c.isLetter() || c == u'_') && (i == 0 || !isNameChar(sql.at(i - 1)))) {
            qsizetype j = i;
            while (j < n && isNameChar(sql.at(j)))
                ++j;
            const QString word = sql.mid(i, j - i).toString().toUpper();
            qsizetype k = j;
            while (k < n && sql.at(k).isSpace())
                ++k;
            const bool qualified = (i > 0 && sql.at(i - 1) == u'.') || (j < n && sql.at(j) == u'.');
            const bool call = k < n && sql.at(k) == u'(' && (i == 0 || sql.at(i - 1) != u'.');
            if (word == QLatin1String("MINUS") && !qualified) {
                out += QStringLiteral("EXCEPT");
                i = j;
            } else if (word == QLatin1String("SYSDATE") && !call && !qualified &&
                       lastWord != QLatin1String("AS")) {
                // The current date is a function on both engines.
                out += sql.mid(i, j - i);
                out += QStringLiteral("()");
                i = j;
            } else if (engine == Engine::Postgres && call &&
                       (word == QLatin1String("TRIM") || word == QLatin1String("GREATEST") ||
                        word == QLatin1String("LEAST"))) {
                // Syntax on the server, functions of ours in the dialect.
                out += QStringLiteral("kelo_") + word.toLower();
                i = j;
            } else if (engine == Engine::Postgres && call && lastWord != QLatin1String("SELECT") &&
                       (word == QLatin1String("FN_GET_YTD_DATE") ||
                        word == QLatin1String("FN_GET_YTD1_DATE")) &&
                       namesNoColumn(callText(sql, k))) {
                // The business year's bounds read the settings, so the server cannot work
                // them out ahead of the rows: of a date that is no column they are worked
                // out once per statement, as a scalar subquery, instead of once per row.
                qsizetype end = k;
                const QList<QStringView> args = callArguments(sql, k, end);
                QStringList parts;
                for (QStringView a : args)
                    parts << rewrite(a, engine, paramNames, aliases);
                out += QStringLiteral("(SELECT %1(%2))").arg(sql.mid(i, j - i), parts.join(u','));
                i = end;
            } else if (engine == Engine::Postgres && call && word == QLatin1String("DECODE")) {
                qsizetype end = k;
                const QList<QStringView> args = callArguments(sql, k, end);
                QStringList parts;
                for (QStringView a : args)
                    parts << rewrite(a, engine, paramNames, aliases);
                out += QStringLiteral("(CASE");
                qsizetype a = 1;
                for (; a + 1 < parts.size(); a += 2)
                    out += QStringLiteral(" WHEN kelo_decode_eq(%1, %2) THEN %3")
                               .arg(parts.at(0), parts.at(a), parts.at(a + 1));
                if (a < parts.size())
                    out += QStringLiteral(" ELSE ") + parts.at(a);
                out += QStringLiteral(" END)");
                i = end;
            } else {
                out += sql.mid(i, j - i);
                i = j;
            }
            lastWord = word;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace

qsizetype SkipLiteralOrComment(QStringView sql, qsizetype i) {
    return i < sql.size() ? skipQuoted(sql, i) : i;
}

QString EngineStatement(const QString &sql, Engine engine, const QStringList &paramNames) {
    int aliases = 0;
    return rewrite(sql, engine, paramNames, aliases);
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
    // PostgreSQL: the prepared statement (the connection's, shared by the queries of the
    // same text), its session, and the current result.
    bool pg = false;
    std::shared_ptr<Connection::PreparedStatement> pgStatement;
    QByteArray pgName;
    int pgSession = -1;
    PGresult *result = nullptr;
    int row = 0;
    int rows = 0;
    std::vector<int> columnKind; // per field: 0 text, 1 integer, 2 decimal, 3 bytes
    bool active = false;
    bool eof = true;
    int columns = 0;
    QStringList fieldNames;
    QHash<QString, int> fieldIndex;
    // A limited statement: when it started, the heap SQLite held then, and the bytes of
    // the rows it has delivered.
    QElapsedTimer started;
    qint64 heapAtStart = 0;
    qint64 resultBytes = 0;

    void clearResult() {
        if (result) {
            PQclear(result);
            result = nullptr;
        }
        row = rows = 0;
    }

    void finalize() {
        if (stmt) {
            sqlite3_finalize(stmt);
            stmt = nullptr;
        }
        clearResult();
        if (pgStatement && connection.isOpen() && connection.session() == pgSession)
            connection.releasePrepared(pgStatement);
        pgStatement.reset();
        pgName.clear();
        pgSession = -1;
        active = false;
        eof = true;
    }

    bool prepared() const { return stmt || !pgName.isEmpty(); }

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

void Query::preparePostgres() {
    d->connection.ensureSession();
    PGconn *c = d->connection.postgresHandle();
    if (!d->pgName.isEmpty() && !d->textChanged && d->pgSession == d->connection.session())
        return;
    d->finalize();
    const QByteArray text = EngineStatement(d->textOf(), Engine::Postgres, d->paramNames).toUtf8();
    if (text.trimmed().isEmpty())
        throw DbError(QStringLiteral("The statement text is empty."));
    std::shared_ptr<Connection::PreparedStatement> statement = d->connection.findPrepared(text);
    if (!statement) {
        statement = preparePostgresText(c, text);
        d->connection.addPrepared(text, statement);
    }
    d->pgStatement = statement;
    d->pgName = statement->name;
    d->pgSession = d->connection.session();
    d->textChanged = false;
    d->columns = int(statement->fieldNames.size());
    d->fieldNames = statement->fieldNames;
    d->fieldIndex.clear();
    for (int i = 0; i < d->columns; ++i)
        if (!d->fieldIndex.contains(d->fieldNames.at(i)))
            d->fieldIndex.insert(d->fieldNames.at(i), i);
    d->columnKind = statement->columnKind;
}

std::shared_ptr<Connection::PreparedStatement> Query::preparePostgresText(pg_conn *c,
                                                                          const QByteArray &text) {
    static QAtomicInt counter;
    const QByteArray name = "kelo_q" + QByteArray::number(counter.fetchAndAddRelaxed(1));
    const int count = int(d->paramNames.size());
    PGresult *r = PQprepare(c, name.constData(), text.constData(), count, nullptr);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) {
        // A parameter whose type the statement does not tell is a text.
        const bool untyped = QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) == "42P18";
        if (untyped && PQtransactionStatus(c) != PQTRANS_INERROR) {
            PQclear(r);
            std::vector<Oid> types(size_t(count), Oid(25));
            r = PQprepare(c, name.constData(), text.constData(), count, types.data());
        }
        if (PQresultStatus(r) != PGRES_COMMAND_OK) {
            const QString message = EngineMessage(c, r);
            PQclear(r);
            throw DbError(message);
        }
    }
    PQclear(r);
    auto statement = std::make_shared<Connection::PreparedStatement>();
    statement->name = name;
    r = PQdescribePrepared(c, name.constData());
    if (PQresultStatus(r) != PGRES_COMMAND_OK) {
        const QString message = EngineMessage(c, r);
        PQclear(r);
        if (PQtransactionStatus(c) != PQTRANS_INERROR)
            PQclear(PQexec(c, "DEALLOCATE " + name));
        throw DbError(message);
    }
    const int columns = PQnfields(r);
    statement->columnKind.assign(size_t(columns), 0);
    for (int i = 0; i < columns; ++i) {
        statement->fieldNames.append(QString::fromUtf8(PQfname(r, i)).toUpper());
        switch (PQftype(r, i)) {
        case 20: // int8
        case 21: // int2
        case 23: // int4
            statement->columnKind[size_t(i)] = 1;
            break;
        case 700:  // float4
        case 701:  // float8
        case 1700: // numeric
            statement->columnKind[size_t(i)] = 2;
            break;
        case 17: // bytea
            statement->columnKind[size_t(i)] = 3;
            break;
        case 16: // bool: 1 and 0, as SQLite reads a comparison
            statement->columnKind[size_t(i)] = 4;
            break;
        default:
            break;
        }
    }
    PQclear(r);
    return statement;
}

void Query::runPostgres() {
    PGconn *c = d->connection.postgresHandle();
    const int count = int(d->paramNames.size());
    d->encoded.resize(d->values.size());
    std::vector<const char *> values(size_t(count), nullptr);
    std::vector<int> lengths(size_t(count), 0), formats(size_t(count), 0);
    for (int i = 0; i < count; ++i) {
        const auto &v = d->values[size_t(i)];
        if (!v)
            throw DbError(
                QStringLiteral("No value was set for the parameter :%1.").arg(d->paramNames.at(i)));
        if (v->isEmpty()) // an empty text is NULL
            continue;
        if (!d->isBlob[size_t(i)])
            d->encoded[size_t(i)] = v->toUtf8();
        values[size_t(i)] = d->encoded[size_t(i)].constData();
        lengths[size_t(i)] = int(d->encoded[size_t(i)].size());
        formats[size_t(i)] = d->isBlob[size_t(i)] ? 1 : 0;
    }
    d->clearResult();
    const bool idle = PQtransactionStatus(c) == PQTRANS_IDLE;
    PGresult *r = d->connection.statementLimits()
                      ? runPostgresLimited(values.data(), lengths.data(), formats.data())
                      : PQexecPrepared(c, d->pgName.constData(), count, values.data(),
                                       lengths.data(), formats.data(), 0);
    ExecStatusType status = PQresultStatus(r);
    if (status == PGRES_FATAL_ERROR && idle &&
        QByteArray(PQresultErrorField(r, PG_DIAG_SQLSTATE)) == "0A000") {
        // The tables changed under the prepared statement so that it would return other
        // columns ("cached plan must not change result type"): outside a transaction it
        // is prepared anew and runs once more.
        PQclear(r);
        d->connection.discardPrepared(d->pgStatement);
        d->pgStatement.reset();
        d->pgName.clear();
        d->textChanged = true;
        preparePostgres();
        r = PQexecPrepared(c, d->pgName.constData(), count, values.data(), lengths.data(),
                           formats.data(), 0);
        status = PQresultStatus(r);
    }
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        const QString message = EngineMessage(c, r);
        PQclear(r);
        d->active = false;
        d->eof = true;
        throw DbError(message);
    }
    d->result = r;
    d->rows = PQntuples(r);
    d->row = 0;
    d->active = true;
    d->eof = d->rows == 0;
}

// A statement under the connection's limits: sent without waiting, its rows taken one
// by one (so that what it brings is counted as it comes), the tick called while it runs,
// a cancel request sent to the server when the caller cancels or a limit is passed. The
// server's statement_timeout stops it first where the caller has set one.
PGresult *Query::runPostgresLimited(const char *const *values, const int *lengths,
                                    const int *formats) {
    const StatementLimits &limits = *d->connection.statementLimits();
    PGconn *c = d->connection.postgresHandle();
    if (!PQsendQueryPrepared(c, d->pgName.constData(), int(d->paramNames.size()), values, lengths,
                             formats, 0))
        throw DbError(EngineMessage(c, nullptr));
    PQsetSingleRowMode(c);
    QElapsedTimer started, lastTick;
    started.start();
    lastTick.start();
    StopReason reason = StopReason::None;
    bool cancelSent = false;
    auto cancel = [&](StopReason why) {
        if (reason == StopReason::None)
            reason = why;
        if (cancelSent)
            return;
        cancelSent = true;
        if (PGcancel *request = PQgetCancel(c)) {
            char error[256];
            PQcancel(request, error, int(sizeof error));
            PQfreeCancel(request);
        }
    };
    PGresult *all = nullptr;
    int rows = 0;
    qint64 bytes = 0;
    QString failure;
    d->connection.setLimitedStatementRunning(true);
    for (;;) {
        while (PQisBusy(c)) {
            pollfd socket{PQsocket(c), POLLIN, 0};
            ::poll(&socket, 1, limits.tickMs > 0 ? limits.tickMs : 50);
            if (!PQconsumeInput(c))
                break; // the session is gone: the next result says so
            if (limits.tick && lastTick.elapsed() >= limits.tickMs) {
                lastTick.restart();
                if (!limits.tick())
                    cancel(StopReason::Cancelled);
            }
            // The server's own timer stops it first; this holds where none is set.
            if (limits.timeLimitMs > 0 && started.elapsed() >= limits.timeLimitMs + 250)
                cancel(StopReason::TimeLimit);
        }
        PGresult *r = PQgetResult(c);
        if (!r)
            break;
        switch (PQresultStatus(r)) {
        case PGRES_SINGLE_TUPLE:
            if (reason == StopReason::None && failure.isEmpty()) {
                if (!all)
                    all = PQcopyResult(r, PG_COPYRES_ATTRS);
                const int fields = PQnfields(r);
                for (int f = 0; f < fields; ++f)
                    bytes += PQgetlength(r, 0, f) + kCellBytes;
                if (limits.resultLimitBytes > 0 && bytes > limits.resultLimitBytes) {
                    cancel(StopReason::ResultLimit);
                } else {
                    for (int f = 0; f < fields; ++f) {
                        const bool null = PQgetisnull(r, 0, f);
                        PQsetvalue(all, rows, f, null ? nullptr : PQgetvalue(r, 0, f),
                                   null ? -1 : PQgetlength(r, 0, f));
                    }
                    ++rows;
                }
            }
            PQclear(r);
            break;
        case PGRES_TUPLES_OK:
        case PGRES_COMMAND_OK:
            if (!all && reason == StopReason::None && failure.isEmpty())
                all = r;
            else
                PQclear(r);
            break;
        default:
            if (failure.isEmpty()) {
                const QByteArray state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
                failure = state == "57014" && reason == StopReason::None
                              ? StopText(StopReason::TimeLimit, limits)
                              : EngineMessage(c, r);
            }
            PQclear(r);
            break;
        }
    }
    d->connection.setLimitedStatementRunning(false);
    if (reason != StopReason::None || !failure.isEmpty()) {
        if (all)
            PQclear(all);
        d->active = false;
        d->eof = true;
        if (reason != StopReason::None)
            throw StatementStopped(StopText(reason, limits));
        if (failure == StopText(StopReason::TimeLimit, limits))
            throw StatementStopped(failure);
        throw DbError(failure);
    }
    if (!all)
        throw DbError(EngineMessage(c, nullptr));
    return all;
}

void Query::prepare() {
    d->connection.checkNotBusy();
    d->pg = d->connection.engine() == Engine::Postgres && d->connection.isOpen();
    if (d->pg)
        return preparePostgres();
    sqlite3 *h = d->connection.sqliteHandle();
    if (d->stmt && !d->textChanged) {
        sqlite3_reset(d->stmt);
        sqlite3_clear_bindings(d->stmt);
        return;
    }
    d->finalize();
    const QByteArray text = EngineStatement(d->textOf(), Engine::Sqlite, d->paramNames).toUtf8();
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
    if (d->pg)
        return; // bound when the statement runs
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
    if (d->pg) {
        if (!d->active)
            runPostgres();
        else if (++d->row >= d->rows)
            d->eof = true;
        return;
    }
    const StatementLimits *limits = d->connection.statementLimits();
    const int rc = limits ? stepLimited(*limits) : sqlite3_step(d->stmt);
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

// One step of a statement under the connection's limits: the progress handler keeps
// the time limit and calls the tick, the heap may grow by the memory limit, and the
// rows delivered are counted against the result limit.
int Query::stepLimited(const StatementLimits &limits) {
    sqlite3 *h = d->connection.sqliteHandle();
    SqliteWatch watch;
    watch.limits = &limits;
    watch.started = &d->started;
    watch.lastTick.start();
    sqlite3_progress_handler(h, 1000, &SqliteProgress, &watch);
    const sqlite3_int64 heapLimit = sqlite3_hard_heap_limit64(-1);
    if (limits.memoryLimitBytes > 0)
        sqlite3_hard_heap_limit64(d->heapAtStart + limits.memoryLimitBytes);
    d->connection.setLimitedStatementRunning(true);
    int rc = sqlite3_step(d->stmt);
    d->connection.setLimitedStatementRunning(false);
    sqlite3_hard_heap_limit64(heapLimit);
    sqlite3_progress_handler(h, 0, nullptr, nullptr);
    StopReason reason = watch.reason;
    if (rc == SQLITE_NOMEM && limits.memoryLimitBytes > 0)
        reason = StopReason::MemoryLimit;
    if (rc == SQLITE_ROW && limits.resultLimitBytes > 0) {
        for (int i = 0; i < d->columns; ++i) {
            const int type = sqlite3_column_type(d->stmt, i);
            d->resultBytes +=
                kCellBytes +
                (type == SQLITE_TEXT || type == SQLITE_BLOB ? sqlite3_column_bytes(d->stmt, i) : 0);
        }
        if (d->resultBytes > limits.resultLimitBytes)
            reason = StopReason::ResultLimit;
    }
    if (reason != StopReason::None) {
        sqlite3_reset(d->stmt);
        d->active = false;
        d->eof = true;
        throw StatementStopped(StopText(reason, limits));
    }
    return rc;
}

void Query::open() {
    close();
    prepare();
    d->started.start();
    d->heapAtStart = sqlite3_memory_used();
    d->resultBytes = 0;
    if (d->pg) {
        runPostgres();
        return;
    }
    bindAll();
    d->active = true;
    step();
}

int Query::exec() {
    close();
    prepare();
    d->started.start();
    d->heapAtStart = sqlite3_memory_used();
    d->resultBytes = 0;
    if (d->pg) {
        runPostgres();
        const int changed = QByteArray(PQcmdTuples(d->result)).toInt();
        d->clearResult();
        d->active = false;
        d->eof = true;
        return changed;
    }
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
    d->clearResult();
    if (d->stmt && d->active)
        sqlite3_reset(d->stmt);
    d->active = false;
    d->eof = true;
}

int Query::fieldCount() const {
    return d->prepared() ? d->columns : 0;
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
bool onRow(bool prepared, bool active, bool eof, int index, int columns) {
    if (index < 0 || index >= columns)
        throw DbError(QStringLiteral("The result has no field at position %1.").arg(index));
    return prepared && active && !eof;
}

// A PostgreSQL value as text, and its bytes.
QByteArray pgText(const PGresult *r, int row, int column) {
    return QByteArray(PQgetvalue(r, row, column), PQgetlength(r, row, column));
}

QByteArray pgBytes(const PGresult *r, int row, int column) {
    size_t length = 0;
    unsigned char *raw = PQunescapeBytea(
        reinterpret_cast<const unsigned char *>(PQgetvalue(r, row, column)), &length);
    QByteArray bytes(reinterpret_cast<const char *>(raw), qsizetype(length));
    PQfreemem(raw);
    return bytes;
}
} // namespace

#define KELO_ON_ROW(index) onRow(d->prepared(), d->active, d->eof, index, d->columns)

bool Query::isNull(int index) const {
    if (!KELO_ON_ROW(index))
        return true;
    if (d->pg)
        return PQgetisnull(d->result, d->row, index);
    return sqlite3_column_type(d->stmt, index) == SQLITE_NULL;
}

QVariant Query::value(int index) const {
    if (!KELO_ON_ROW(index))
        return QVariant();
    if (d->pg) {
        if (PQgetisnull(d->result, d->row, index))
            return QVariant();
        const QByteArray t = pgText(d->result, d->row, index);
        switch (d->columnKind[size_t(index)]) {
        case 1:
            return QVariant(qlonglong(t.toLongLong()));
        case 2: {
            double v = 0;
            ParseNumberChars(t.constData(), size_t(t.size()), v);
            return QVariant(v);
        }
        case 3:
            return QVariant(pgBytes(d->result, d->row, index));
        case 4:
            return QVariant(qlonglong(t == "t"));
        default:
            return QVariant(QString::fromUtf8(t));
        }
    }
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
    if (!KELO_ON_ROW(index))
        return QString();
    if (d->pg) {
        if (PQgetisnull(d->result, d->row, index))
            return QString();
        const char *raw = PQgetvalue(d->result, d->row, index);
        const int length = PQgetlength(d->result, d->row, index);
        if (d->columnKind[size_t(index)] == 2) {
            double v = 0;
            if (ParseNumberChars(raw, size_t(length), v))
                return NumberToText(v);
        }
        if (d->columnKind[size_t(index)] == 4)
            return raw[0] == 't' ? QStringLiteral("1") : QStringLiteral("0");
        return QString::fromUtf8(raw, length);
    }
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
    if (!KELO_ON_ROW(index))
        return 0;
    if (d->pg) {
        if (PQgetisnull(d->result, d->row, index))
            return 0;
        if (d->columnKind[size_t(index)] == 4)
            return PQgetvalue(d->result, d->row, index)[0] == 't' ? 1 : 0;
        double v = 0;
        return ParseNumberChars(PQgetvalue(d->result, d->row, index),
                                size_t(PQgetlength(d->result, d->row, index)), v)
                   ? v
                   : 0;
    }
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
    if (!KELO_ON_ROW(index))
        return 0;
    if (d->pg) {
        if (d->columnKind[size_t(index)] == 1)
            return pgText(d->result, d->row, index).toLongLong();
        return qint64(number(index));
    }
    if (sqlite3_column_type(d->stmt, index) == SQLITE_INTEGER)
        return sqlite3_column_int64(d->stmt, index);
    return qint64(number(index));
}

QByteArray Query::bytes(int index) const {
    if (!KELO_ON_ROW(index))
        return QByteArray();
    if (d->pg)
        return PQgetisnull(d->result, d->row, index) ? QByteArray()
                                                     : pgBytes(d->result, d->row, index);
    const char *blob = static_cast<const char *>(sqlite3_column_blob(d->stmt, index));
    return QByteArray(blob, sqlite3_column_bytes(d->stmt, index));
}

#undef KELO_ON_ROW

} // namespace kelo::db
