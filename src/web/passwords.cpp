#include "web/passwords.h"

#include "db/query.h"
#include "db/transaction.h"

#include <sodium.h>

#include <stdexcept>

namespace kelo::web {

namespace {

constexpr qsizetype kShortest = 8;
constexpr qsizetype kLongest = 128;

// libsodium is made ready once; its own start-up is safe on any thread.
void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("libsodium cannot be initialised");
}

// The bytes a password is hashed as: UTF-8 of its composed form. Wiped when it goes.
class PasswordBytes {
public:
    explicit PasswordBytes(const QString &password)
        : m_bytes(password.normalized(QString::NormalizationForm_C).toUtf8()) {}
    ~PasswordBytes() { sodium_memzero(m_bytes.data(), size_t(m_bytes.size())); }
    PasswordBytes(const PasswordBytes &) = delete;
    PasswordBytes &operator=(const PasswordBytes &) = delete;
    const char *data() const { return m_bytes.constData(); }
    unsigned long long size() const { return (unsigned long long)m_bytes.size(); }

private:
    QByteArray m_bytes;
};

// A hash of a password nobody knows: what an unusable sign-in is verified against, so that
// it takes as long as a wrong password.
const QByteArray &unknownHash() {
    static const QByteArray hash = [] {
        ensureSodium();
        unsigned char random[16];
        randombytes_buf(random, sizeof random);
        return HashPassword(QString::fromLatin1(
            QByteArray(reinterpret_cast<const char *>(random), sizeof random).toHex()));
    }();
    return hash;
}

} // namespace

QString PasswordRuleError(const QString &password) {
    const QString text = password.normalized(QString::NormalizationForm_C);
    qsizetype characters = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i; // one character beyond the basic plane
        } else if (c.isSurrogate()) {
            return QStringLiteral("비밀번호에 올바르지 않은 문자가 있습니다.");
        } else if (c.category() == QChar::Other_Control) {
            return QStringLiteral("비밀번호에 제어 문자(탭, 줄바꿈 등)를 쓸 수 없습니다.");
        }
        ++characters;
    }
    if (characters < kShortest)
        return QStringLiteral("비밀번호는 %1자 이상이어야 합니다.").arg(kShortest);
    if (characters > kLongest)
        return QStringLiteral("비밀번호는 %1자를 넘을 수 없습니다.").arg(kLongest);
    return QString();
}

QByteArray HashPassword(const QString &password) {
    ensureSodium();
    const PasswordBytes bytes(password);
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, bytes.data(), bytes.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw std::runtime_error("the password hash cannot be made (out of memory)");
    return QByteArray(hash);
}

bool PasswordMatches(const QByteArray &hash, const QString &password) {
    ensureSodium();
    if (hash.isEmpty() || hash.size() >= qsizetype(crypto_pwhash_STRBYTES) || hash.contains('\0'))
        return false;
    const PasswordBytes bytes(password);
    return crypto_pwhash_str_verify(hash.constData(), bytes.data(), bytes.size()) == 0;
}

QString PasswordHolderError(db::Connection &connection, const QString &empNo) {
    if (empNo.isEmpty())
        return QStringLiteral("사번이 비어 있습니다.");
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
SELECT EMP_K_NAME,
    EMP_STAY_CODE
FROM QA010MS
WHERE EMP_NO = :AEMP_NO
)sql"));
    q.setParam(QStringLiteral("AEMP_NO"), empNo);
    q.open();
    if (q.eof())
        return QStringLiteral("사번 %1인 직원이 없습니다.").arg(empNo);
    if (q.text(1) != QLatin1String("01"))
        return QStringLiteral("사번 %1인 직원(%2)은 재직 중이 아닙니다.").arg(empNo, q.text(0));
    return QString();
}

QString SetPassword(db::Connection &connection, const QString &empNo, const QString &password) {
    if (QString why = PasswordHolderError(connection, empNo); !why.isEmpty())
        return why;
    if (QString why = PasswordRuleError(password); !why.isEmpty())
        return why;
    // The slow hash is made before the transaction, which then holds its lock only briefly.
    const QByteArray hash = HashPassword(password);
    db::Transaction t(connection);
    t.begin();
    // The employee may have left in the meantime.
    if (QString why = PasswordHolderError(connection, empNo); !why.isEmpty())
        return why;
    db::Query store(connection);
    store.setSql(QStringLiteral(R"sql(
INSERT INTO WEB_PASSWORD (EMP_NO, PASSWORD_HASH, U_DATE)
VALUES (:AEMP_NO, :APASSWORD_HASH, SYSDATE())
ON CONFLICT (EMP_NO) DO UPDATE SET PASSWORD_HASH = excluded.PASSWORD_HASH,
    U_DATE = excluded.U_DATE
)sql"));
    store.setParam(QStringLiteral("AEMP_NO"), empNo);
    store.setParam(QStringLiteral("APASSWORD_HASH"), QString::fromLatin1(hash));
    store.exec();
    t.commit();
    return QString();
}

bool ClearPassword(db::Connection &connection, const QString &empNo) {
    db::Transaction t(connection);
    t.begin();
    db::Query remove(connection);
    remove.setSql(QStringLiteral(R"sql(
DELETE FROM WEB_PASSWORD
WHERE EMP_NO = :AEMP_NO
)sql"));
    remove.setParam(QStringLiteral("AEMP_NO"), empNo);
    const int removed = remove.exec();
    t.commit();
    return removed > 0;
}

SignInCheck CheckPassword(db::Connection &connection, const QString &empNo,
                          const QString &password) {
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
SELECT E.EMP_K_NAME,
    E.EMP_STAY_CODE,
    W.PASSWORD_HASH
FROM QA010MS E
    JOIN WEB_PASSWORD W ON W.EMP_NO = E.EMP_NO
WHERE E.EMP_NO = :AEMP_NO
)sql"));
    q.setParam(QStringLiteral("AEMP_NO"), empNo);
    q.open();
    const bool found = !q.eof();
    const QString name = found ? q.text(0) : QString();
    const bool inService = found && q.text(1) == QLatin1String("01");
    const QByteArray hash = found ? q.text(2).toLatin1() : QByteArray();
    // The slow part runs with no statement open.
    q.close();
    // A text the rule refuses was never stored: it cannot match.
    SignInCheck check;
    if (!inService || hash.isEmpty() || !PasswordRuleError(password).isEmpty()) {
        // As long as a wrong password takes. The text is cut to the longest a password may
        // be, as on the other way, so that a long text does not tell the ways apart.
        PasswordMatches(unknownHash(), password.left(kLongest));
        return check;
    }
    if (PasswordMatches(hash, password)) {
        check.ok = true;
        check.name = name;
        check.hash = hash;
    }
    return check;
}

QByteArray StandingPasswordHash(db::Connection &connection, const QString &empNo) {
    db::Query q(connection);
    q.setSql(QStringLiteral(R"sql(
SELECT W.PASSWORD_HASH
FROM QA010MS E
    JOIN WEB_PASSWORD W ON W.EMP_NO = E.EMP_NO
WHERE E.EMP_NO = :AEMP_NO
    AND E.EMP_STAY_CODE = '01'
)sql"));
    q.setParam(QStringLiteral("AEMP_NO"), empNo);
    q.open();
    return q.eof() ? QByteArray() : q.text(0).toLatin1();
}

} // namespace kelo::web
