#include "shell/password.h"

#include "common/appdir.h"
#include "common/cp949.h"

#include <QSettings>

#include <QByteArray>
#include <array>

namespace kelo::shell {

namespace {

// Configuration constants of the scrambling.
constexpr quint16 kStartKey = 0x4B53;
constexpr quint32 kMultiplier = 52845;
constexpr quint32 kIncrement = 22719;
constexpr std::array<quint8, 32> kTable = {
    0x1F, 0x3A, 0x07, 0x52, 0x66, 0x0D, 0x29, 0x44, 0x71, 0x18, 0x5C, 0x23, 0x4E, 0x02, 0x37, 0x6B,
    0x11, 0x58, 0x2C, 0x75, 0x09, 0x41, 0x1B, 0x63, 0x30, 0x4A, 0x05, 0x6F, 0x26, 0x5E, 0x13, 0x39};
constexpr int kMaxPasswordBytes = 16; // 32 hexadecimal characters after the table stage

bool isHex(QChar c) {
    return c.isDigit() || (c.toUpper() >= u'A' && c.toUpper() <= u'F');
}

// Pairs of hexadecimal digits into bytes; a trailing odd character is ignored.
QByteArray hexStage(const QString &text) {
    QByteArray out;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2)
        out.append(char(text.mid(i, 2).toUInt(nullptr, 16)));
    return out;
}

} // namespace

QString DecodePassword(const QString &pass) {
    const QString value = pass.trimmed();
    if (value.size() != 64 || !std::all_of(value.begin(), value.end(), isHex))
        throw PasswordError(QStringLiteral(
            "SBUpdate.ini의 PASS 값이 올바르지 않습니다 (16진수 64자리가 아닙니다)."));
    QByteArray bytes = hexStage(value);
    for (int i = 0; i < 32; ++i)
        bytes[i] = char((quint8(bytes[i]) + kTable[size_t(i)]) & 0xFF);
    // The result is hexadecimal text, possibly with blanks and control characters around it.
    QString inner = QString::fromLatin1(bytes);
    while (!inner.isEmpty() && inner.front().unicode() <= 32)
        inner.remove(0, 1);
    while (!inner.isEmpty() && inner.back().unicode() <= 32)
        inner.chop(1);
    if (inner.isEmpty() || inner.size() % 2 != 0 || !std::all_of(inner.begin(), inner.end(), isHex))
        throw PasswordError(QStringLiteral("SBUpdate.ini의 PASS 값을 해독할 수 없습니다."));
    const QByteArray scrambled = hexStage(inner);
    QByteArray plain;
    quint16 key = kStartKey;
    for (char ch : scrambled) {
        const quint8 c = quint8(ch);
        plain.append(char(c ^ (key >> 8)));
        key = quint16(((c + quint32(key)) * kMultiplier + kIncrement) & 0xFFFF);
    }
    return FromCp949(plain);
}

QString ReadDbPassword(const QString &user) {
    QSettings ini(AppFile(QStringLiteral("SBUpdate.ini")), QSettings::IniFormat);
    const QString pass = ini.value(QStringLiteral("PROGRAM/PASS")).toString();
    return pass.isEmpty() ? user : DecodePassword(pass);
}

QStringList AliasConnectionParams(const QString &alias) {
    QSettings ini(AppFile(QStringLiteral("Databases.ini")), QSettings::IniFormat);
    QString user = QStringLiteral("KLUSER");
    for (const QString &group : ini.childGroups())
        if (group.compare(alias, Qt::CaseInsensitive) == 0)
            user = ini.value(group + QStringLiteral("/User"), user).toString();
    QString password = qEnvironmentVariable("PGPASSWORD");
    if (password.isEmpty())
        password = ReadDbPassword(user);
    return {QStringLiteral("DATABASE=") + alias, QStringLiteral("USER_NAME=") + user,
            QStringLiteral("PASSWORD=") + password};
}

QString EncodePassword(const QString &password) {
    const QByteArray plain = ToCp949(password);
    if (plain.isEmpty())
        throw PasswordError(QStringLiteral("The password is empty."));
    // CP949 lacks some characters; they would turn into '?' without a word.
    if (FromCp949(plain) != password) {
        QString missing;
        for (const QChar c : password)
            if (FromCp949(ToCp949(QString(c))) != QString(c) && !missing.contains(c))
                missing += c;
        throw PasswordError(
            QStringLiteral("The password has characters that CP949 cannot hold: %1").arg(missing));
    }
    if (plain.size() > kMaxPasswordBytes)
        throw PasswordError(
            QStringLiteral("The password has %1 bytes in CP949; at most %2 fit the scrambled form.")
                .arg(plain.size())
                .arg(kMaxPasswordBytes));
    QString hex;
    quint16 key = kStartKey;
    for (char ch : plain) {
        const quint8 c = quint8(ch) ^ quint8(key >> 8);
        hex += QStringLiteral("%1").arg(c, 2, 16, QChar(u'0')).toUpper();
        key = quint16(((c + quint32(key)) * kMultiplier + kIncrement) & 0xFFFF);
    }
    // Blanks around the text fill the 32 characters of the table stage.
    const qsizetype left = (32 - hex.size()) / 2;
    const QString padded = QString(left, u' ') + hex + QString(32 - left - hex.size(), u' ');
    QString pass;
    for (int i = 0; i < 32; ++i) {
        const quint8 e = quint8((padded.at(i).unicode() - kTable[size_t(i)]) & 0xFF);
        pass += QStringLiteral("%1").arg(e, 2, 16, QChar(u'0')).toUpper();
    }
    return pass;
}

} // namespace kelo::shell
