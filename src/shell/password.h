#pragma once

#include <QString>
#include <QStringList>
#include <stdexcept>

namespace kelo::shell {

// The scrambling of the database password in SBUpdate.ini ([PROGRAM] PASS):
// 64 hexadecimal digits. The start key, multiplier, increment and table are
// the configuration constants shared with the tool that writes the file
// (kelo-db encode-password).
class PasswordError : public std::runtime_error {
public:
    explicit PasswordError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// The password of a PASS value; a PasswordError when the value is not 64
// hexadecimal digits or does not unscramble to hexadecimal text.
QString DecodePassword(const QString &pass);

// The database password as the programs read it: SBUpdate.ini's [PROGRAM] PASS in
// AppDir, unscrambled; the database user itself when PASS is empty.
QString ReadDbPassword(const QString &user);

// The connection parameters of an alias of Databases.ini as the tools sign in with it:
// DATABASE, the alias's User (KLUSER by default) as USER_NAME, and as PASSWORD the
// value of PGPASSWORD, else ReadDbPassword of that user.
QStringList AliasConnectionParams(const QString &alias);

// The PASS value of a password: its CP949 bytes, at most 16 (8 Korean letters);
// a PasswordError for an empty or longer password.
QString EncodePassword(const QString &password);

} // namespace kelo::shell
