#pragma once

#include "db/connection.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>

namespace kelo::shell {

// The programs that can be opened from the menu: program ID -> screen factory.
// Every ID of the system is listed; an ID whose screen is not built yet has no
// factory and behaves as an unknown ID. IDs compare exactly (case and length).
class ProgramRegistry {
public:
    using Factory = std::function<QWidget *(db::Connection &)>;

    // The 74 program IDs with their screens.
    static ProgramRegistry &standard();
    static const QStringList &ProgramIds();

    void add(const QString &programId, Factory factory);
    bool isRegistered(const QString &programId) const;
    // A fresh screen, or null when the ID has no screen.
    QWidget *create(const QString &programId, db::Connection &connection) const;

private:
    std::map<QString, Factory> m_factories;
};

} // namespace kelo::shell
