#pragma once

#include "db/connection.h"
#include "db/serverobjects.h"

#include <map>
#include <vector>

namespace kelo::db {

// A call of a stored procedure by name. Parameters are declared by the caller
// or, when it declares none, read from the database's description of the
// procedure. Inputs are set as text (an empty text is NULL); outputs are read
// as text after execute(). The call runs inside the connection's current
// transaction; whatever the procedure wrote is undone when it fails or
// refuses the row through an AERROR_MSG text.
class StoredProc {
public:
    explicit StoredProc(Connection &connection);

    void setProcName(const QString &name);
    QString procName() const { return m_name; }

    void clearParams();
    void addParam(const QString &name, ParamDirection direction, int size = 0);
    // Replaces the parameters with the database's description of the procedure.
    void refreshParams();
    const std::vector<ProcParam> &params() const { return m_params; }
    bool hasParam(const QString &name) const;

    void setParam(const QString &name, const QString &value);
    QString param(const QString &name) const;

    // What the caller read of the row the next calls write (see RowRead); it stays until it
    // is set again, and an unchecked RowRead clears it.
    void setRowRead(const RowRead &read) { m_read = read; }

    void execute();

private:
    const ProcedureDef &definition() const;
    const ProcParam *findParam(const QString &name) const;

    Connection &m_connection;
    QString m_name;
    std::vector<ProcParam> m_params;
    std::map<QString, QString> m_values; // by upper-case name
    RowRead m_read;
};

} // namespace kelo::db
