#pragma once

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QRegion>
#include <QWidget>

namespace kelo::shell {

// A monochrome mask: rows top to bottom, one bit per pixel, most significant
// bit first, each row padded to a multiple of 16 bits.
struct MonoMask {
    int width = 0, height = 0;
    QByteArray bits; // height rows of rowBytes()
    int rowBytes() const { return (width + 15) / 16 * 2; }
};

// The window region of a mask: pixels whose bit is 0 belong to the window; a bit
// of 1, a bit the mask does not deliver, the padding columns and every row at or
// below windowHeight do not. Rectangles are joined run by run, row by row.
QRegion BuildMaskRegion(const MonoMask &mask, int windowHeight);

// The picture library: a file of named bitmaps, "MainImg.kimg", found next to
// the executable or in the system's data directories (kelo/MainImg.kimg).
//   "KELO-MAINIMG 1\n", then per bitmap "NAME LENGTH\n" and LENGTH bytes.
// SPLASH is a PNG picture; SMASK a PBM (P4) bitmap whose black pixels are cut away.
struct PictureLibrary {
    QImage splash;
    MonoMask mask;
    bool loaded = false;
};
QString FindPictureLibrary();
PictureLibrary LoadPictureLibrary(const QString &path);
// Writes a library (the build makes the project's own with mkmainimg).
bool WritePictureLibrary(const QString &path, const QImage &splash, const QImage &mask);
MonoMask MaskFromPbm(const QByteArray &pbm);

// "%d.%d.%d.%d" of the build's version, or empty text when the build has none.
QString GetVersionText();

// The splash window: the picture, the shadowed application title and the version,
// shaped by the mask.
class TfrmZZC010 : public QWidget {
    Q_OBJECT
public:
    explicit TfrmZZC010(const QString &libraryPath = FindPictureLibrary());

    QLabel *imgImage;
    QLabel *lblProjectNameShadow;
    QLabel *lblProjectName;
    QLabel *lblVersion;
    QLabel *lblCopyright;

    // The window's shape; empty when the picture library is missing, and then
    // nothing of the splash shows (the program does not show it at all).
    const QRegion &region() const { return m_region; }

private:
    QRegion m_region;
};

} // namespace kelo::shell
