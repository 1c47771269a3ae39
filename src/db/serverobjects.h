#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

namespace kelo::db {

class Connection;

enum class ParamDirection { Input, Output, InputOutput };

// What a caller read of a row before it changed the row, for a write procedure to check
// inside the caller's transaction that nobody saved the row since: unchecked (the default,
// the procedure writes as told), the row absent (a row the caller adds), or the values of
// its input parameters by upper-case name as the caller read them.
struct RowRead {
    bool checked = false;
    bool absent = false;
    std::map<QString, QString> values;
};

// One parameter of a stored procedure, as the database describes it.
struct ProcParam {
    QString name;
    ParamDirection direction = ParamDirection::Input;
    int size = 0; // for output texts
};

// What a procedure body sees: its inputs by name (empty text for NULL or
// unset), its outputs to set, and the connection it runs on (inside the
// caller's transaction).
class ProcCall {
public:
    ProcCall(Connection &connection, const QString &name)
        : m_connection(connection), m_name(name) {}
    Connection &connection() const { return m_connection; }
    const QString &procName() const { return m_name; }
    QString input(const QString &name) const;
    void setInput(const QString &name, const QString &value);
    void setOutput(const QString &name, const QString &value);
    QString output(const QString &name) const;
    const std::map<QString, QString> &outputs() const { return m_outputs; }
    const RowRead &rowRead() const { return m_read; }
    void setRowRead(const RowRead &read) { m_read = read; }

private:
    Connection &m_connection;
    QString m_name;
    std::map<QString, QString> m_inputs;
    std::map<QString, QString> m_outputs;
    RowRead m_read;
};

using ProcBody = std::function<void(ProcCall &)>;

struct ProcedureDef {
    QString name;
    std::vector<ProcParam> params;
    ProcBody body;
};

// The procedures and SQL functions that a database holds beyond the engine's
// own: procedures are looked up by name (their parameter lists are the
// database's description of them); function installers run on every
// connection as it opens.
class ServerObjects {
public:
    using FunctionInstaller = std::function<void(Connection &)>;

    // The objects of the database this project supplies; filled once at start-up.
    static ServerObjects &standard();

    void addProcedure(ProcedureDef def);
    const ProcedureDef *procedure(const QString &name) const;

    void addFunctions(const QString &name, FunctionInstaller installer);
    void installFunctions(Connection &connection) const;

private:
    std::map<QString, ProcedureDef> m_procedures; // by upper-case name
    std::vector<std::pair<QString, FunctionInstaller>> m_functions;
};

} // namespace kelo::db
