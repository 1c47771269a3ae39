#include "db/storedproc.h"

#include "db/query.h"
#include "db/transaction.h"

#include <QAtomicInt>
#include <algorithm>

namespace kelo::db {

namespace {

// Runs one statement without parameters.
void run(Connection &connection, const QString &sql) {
    connection.executeScript(sql);
}

} // namespace

StoredProc::StoredProc(Connection &connection) : m_connection(connection) {}

void StoredProc::setProcName(const QString &name) {
    if (name.compare(m_name, Qt::CaseInsensitive) != 0)
        clearParams();
    m_name = name;
}

void StoredProc::clearParams() {
    m_params.clear();
    m_values.clear();
}

void StoredProc::addParam(const QString &name, ParamDirection direction, int size) {
    if (findParam(name))
        throw DbError(QStringLiteral("The parameter %1 is declared twice.").arg(name));
    m_params.push_back({name.toUpper(), direction, size});
}

const ProcedureDef &StoredProc::definition() const {
    if (!m_connection.isOpen())
        throw DbError(QStringLiteral("The database connection is not open."));
    const ProcedureDef *def = m_connection.serverObjects().procedure(m_name);
    if (!def)
        throw DbError(QStringLiteral("The procedure %1 does not exist in this database.")
                          .arg(m_name.toUpper()));
    return *def;
}

void StoredProc::refreshParams() {
    const ProcedureDef &def = definition();
    m_params.clear();
    for (const ProcParam &p : def.params)
        m_params.push_back({p.name.toUpper(), p.direction, p.size});
}

const ProcParam *StoredProc::findParam(const QString &name) const {
    for (const ProcParam &p : m_params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

bool StoredProc::hasParam(const QString &name) const {
    return findParam(name) != nullptr;
}

void StoredProc::setParam(const QString &name, const QString &value) {
    if (m_params.empty() && !m_name.isEmpty())
        refreshParams();
    if (!findParam(name))
        throw DbError(QStringLiteral("The procedure %1 has no parameter %2.")
                          .arg(m_name.toUpper(), name.toUpper()));
    m_values[name.toUpper()] = value;
}

QString StoredProc::param(const QString &name) const {
    const auto it = m_values.find(name.toUpper());
    return it == m_values.end() ? QString() : it->second;
}

void StoredProc::execute() {
    const ProcedureDef &def = definition();
    if (m_params.empty())
        refreshParams();
    // Every declared parameter must be one of the procedure's.
    for (const ProcParam &p : m_params) {
        const bool known =
            std::any_of(def.params.begin(), def.params.end(), [&](const ProcParam &q) {
                return q.name.compare(p.name, Qt::CaseInsensitive) == 0;
            });
        if (!known)
            throw DbError(QStringLiteral("Wrong number or names of arguments in the call to %1: "
                                         "it has no parameter %2.")
                              .arg(def.name, p.name));
    }
    ProcCall call(m_connection, def.name);
    for (const ProcParam &p : def.params)
        if (p.direction != ParamDirection::Output)
            call.setInput(p.name, param(p.name));
    call.setRowRead(m_read);

    if (!m_connection.inTransaction())
        m_connection.checkFileUnchanged();
    // A server takes savepoints only inside a transaction: a call outside one has its own.
    Transaction own(m_connection);
    if (m_connection.engine() == Engine::Postgres)
        own.beginIfNone();
    // A savepoint makes the call all or nothing inside the caller's transaction.
    static QAtomicInt counter;
    const QString savepoint = QStringLiteral("KELO_PROC_%1").arg(counter.fetchAndAddRelaxed(1));
    run(m_connection, QStringLiteral("SAVEPOINT ") + savepoint);
    try {
        def.body(call);
    } catch (...) {
        try {
            run(m_connection, QStringLiteral("ROLLBACK TO ") + savepoint);
            run(m_connection, QStringLiteral("RELEASE ") + savepoint);
        } catch (const DbError &) {
        }
        throw;
    }
    const bool refused = !call.output(QStringLiteral("AERROR_MSG")).isEmpty();
    if (refused)
        run(m_connection, QStringLiteral("ROLLBACK TO ") + savepoint);
    run(m_connection, QStringLiteral("RELEASE ") + savepoint);

    for (const ProcParam &p : def.params) {
        if (p.direction == ParamDirection::Input)
            continue;
        QString out = call.output(p.name);
        if (p.size > 0 && out.size() > p.size)
            out.truncate(p.size);
        m_values[p.name.toUpper()] = out; // readable even when the caller did not declare it
    }
    if (own.ownsTransaction())
        own.commit();
}

} // namespace kelo::db
