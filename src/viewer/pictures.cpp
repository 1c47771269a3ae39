#include "viewer/pictures.h"

#include "common/reportlocations.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace kelo::viewer {

bool IsPictureName(const QString &file) {
    return IsPathInFolder(file) && !file.contains(u':') &&
           std::none_of(file.begin(), file.end(), [](QChar c) { return c.unicode() < 0x20; });
}

DecodedPicture DecodePicture(const QByteArray &bytes) {
    DecodedPicture out;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    // The format by the content, not by the name.
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    if (format != "png" && format != "jpeg" && format != "jpg") {
        out.error = QStringLiteral("PNG나 JPEG 그림이 아닙니다");
        return out;
    }
    const QSize size = reader.size();
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide) {
        out.error = QStringLiteral("그림이 %1×%2 화소로, 한 변이 %3 화소보다 깁니다")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(kMaxPictureSide);
        return out;
    }
    if (!reader.read(&out.image) || out.image.isNull())
        out.error = QStringLiteral("그림을 읽을 수 없습니다: %1").arg(reader.errorString());
    return out;
}

} // namespace kelo::viewer
