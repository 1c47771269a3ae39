#pragma once
// LOCAL PLACEHOLDER until the web-passwords branch lands (not committed).
#include "db/connection.h"
#include <QByteArray>
#include <QString>
namespace kelo::web {
QString PasswordRuleError(const QString &password);
QByteArray HashPassword(const QString &password);
bool PasswordMatches(const QByteArray &hash, const QString &password);
QString SetPassword(db::Connection &connection, const QString &empNo, const QString &password);
bool ClearPassword(db::Connection &connection, const QString &empNo);
struct SignInCheck {
    bool ok = false;
    QString name;
};
SignInCheck CheckPassword(db::Connection &connection, const QString &empNo,
                          const QString &password);
} // namespace kelo::web
