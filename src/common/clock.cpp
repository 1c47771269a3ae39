#include "common/clock.h"

#include <QMutex>

namespace kelo {

QDateTime Now() {
    // KELO_NOW is read on every call, so that a test may set a moment of its own; its text is
    // parsed again only when it changed.
    const QByteArray v = qgetenv("KELO_NOW");
    if (v.isEmpty())
        return QDateTime::currentDateTime();
    static QMutex mutex;
    static QByteArray parsedText;
    static QDateTime parsed;
    QMutexLocker lock(&mutex);
    if (v != parsedText) {
        parsedText = v;
        parsed = QDateTime::fromString(QString::fromLatin1(v).leftJustified(14, u'0', true),
                                       QStringLiteral("yyyyMMddHHmmss"));
    }
    return parsed.isValid() ? parsed : QDateTime::currentDateTime();
}

} // namespace kelo
