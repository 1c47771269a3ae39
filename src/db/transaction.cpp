#include "db/transaction.h"

namespace kelo::db {

Transaction::~Transaction() {
    if (m_owned && m_connection.isOpen() && m_connection.inTransaction()) {
        try {
            m_connection.rollback();
        } catch (const DbError &) {
            // Nothing more can be done from a destructor; the engine ends the
            // transaction when the connection closes.
        }
    }
}

void Transaction::begin(int id) {
    m_connection.startTransaction(id);
    m_owned = true;
}

bool Transaction::beginIfNone(int id) {
    if (m_connection.inTransaction())
        return false;
    begin(id);
    return true;
}

void Transaction::commit() {
    m_connection.commit();
    m_owned = false;
}

void Transaction::rollback() {
    m_connection.rollback();
    m_owned = false;
}

} // namespace kelo::db
