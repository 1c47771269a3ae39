#include "common/clock.h"

namespace kelo {

QDateTime Now() {
    static const QDateTime fixed = [] {
        const QByteArray v = qgetenv("KELO_NOW");
        if (v.isEmpty())
            return QDateTime();
        QString text = QString::fromLatin1(v).leftJustified(14, u'0', true);
        return QDateTime::fromString(text, QStringLiteral("yyyyMMddHHmmss"));
    }();
    return fixed.isValid() ? fixed : QDateTime::currentDateTime();
}

} // namespace kelo
