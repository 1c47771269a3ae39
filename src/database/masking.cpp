#include "database/masking.h"

#include <QRegularExpression>

namespace kelo::database {

namespace {

QString stars(qsizetype n) {
    return QString(n, u'*');
}

bool hasHangulOrDigit(const QString &s) {
    for (QChar c : s)
        if (c.isDigit() || (c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3))
            return true;
    return false;
}

} // namespace

QString MaskPersonalData(const QString &text) {
    static const QRegularExpression rrn(QStringLiteral("^(\\d{6})(-?)(\\d)(\\d{6})$"));
    static const QRegularExpression email(QStringLiteral("^([^@\\s]+)@([^@\\s]+)$"));
    static const QRegularExpression phone(
        QStringLiteral("^(\\(?\\d{2,4}\\)?)([-. )])(\\d{3,4})([-. ])(\\d{4})$"));
    static const QRegularExpression phoneDigits(QStringLiteral("^(0\\d{1,2})(\\d{3,4})(\\d{4})$"));

    const QString t = text.trimmed();
    if (t.isEmpty())
        return text;
    QRegularExpressionMatch m = rrn.match(t);
    if (m.hasMatch())
        return m.captured(1) + m.captured(2) + m.captured(3) + stars(6);
    m = email.match(t);
    if (m.hasMatch()) {
        const QString local = m.captured(1);
        const qsizetype keep = std::min<qsizetype>(2, local.size());
        return local.left(keep) + stars(local.size() - keep) + u'@' + m.captured(2);
    }
    m = phone.match(t);
    if (m.hasMatch())
        return m.captured(1) + m.captured(2) + stars(m.captured(3).size()) + m.captured(4) +
               m.captured(5);
    m = phoneDigits.match(t);
    if (m.hasMatch() && (t.size() == 10 || t.size() == 11 || t.size() == 9))
        return m.captured(1) + stars(m.captured(2).size()) + m.captured(3);

    // An address: four or more words with Korean letters or digits among them.
    static const QRegularExpression words(QStringLiteral("\\S+"));
    QRegularExpressionMatchIterator it = words.globalMatch(t);
    QList<QRegularExpressionMatch> found;
    while (it.hasNext())
        found.append(it.next());
    if (found.size() >= 4 && hasHangulOrDigit(t)) {
        QString out = t;
        for (qsizetype i = 3; i < found.size(); ++i)
            for (qsizetype p = found[i].capturedStart(); p < found[i].capturedEnd(); ++p)
                out[p] = u'*';
        return out;
    }
    return text;
}

} // namespace kelo::database
