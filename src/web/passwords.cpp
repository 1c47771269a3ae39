// LOCAL PLACEHOLDER until the web-passwords branch lands (not committed).
#include "web/passwords.h"
#include "db/query.h"
#include <sodium.h>
namespace kelo::web {
QString PasswordRuleError(const QString &p) {
    return p.size() < 8 ? QStringLiteral("short") : QString();
}
QByteArray HashPassword(const QString &password) {
    sodium_init();
    char out[crypto_pwhash_STRBYTES];
    const QByteArray p = password.toUtf8();
    crypto_pwhash_str(out, p.constData(), p.size(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                      crypto_pwhash_MEMLIMIT_INTERACTIVE);
    return QByteArray(out);
}
bool PasswordMatches(const QByteArray &hash, const QString &password) {
    sodium_init();
    const QByteArray p = password.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), p.constData(), p.size()) == 0;
}
QString SetPassword(db::Connection &, const QString &, const QString &) {
    return QStringLiteral("no");
}
bool ClearPassword(db::Connection &, const QString &) {
    return false;
}
SignInCheck CheckPassword(db::Connection &c, const QString &empNo, const QString &password) {
    db::Query q(c);
    q.setSql(QStringLiteral(
        "SELECT EMP_K_NAME FROM QA010MS WHERE EMP_NO = :P0 AND EMP_STAY_CODE = '01'"));
    q.setParam(QStringLiteral("P0"), empNo);
    q.open();
    SignInCheck r;
    static const QByteArray h = HashPassword(QStringLiteral("kelo-web1"));
    r.ok = !q.eof() && PasswordMatches(h, password);
    if (r.ok)
        r.name = q.text(0);
    return r;
}
} // namespace kelo::web
