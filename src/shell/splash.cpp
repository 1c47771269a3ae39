#include "shell/splash.h"

#include "common/appdir.h"
#include "common/dialogs.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QStandardPaths>

#ifndef KELO_VERSION
#define KELO_VERSION ""
#endif

namespace kelo::shell {

QRegion BuildMaskRegion(const MonoMask &mask, int windowHeight) {
    QRegion region;
    const int width = (mask.width + 15) / 16 * 16; // widened to a multiple of 16
    const int rowBytes = mask.rowBytes();
    auto bit = [&](int x, int y) {
        if (x >= mask.width)
            return true; // widened columns count as set
        const qsizetype at = qsizetype(y) * rowBytes + x / 8;
        if (at >= mask.bits.size())
            return true; // a bit the bitmap does not deliver
        return (quint8(mask.bits.at(at)) >> (7 - x % 8) & 1) != 0;
    };
    for (int y = 0; y < mask.height && y < windowHeight; ++y) {
        int start = -1;
        for (int x = 0; x < width; ++x) {
            if (!bit(x, y)) {
                if (start < 0)
                    start = x;
            } else if (start >= 0) {
                region += QRect(QPoint(start, y), QPoint(x - 1, y));
                start = -1;
            }
        }
        if (start >= 0)
            region += QRect(QPoint(start, y), QPoint(width - 1, y));
    }
    return region;
}

MonoMask MaskFromPbm(const QByteArray &pbm) {
    MonoMask mask;
    // Header: "P4", width, height, separated by white space (comments are not written by
    // mkmainimg).
    QList<QByteArray> fields;
    qsizetype pos = 0;
    while (fields.size() < 3 && pos < pbm.size()) {
        while (pos < pbm.size() && QChar(pbm.at(pos)).isSpace())
            ++pos;
        qsizetype end = pos;
        while (end < pbm.size() && !QChar(pbm.at(end)).isSpace())
            ++end;
        fields << pbm.mid(pos, end - pos);
        pos = end;
    }
    if (fields.size() < 3 || fields[0] != "P4")
        return mask;
    ++pos; // the single white-space character before the data
    mask.width = fields[1].toInt();
    mask.height = fields[2].toInt();
    const int pbmRow = (mask.width + 7) / 8;
    for (int y = 0; y < mask.height; ++y) {
        QByteArray row = pbm.mid(pos + qsizetype(y) * pbmRow, pbmRow);
        row.append(
            QByteArray(mask.rowBytes() - row.size(), char(0xFF))); // missing bits count as set
        mask.bits.append(row);
    }
    return mask;
}

QString FindPictureLibrary() {
    const QString name = QStringLiteral("MainImg.kimg");
    const QString beside = AppFile(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString shared =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("kelo/") + name);
    return shared;
}

PictureLibrary LoadPictureLibrary(const QString &path) {
    PictureLibrary lib;
    QFile f(path);
    if (path.isEmpty() || !f.open(QIODevice::ReadOnly))
        return lib;
    if (f.readLine().trimmed() != "KELO-MAINIMG 1")
        return lib;
    while (!f.atEnd()) {
        const QList<QByteArray> head = f.readLine().trimmed().split(' ');
        if (head.size() != 2)
            break;
        const QByteArray data = f.read(head[1].toLongLong());
        if (head[0] == "SPLASH")
            lib.splash.loadFromData(data, "PNG");
        else if (head[0] == "SMASK")
            lib.mask = MaskFromPbm(data);
    }
    lib.loaded = !lib.splash.isNull();
    return lib;
}

bool WritePictureLibrary(const QString &path, const QImage &splash, const QImage &mask) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!splash.save(&buffer, "PNG"))
        return false;
    // PBM P4: 1 is black, which the mask cuts away.
    const QImage mono = mask.convertToFormat(QImage::Format_Grayscale8);
    QByteArray pbm = QStringLiteral("P4\n%1 %2\n").arg(mono.width()).arg(mono.height()).toLatin1();
    for (int y = 0; y < mono.height(); ++y) {
        QByteArray row((mono.width() + 7) / 8, 0);
        for (int x = 0; x < mono.width(); ++x)
            if (qGray(mono.pixel(x, y)) < 128)
                row[x / 8] = char(quint8(row[x / 8]) | (0x80 >> (x % 8)));
        pbm.append(row);
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("KELO-MAINIMG 1\n");
    f.write("SPLASH " + QByteArray::number(png.size()) + "\n");
    f.write(png);
    f.write("SMASK " + QByteArray::number(pbm.size()) + "\n");
    f.write(pbm);
    return true;
}

QString GetVersionText() {
    return QStringLiteral(KELO_VERSION);
}

TfrmZZC010::TfrmZZC010(const QString &libraryPath)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmZZC010"));
    setFixedSize(537, 284);
    setAttribute(Qt::WA_TranslucentBackground, false);

    const PictureLibrary lib = LoadPictureLibrary(libraryPath);
    imgImage = new QLabel(this);
    imgImage->setObjectName(QStringLiteral("imgImage"));
    imgImage->setGeometry(0, 0, 537, 284);
    imgImage->setScaledContents(true);
    if (lib.loaded)
        imgImage->setPixmap(QPixmap::fromImage(lib.splash));

    QFont title(QStringLiteral("바탕"));
    title.setPixelSize(24);
    lblProjectNameShadow = new QLabel(ApplicationTitle(), this);
    lblProjectNameShadow->setObjectName(QStringLiteral("lblProjectNameShadow"));
    lblProjectNameShadow->setFont(title);
    lblProjectNameShadow->setStyleSheet(QStringLiteral("color: olive; background: transparent;"));
    lblProjectNameShadow->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblProjectNameShadow->setGeometry(243, 154, 213, 30);
    lblProjectName = new QLabel(ApplicationTitle(), this);
    lblProjectName->setObjectName(QStringLiteral("lblProjectName"));
    lblProjectName->setFont(title);
    lblProjectName->setStyleSheet(QStringLiteral("color: yellow; background: transparent;"));
    lblProjectName->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblProjectName->setGeometry(242, 153, 213, 30);

    QFont version = font();
    version.setPixelSize(11);
    version.setBold(true);
    lblVersion = new QLabel(GetVersionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setFont(version);
    lblVersion->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    lblVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblVersion->setGeometry(340, 186, 115, 16);

    QFont small = font();
    small.setPixelSize(10);
    lblCopyright = new QLabel(QStringLiteral("Kelo Resort Management Information System"), this);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright->setFont(small);
    lblCopyright->setStyleSheet(QStringLiteral("color: navy; background: transparent;"));
    lblCopyright->setGeometry(24, 252, 400, 14);

    // The shape: without a library the region is empty and nothing of the splash shows.
    m_region = lib.loaded ? BuildMaskRegion(lib.mask, height()) : QRegion();
    if (!m_region.isEmpty())
        setMask(m_region);
    if (QScreen *s = screen())
        move(s->geometry().center() - rect().center());
}

} // namespace kelo::shell
