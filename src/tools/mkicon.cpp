// mkicon DIR SIZE...: draws the launcher's icon (the splash's sky and ridges on a rounded
// tile, a gondola on its cable) and writes DIR/kelo-SIZE.png for each size.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

QImage Icon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(8, 8, 240, 240), 44, 44);
    p.setClipPath(tile);
    QLinearGradient sky(0, 8, 0, 248);
    sky.setColorAt(0, QColor(18, 42, 92));
    sky.setColorAt(0.6, QColor(44, 98, 158));
    sky.setColorAt(1, QColor(120, 170, 205));
    p.fillRect(QRectF(8, 8, 240, 240), sky);
    // The cable and its cabin, above the ridges.
    p.setPen(QPen(QColor(235, 242, 250), 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 48), QPointF(256, 128));
    p.drawLine(QPointF(150, 95), QPointF(150, 112));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(242, 178, 51));
    p.drawRoundedRect(QRectF(128, 110, 44, 34), 7, 7);
    p.setBrush(QColor(30, 64, 88));
    p.drawRect(QRectF(134, 116, 14, 12));
    p.drawRect(QRectF(152, 116, 14, 12));
    QPainterPath far;
    far.moveTo(0, 190);
    far.cubicTo(50, 140, 90, 160, 120, 150);
    far.cubicTo(160, 138, 200, 170, 256, 150);
    far.lineTo(256, 256);
    far.lineTo(0, 256);
    p.fillPath(far, QColor(58, 92, 130));
    QPainterPath near;
    near.moveTo(0, 226);
    near.cubicTo(40, 190, 70, 176, 96, 170);
    near.cubicTo(130, 162, 170, 210, 256, 200);
    near.lineTo(256, 256);
    near.lineTo(0, 256);
    p.fillPath(near, QColor(30, 64, 88));
    QPainterPath snow;
    snow.moveTo(66, 182);
    snow.cubicTo(80, 174, 90, 171, 96, 170);
    snow.cubicTo(108, 167, 122, 174, 134, 184);
    snow.cubicTo(112, 181, 92, 190, 66, 182);
    p.fillPath(snow, QColor(235, 242, 250));
    return icon;
}

} // namespace

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fputs("usage: mkicon DIR SIZE...\n", stderr);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    for (int i = 2; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        const QString path = dir.filePath(QStringLiteral("kelo-%1.png").arg(size));
        if (size < 16 || !Icon(size).save(path)) {
            std::fprintf(stderr, "mkicon: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
