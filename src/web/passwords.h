#pragma once

#include "db/connection.h"

#include <QByteArray>
#include <QString>

namespace kelo::web {

// The passwords of the web sign-in: an employee signs in with the employee number and a
// password of their own, kept in WEB_PASSWORD as a salted slow hash. A password is compared
// in Unicode's composed form (NFC), so that the same Hangul typed on any system matches.
// Every function may run on several threads at once, each with its own connection.

// Why a new password is refused, empty when it is accepted: fewer than 8 characters, more
// than 128, or a control character.
QString PasswordRuleError(const QString &password);

// The salted slow hash of a password as one text (crypto_pwhash_str, Argon2id,
// OPSLIMIT_INTERACTIVE / MEMLIMIT_INTERACTIVE); std::runtime_error when it cannot be made.
QByteArray HashPassword(const QString &password);

// Whether the password is the one hashed (crypto_pwhash_str_verify); false for a hash that is
// not one.
bool PasswordMatches(const QByteArray &hash, const QString &password);

// Why the employee cannot hold a password, empty when they can: not found, or not in service
// (QA010MS EMP_STAY_CODE other than '01').
QString PasswordHolderError(db::Connection &connection, const QString &empNo);

// Stores the password of an employee in service (QA010MS EMP_STAY_CODE = '01'), replacing
// the one before, in a transaction; returns why not (empty when stored): employee not found
// or not in service, password refused by the rule.
QString SetPassword(db::Connection &connection, const QString &empNo, const QString &password);

// Removes an employee's password (no web sign-in any more); false when there was none.
bool ClearPassword(db::Connection &connection, const QString &empNo);

struct SignInCheck {
    QByteArray hash; // the password's stored hash, when ok
    bool ok = false;
    QString name; // EMP_K_NAME
};

// Whether the employee is in service and the password matches. An unknown employee, one
// without a password or not in service costs the same time as a wrong password (a hash is
// verified all the same), so the answer's time tells nothing.
// The stored hash of an employee in service, empty for one without a password or not in
// service: a session stands only while it is the hash its sign-in was checked against.
QByteArray StandingPasswordHash(db::Connection &connection, const QString &empNo);

SignInCheck CheckPassword(db::Connection &connection, const QString &empNo,
                          const QString &password);

} // namespace kelo::web
