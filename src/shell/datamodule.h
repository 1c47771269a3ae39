#pragma once

#include "db/connection.h"
#include "db/query.h"
#include "db/storedproc.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace kelo::shell {

// The data module: the global values of the run and the one database
// connection every screen shares, with two borrowed queries and a borrowed
// procedure call.
class TfrmZZD000 : public QObject {
    Q_OBJECT
public:
    // The launch arguments without the program's own name. Connects when there
    // are exactly four; otherwise tells the user the program does not run by itself.
    explicit TfrmZZD000(const QStringList &arguments, QObject *parent = nullptr);
    ~TfrmZZD000() override;

    bool ConnectDatabase();
    void DisconnectDatabase();
    // The database password: PASS of SBUpdate.ini decoded, or the database user
    // when PASS is empty. A PasswordError for a PASS value that cannot be decoded.
    QString ReadDbPassword() const;

    bool argumentsAccepted() const { return m_accepted; }
    const QStringList &arguments() const { return m_arguments; }
    QString databaseUser() const { return m_arguments.value(1); }

    db::Connection dbsDB;
    std::unique_ptr<db::Query> qryQuery;
    std::unique_ptr<db::Query> qryQuery2;
    std::unique_ptr<db::StoredProc> prcProc;

private:
    QStringList m_arguments;
    bool m_accepted = false;
};

} // namespace kelo::shell
