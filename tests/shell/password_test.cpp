#include "shell/password.h"

#include <gtest/gtest.h>

using namespace kelo::shell;

namespace {

TEST(Password, RoundTripsEveryLengthTheScrambledFormHolds) {
    const QString ascii = QStringLiteral("Kelo#Resort2026!xyz0123456789ab");
    for (int n = 1; n <= 16; ++n) {
        const QString password = ascii.left(n);
        const QString pass = EncodePassword(password);
        EXPECT_EQ(pass.size(), 64);
        EXPECT_EQ(DecodePassword(pass), password) << n;
    }
    // Korean letters are two CP949 bytes each: eight fit.
    for (const QString &korean :
         {QStringLiteral("비밀"), QStringLiteral("경영정보관리비번"), QStringLiteral("ab가나cd")})
        EXPECT_EQ(DecodePassword(EncodePassword(korean)), korean);
    for (const QString &tooLong :
         {ascii.left(17), ascii.left(30), QStringLiteral("경영정보관리비밀번호")})
        EXPECT_THROW(EncodePassword(tooLong), PasswordError) << tooLong.toStdString();
    EXPECT_THROW(EncodePassword(QString()), PasswordError);
}

TEST(Password, TheConstantsStayThoseTheWriterUses) {
    // A value written with the project's constants; changing any constant breaks existing files.
    EXPECT_EQ(EncodePassword(QStringLiteral("KLUSER")),
              QStringLiteral("01E619CEBA13F7DCAF08D40DE937FFD934DD15CF3AF805BDF0D61BB1FAC20DE7"));
    EXPECT_EQ(DecodePassword(QStringLiteral(
                  "01E619CEBA13F7DCAF08D40DE937FFD934DD15CF3AF805BDF0D61BB1FAC20DE7")),
              QStringLiteral("KLUSER"));
}

TEST(Password, ValuesNotWrittenByTheWriterAreRefused) {
    const QString good = EncodePassword(QStringLiteral("secret"));
    for (const QString &bad : {good.left(63), good + u'0', good.left(63) + u'G', QString(64, u'0'),
                               QStringLiteral("xyz")})
        EXPECT_THROW(DecodePassword(bad), PasswordError) << bad.toStdString();
}

} // namespace
