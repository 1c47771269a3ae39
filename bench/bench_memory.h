#pragma once

// The resident memory of a benchmark from /proc/self/status.

#include <QFile>
#include <QList>

namespace kelo::bench {

// A field of /proc/self/status in kB.
inline long StatusKb(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}
inline long ResidentKb() {
    return StatusKb("VmRSS:");
}
inline long PeakKb() {
    return StatusKb("VmHWM:");
}
// Sets the peak (VmHWM) back to the present resident size.
inline void ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

} // namespace kelo::bench
