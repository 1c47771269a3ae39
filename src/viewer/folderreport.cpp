#include "viewer/folderreport.h"

#include "common/protectedfiles.h"
#include "common/reportcatalogue.h"
#include "viewer/pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace kelo::viewer {

namespace {

// A file inside folder (symbolic links only as far as they stay in it), at most limit bytes;
// nothing and the reason when it cannot be read.
std::optional<QByteArray> ReadInside(const QString &folder, const QString &relative,
                                     const QString &noun, qsizetype limit, QString &error) {
    const QString root = QFileInfo(folder).canonicalFilePath();
    const QFileInfo info(QDir(folder).filePath(relative));
    const QString real = info.canonicalFilePath();
    if (root.isEmpty() || real.isEmpty() || !info.isFile() || !real.startsWith(root + u'/')) {
        error = QStringLiteral("%1 %2이(가) 없습니다").arg(noun, relative);
        return std::nullopt;
    }
    if (IsDatabaseFile(real)) {
        error =
            QStringLiteral("%1은(는) %2이 아닙니다: %3").arg(relative, noun, DatabaseFileReason());
        return std::nullopt;
    }
    if (info.size() > limit) {
        error = QStringLiteral("%1 %2이(가) %3바이트보다 큽니다").arg(noun, relative).arg(limit);
        return std::nullopt;
    }
    QFile file(real);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 %2을(를) 읽을 수 없습니다: %3")
                    .arg(noun, relative, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        error = QStringLiteral("%1 %2이(가) %3바이트보다 큽니다").arg(noun, relative).arg(limit);
        return std::nullopt;
    }
    return bytes;
}

} // namespace

FolderReport LoadFromFolder(const QString &folder, const QString &fileName,
                            db::Connection &connection) {
    FolderReport out;
    std::vector<std::unique_ptr<LoadedReport>> variants; // outermost first
    QStringList chain;
    QString name = fileName;
    for (;;) {
        const std::optional<QByteArray> bytes =
            ReadInside(folder, name, QStringLiteral("보고서 파일"), kMaxDefinitionBytes, out.error);
        if (!bytes)
            return out;
        ParseResult parsed = ParseDefinition(*bytes, name, connection);
        if (!parsed.report) {
            out.error = parsed.error;
            return out;
        }
        if (!parsed.report->isVariant()) {
            out.report = std::move(parsed.report);
            break;
        }
        const QString base = parsed.report->extends + QStringLiteral(".mrd");
        const bool again = chain.contains(base, Qt::CaseInsensitive) ||
                           base.compare(fileName, Qt::CaseInsensitive) == 0;
        chain << base;
        variants.push_back(std::move(parsed.report));
        if (again) {
            out.error = fileName + QStringLiteral(": 보고서가 돌고 돌아 자신을 바탕으로 합니다");
            return out;
        }
        if (variants.size() > size_t(kMaxVariantDepth)) {
            out.error =
                fileName + QStringLiteral(": 바탕 보고서는 %1단계까지입니다").arg(kMaxVariantDepth);
            return out;
        }
        name = base;
    }

    LoadedReport &report = *out.report;
    for (PictureUse &use : report.pictures) {
        QString why;
        const std::optional<QByteArray> bytes =
            IsPictureName(use.file) ? ReadInside(folder, QString(use.file).replace(u'\\', u'/'),
                                                 QStringLiteral("그림 파일"), kMaxPictureBytes, why)
                                    : std::nullopt;
        if (!bytes) {
            out.error = report.message(
                use.place,
                why.isEmpty() ? QStringLiteral("그림 파일 %1이(가) 없습니다").arg(use.file) : why);
            out.report.reset();
            return out;
        }
        DecodedPicture picture = DecodePicture(*bytes);
        if (!picture.error.isEmpty()) {
            out.error = report.message(
                use.place, QStringLiteral("그림 파일 %1: %2").arg(use.file, picture.error));
            out.report.reset();
            return out;
        }
        use.band->items[use.item].picture = std::move(picture.image);
    }

    for (auto it = variants.rbegin(); it != variants.rend(); ++it)
        out.fixed.insert((*it)->fixedValues);
    if (!variants.empty()) {
        report.name = variants.front()->name;
        report.title = variants.front()->title;
        report.definition.name = report.title;
    }
    return out;
}

} // namespace kelo::viewer
