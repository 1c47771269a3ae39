#include "common/reportcatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <tuple>

namespace kelo {

namespace {

// What the catalogue reads of one file: the root's attributes and the declared parameters,
// or for a variant its base and the names it fixes.
struct Scanned {
    CatalogueEntry entry;
    QString extends;
    QStringList fixed;
    QString error;
};

Scanned Scan(const QString &path) {
    Scanned s;
    s.entry.file = QFileInfo(path).fileName();
    QFile file(path);
    if (file.size() > kMaxDefinitionBytes || !file.open(QIODevice::ReadOnly)) {
        s.error =
            QStringLiteral("cannot be read or is larger than %1 bytes").arg(kMaxDefinitionBytes);
        return s;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("report")) {
        s.error = QStringLiteral("not a report definition");
        return s;
    }
    const QXmlStreamAttributes root = xml.attributes();
    s.entry.name = root.value(QStringLiteral("name")).toString();
    s.entry.title = root.value(QStringLiteral("title")).toString();
    if (s.entry.title.isEmpty())
        s.entry.title = s.entry.name;
    s.entry.folder = root.value(QStringLiteral("folder")).toString().trimmed();
    s.entry.programs =
        root.value(QStringLiteral("programs"))
            .toString()
            .toUpper()
            .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    s.extends = root.value(QStringLiteral("extends")).toString();
    while (xml.readNextStartElement()) {
        const QStringView element = xml.name();
        if (element == QLatin1String("param")) { // a variant's fixed value
            s.fixed << xml.attributes().value(QStringLiteral("name")).toString();
            xml.skipCurrentElement();
        } else if (element == QLatin1String("parameters")) {
            while (xml.readNextStartElement()) {
                const QXmlStreamAttributes a = xml.attributes();
                if (a.value(QStringLiteral("prompt")) == QLatin1String("false")) {
                    xml.skipCurrentElement(); // a switch of its variants: not asked
                    continue;
                }
                CatalogueParameter p;
                p.name = a.value(QStringLiteral("name")).toString();
                p.caption = a.value(QStringLiteral("caption")).toString().trimmed();
                if (p.caption.isEmpty())
                    p.caption = p.name;
                p.type = a.value(QStringLiteral("type")).toString();
                if (p.type.isEmpty())
                    p.type = QStringLiteral("text");
                p.position = a.value(QStringLiteral("position")).toInt();
                s.entry.parameters.push_back(p);
                xml.skipCurrentElement();
            }
        } else {
            break; // the data sets and bands: nothing of the catalogue's
        }
    }
    if (xml.hasError() && xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        s.error = xml.errorString();
    else if (s.entry.name.isEmpty())
        s.error = QStringLiteral("the report has no name");
    return s;
}

QJsonObject ToJson(const CatalogueEntry &e) {
    QJsonArray parameters;
    for (const CatalogueParameter &p : e.parameters)
        parameters.append(QJsonObject{{QStringLiteral("name"), p.name},
                                      {QStringLiteral("caption"), p.caption},
                                      {QStringLiteral("type"), p.type},
                                      {QStringLiteral("position"), p.position}});
    return QJsonObject{{QStringLiteral("file"), e.file},
                       {QStringLiteral("name"), e.name},
                       {QStringLiteral("title"), e.title},
                       {QStringLiteral("folder"), e.folder},
                       {QStringLiteral("programs"), QJsonArray::fromStringList(e.programs)},
                       {QStringLiteral("parameters"), parameters}};
}

} // namespace

QByteArray CatalogueIndex(const QString &folder) {
    QHash<QString, Scanned> byFile; // by lower-case file name, as the viewer finds bases
    const QDir dir(folder);
    for (const QFileInfo &info :
         dir.entryInfoList({QStringLiteral("*.mrd")}, QDir::Files | QDir::Readable, QDir::Name))
        byFile.insert(info.fileName().toLower(), Scan(info.filePath()));

    std::vector<CatalogueEntry> reports;
    QJsonArray refused;
    for (const Scanned &s : std::as_const(byFile)) {
        CatalogueEntry e = s.entry;
        QString error = s.error;
        // A variant: its base's parameters without those fixed; folder and programs its own
        // or else its base's.
        QStringList fixed = s.fixed;
        QString extends = s.extends;
        for (int depth = 0; error.isEmpty() && !extends.isEmpty(); ++depth) {
            const auto base = byFile.constFind((extends + QStringLiteral(".mrd")).toLower());
            if (depth == kMaxVariantDepth || base == byFile.constEnd() || !base->error.isEmpty()) {
                error = QStringLiteral("its base %1 cannot be read").arg(extends);
                break;
            }
            if (e.folder.isEmpty())
                e.folder = base->entry.folder;
            if (e.programs.isEmpty())
                e.programs = base->entry.programs;
            fixed += base->fixed;
            e.parameters = base->entry.parameters;
            extends = base->extends;
        }
        if (!error.isEmpty()) {
            refused.append(
                QJsonObject{{QStringLiteral("file"), e.file}, {QStringLiteral("reason"), error}});
            continue;
        }
        std::erase_if(e.parameters,
                      [&fixed](const CatalogueParameter &p) { return fixed.contains(p.name); });
        reports.push_back(std::move(e));
    }
    std::sort(reports.begin(), reports.end(), [](const CatalogueEntry &a, const CatalogueEntry &b) {
        // Reports without a folder come last.
        return std::make_tuple(a.folder.isEmpty(), a.folder, a.title, a.file) <
               std::make_tuple(b.folder.isEmpty(), b.folder, b.title, b.file);
    });
    QJsonArray list;
    for (const CatalogueEntry &e : reports)
        list.append(ToJson(e));
    return QJsonDocument(
               QJsonObject{{QStringLiteral("reports"), list}, {QStringLiteral("refused"), refused}})
        .toJson(QJsonDocument::Compact);
}

std::vector<CatalogueEntry> ReadCatalogueIndex(const QByteArray &json, QString *error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull() || !doc.isObject() ||
        !doc.object().value(QStringLiteral("reports")).isArray()) {
        if (error)
            *error = doc.isNull() ? parseError.errorString()
                                  : QStringLiteral("the answer is not a report index");
        return {};
    }
    std::vector<CatalogueEntry> out;
    for (const QJsonValue &v : doc.object().value(QStringLiteral("reports")).toArray()) {
        const QJsonObject o = v.toObject();
        CatalogueEntry e;
        e.file = o.value(QStringLiteral("file")).toString();
        e.name = o.value(QStringLiteral("name")).toString();
        e.title = o.value(QStringLiteral("title")).toString();
        e.folder = o.value(QStringLiteral("folder")).toString();
        for (const QJsonValue &p : o.value(QStringLiteral("programs")).toArray())
            e.programs << p.toString();
        for (const QJsonValue &pv : o.value(QStringLiteral("parameters")).toArray()) {
            const QJsonObject p = pv.toObject();
            e.parameters.push_back({p.value(QStringLiteral("name")).toString(),
                                    p.value(QStringLiteral("caption")).toString(),
                                    p.value(QStringLiteral("type")).toString(),
                                    p.value(QStringLiteral("position")).toInt()});
        }
        // Only names a location can carry as they are: no folder parts, no query or fragment,
        // no escapes or control characters.
        static const QRegularExpression unsafe(QStringLiteral("[/\\\\?#%\\x00-\\x1f\\x7f]"));
        if (e.file.endsWith(QStringLiteral(".mrd")) && e.file != QStringLiteral(".mrd") &&
            !unsafe.match(e.file).hasMatch())
            out.push_back(std::move(e));
    }
    if (error)
        error->clear();
    return out;
}

bool MayOpen(const CatalogueEntry &entry, const QSet<QString> &permittedPrograms) {
    if (entry.programs.isEmpty())
        return true;
    return std::any_of(entry.programs.begin(), entry.programs.end(),
                       [&](const QString &id) { return permittedPrograms.contains(id); });
}

} // namespace kelo
