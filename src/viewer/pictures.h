#pragma once

// The pictures a definition places with <image file="...">: PNG or JPEG files beside the
// definition, read from its folder or fetched from its report server folder as the
// definition itself was, each within a size.

#include <QImage>
#include <QString>

namespace kelo::viewer {

// The largest picture file read, and the longest side of a picture in pixels (a small file
// may unpack to a huge picture).
constexpr qsizetype kMaxPictureBytes = 2 * 1024 * 1024;
constexpr int kMaxPictureSide = 4000;

// Whether file may name a picture: a path inside the definition's folder (no "..", "." or
// empty part, no leading separator) without a drive or scheme.
bool IsPictureName(const QString &file);

struct DecodedPicture {
    QImage image;
    QString error; // why the bytes give no picture; empty when they do
};

// The picture the bytes of a PNG or JPEG file hold; refused when they hold no such picture
// or one with a side longer than kMaxPictureSide.
DecodedPicture DecodePicture(const QByteArray &bytes);

} // namespace kelo::viewer
