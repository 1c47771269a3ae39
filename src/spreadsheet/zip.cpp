#include "spreadsheet/zip.h"

#include <QDir>

namespace kelo::sheet {

bool ReadZipEntry(ZipArchive &zip, const QString &name, qint64 cap, QByteArray &out) {
    if (!zip.openEntry(name))
        return false;
    out.clear();
    char chunk[65536];
    for (;;) {
        const int n = zip.read(chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        out.append(chunk, n);
        if (out.size() > cap)
            return false;
    }
    return zip.closeEntry();
}

QString ResolvePart(const QString &from, const QString &target) {
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const int slash = from.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : from.left(slash + 1);
    return QDir::cleanPath(folder + target);
}

} // namespace kelo::sheet
