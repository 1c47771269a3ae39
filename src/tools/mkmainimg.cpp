// mkmainimg PATH: draws the splash picture and its mask and writes the picture library.

#include "shell/splash.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>

int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: mkmainimg PATH\n", stderr);
        return 2;
    }
    const int w = 537, h = 284;
    QImage splash(w, h, QImage::Format_RGB32);
    QPainter p(&splash);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(18, 42, 92));
    sky.setColorAt(0.55, QColor(44, 98, 158));
    sky.setColorAt(1, QColor(120, 170, 205));
    p.fillRect(splash.rect(), sky);
    QRadialGradient sun(430, 70, 60);
    sun.setColorAt(0, QColor(255, 236, 170, 230));
    sun.setColorAt(1, QColor(255, 236, 170, 0));
    p.fillRect(splash.rect(), sun);
    // Far and near ridges, the near one snow-capped.
    QPainterPath far;
    far.moveTo(0, 190);
    far.cubicTo(80, 120, 140, 150, 200, 130);
    far.cubicTo(260, 110, 320, 160, 380, 120);
    far.cubicTo(440, 90, 500, 140, w, 120);
    far.lineTo(w, h);
    far.lineTo(0, h);
    p.fillPath(far, QColor(58, 92, 130));
    QPainterPath near;
    near.moveTo(0, 230);
    near.cubicTo(70, 170, 120, 200, 170, 165);
    near.cubicTo(220, 135, 280, 200, 340, 185);
    near.cubicTo(400, 170, 470, 215, w, 200);
    near.lineTo(w, h);
    near.lineTo(0, h);
    p.fillPath(near, QColor(30, 64, 88));
    QPainterPath snow;
    snow.moveTo(140, 180);
    snow.cubicTo(155, 168, 165, 166, 170, 165);
    snow.cubicTo(180, 160, 195, 168, 205, 178);
    snow.cubicTo(185, 176, 165, 186, 140, 180);
    p.fillPath(snow, QColor(235, 242, 250));
    // A band for the title.
    p.fillRect(QRect(0, 145, w, 64), QColor(0, 0, 0, 70));
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawLine(24, 146, w - 24, 146);
    p.drawLine(24, 208, w - 24, 208);
    p.fillRect(QRect(0, 244, w, h - 244), QColor(232, 238, 246));
    p.end();

    // The mask: black is cut away; white rounded corners keep the window.
    QImage mask(w, h, QImage::Format_RGB32);
    mask.fill(Qt::black);
    QPainter m(&mask);
    m.setRenderHint(QPainter::Antialiasing, false);
    m.setBrush(Qt::white);
    m.setPen(Qt::NoPen);
    m.drawRoundedRect(QRect(0, 0, w, h), 18, 18);
    m.end();

    if (!kelo::shell::WritePictureLibrary(QString::fromLocal8Bit(argv[1]), splash, mask)) {
        std::fprintf(stderr, "mkmainimg: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
