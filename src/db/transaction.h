#pragma once

#include "db/connection.h"

namespace kelo::db {

// A transaction on a connection. begin() starts one (a DbError when the
// connection already has one open; a save begins only when none is open, see
// beginIfNone()). A Transaction that began a transaction rolls it back when it
// is destroyed without commit(), so an exception never leaves half a save.
class Transaction {
public:
    explicit Transaction(Connection &connection) : m_connection(connection) {}
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void begin(int id = 0);
    // Begins when the connection has no transaction open; true when it began one.
    bool beginIfNone(int id = 0);
    void commit();
    void rollback();
    bool isActive() const { return m_connection.inTransaction(); }
    bool ownsTransaction() const { return m_owned; }

private:
    Connection &m_connection;
    bool m_owned = false;
};

} // namespace kelo::db
