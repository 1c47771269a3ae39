// The .ods document: the active table of settings.xml, streamed from content.xml.

#include "spreadsheet/reader_p.h"
#include "spreadsheet/zip.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kelo {

using namespace sheet;

bool SpreadsheetReader::Private::openOds() {
    kind = Kind::Ods;
    QByteArray manifest;
    if (ReadZipEntry(*zip, QStringLiteral("META-INF/manifest.xml"), limits.partBytes, manifest) &&
        manifest.contains("encryption-data"))
        return fail(SpreadsheetError::Encrypted);
    // The active table as the settings name it; else the first one.
    if (zip->has(QStringLiteral("settings.xml"))) {
        ZipXml xml(*zip, failure);
        if (!xml.open(QStringLiteral("settings.xml"), limits.partBytes))
            return false;
        for (auto t = xml.next(); t != QXmlStreamReader::Invalid; t = xml.next()) {
            if (t == QXmlStreamReader::EndDocument)
                break;
            if (t == QXmlStreamReader::StartElement && xml.xml.name() == u"config-item" &&
                xml.xml.attributes().value(QLatin1String("config:name")) == u"ActiveTable") {
                QString name;
                if (!xml.text(name, 1024))
                    return false;
                sheet = name;
                break;
            }
        }
        if (failure.kind != SpreadsheetError::None)
            return false;
    }
    // Find the table names in content.xml without reading the tables' rows.
    ZipXml xml(*zip, failure);
    if (!xml.open(QStringLiteral("content.xml"), limits.sheetBytes))
        return false;
    QString first;
    bool any = false, found = false;
    for (auto t = xml.next(); t != QXmlStreamReader::Invalid; t = xml.next()) {
        if (t == QXmlStreamReader::EndDocument)
            break;
        if (t == QXmlStreamReader::StartElement && xml.xml.name() == u"table" &&
            xml.xml.namespaceUri().endsWith(u":table:1.0")) {
            const QString name = xml.xml.attributes().value(QLatin1String("table:name")).toString();
            if (!any)
                first = name;
            any = true;
            if (!sheet.isEmpty() && name == sheet) {
                found = true;
                break;
            }
            if (!xml.skip())
                return false;
        }
    }
    if (failure.kind != SpreadsheetError::None)
        return false;
    if (!any)
        return fail(SpreadsheetError::NoSheet);
    if (!found)
        sheet = first;
    return true;
}

Walk SpreadsheetReader::Private::walkOds(int columns, const CellSink &sink) {
    ZipXml xml(*zip, failure);
    if (!xml.open(QStringLiteral("content.xml"), limits.sheetBytes))
        return Walk::Failed;
    // Up to the table.
    for (;;) {
        const auto t = xml.next();
        if (t == QXmlStreamReader::Invalid || t == QXmlStreamReader::EndDocument)
            return failure.kind != SpreadsheetError::None ? Walk::Failed : Walk::Finished;
        if (t == QXmlStreamReader::StartElement && xml.xml.name() == u"table" &&
            xml.xml.namespaceUri().endsWith(u":table:1.0")) {
            if (xml.xml.attributes().value(QLatin1String("table:name")) == sheet)
                break;
            if (!xml.skip())
                return Walk::Failed;
        }
    }
    int row = 1; // the number of the next row
    std::vector<std::pair<int, QString>> cells;
    int depth = 1; // inside the table
    while (depth > 0) {
        const auto t = xml.next();
        if (t == QXmlStreamReader::Invalid)
            return Walk::Failed;
        if (t == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (t != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.xml.name();
        if (name != u"table-row") {
            // column definitions, header-row and row-group wrappers; a nested table is skipped
            if (name == u"table" || name == u"table-columns" || name == u"table-column" ||
                name == u"shapes" || name == u"named-expressions") {
                if (!xml.skip())
                    return Walk::Failed;
            } else {
                ++depth;
            }
            continue;
        }
        qint64 rowRepeat = 1;
        const QStringView rr =
            xml.xml.attributes().value(QLatin1String("table:number-rows-repeated"));
        if (!rr.isEmpty())
            rowRepeat = std::max<qint64>(1, rr.toLongLong());
        cells.clear();
        int column = 0;
        // The cells of the row.
        for (;;) {
            const auto k = xml.next();
            if (k == QXmlStreamReader::Invalid)
                return Walk::Failed;
            if (k == QXmlStreamReader::EndElement)
                break; // </table:table-row>
            if (k != QXmlStreamReader::StartElement)
                continue;
            const QStringView cellName = xml.xml.name();
            if (cellName != u"table-cell" && cellName != u"covered-table-cell") {
                if (!xml.skip())
                    return Walk::Failed;
                continue;
            }
            const QXmlStreamAttributes a = xml.xml.attributes();
            qint64 repeat = 1;
            const QStringView cr = a.value(QLatin1String("table:number-columns-repeated"));
            if (!cr.isEmpty())
                repeat = std::max<qint64>(1, cr.toLongLong());
            const QStringView type = a.value(QLatin1String("office:value-type"));
            QString text;
            if (type == u"float" || type == u"percentage" || type == u"currency") {
                bool ok = false;
                const double v = a.value(QLatin1String("office:value")).toDouble(&ok);
                if (ok)
                    text = counting ? QStringLiteral("0") : SpreadsheetReader::NumberText(v);
            } else if (type == u"date") {
                text = SpreadsheetReader::IsoDateText(a.value(QLatin1String("office:date-value")));
            } else if (type == u"time") {
                // PThhHmmMss[.fff]S
                const QStringView v = a.value(QLatin1String("office:time-value"));
                double h = 0, m = 0, s = 0;
                qsizetype start = v.indexOf(u'T') + 1;
                for (qsizetype i = start; i < v.size(); ++i) {
                    const QChar c = v[i];
                    if (c == u'H' || c == u'M' || c == u'S') {
                        const double n = v.mid(start, i - start).toDouble();
                        (c == u'H' ? h : c == u'M' ? m : s) = n;
                        start = i + 1;
                    }
                }
                if (start > 0)
                    text = TimeText(std::llround(h * 3600 + m * 60 + s));
            } else if (type == u"boolean") {
                text = IsTrue(a.value(QLatin1String("office:boolean-value")))
                           ? QStringLiteral("TRUE")
                           : QStringLiteral("FALSE");
            }
            // The paragraphs: the text of strings, and of cells without a value of their own.
            QString paragraphs;
            int cellDepth = 1;
            int annotation = 0;
            bool firstParagraph = true;
            while (cellDepth > 0) {
                const auto e = xml.next();
                if (e == QXmlStreamReader::Invalid)
                    return Walk::Failed;
                const QStringView n = xml.xml.name();
                if (e == QXmlStreamReader::StartElement) {
                    ++cellDepth;
                    if (n == u"annotation") {
                        ++annotation;
                    } else if (annotation == 0) {
                        if (n == u"p" || n == u"h") {
                            if (!firstParagraph)
                                paragraphs += u'\n';
                            firstParagraph = false;
                        } else if (n == u"s") {
                            const QStringView c =
                                xml.xml.attributes().value(QLatin1String("text:c"));
                            const int count = c.isEmpty() ? 1 : c.toInt();
                            if (count > 0 && count <= limits.cellChars)
                                paragraphs += QString(count, u' ');
                        } else if (n == u"tab") {
                            paragraphs += u'\t';
                        } else if (n == u"line-break") {
                            paragraphs += u'\n';
                        }
                    }
                } else if (e == QXmlStreamReader::EndElement) {
                    --cellDepth;
                    if (n == u"annotation")
                        --annotation;
                } else if (e == QXmlStreamReader::Characters && annotation == 0 && cellDepth > 1) {
                    paragraphs += xml.xml.text();
                }
                if (paragraphs.size() > limits.cellChars)
                    return xml.fail(SpreadsheetError::TooBig, QStringLiteral("셀 텍스트")),
                           Walk::Failed;
            }
            if (text.isEmpty() && (type.isEmpty() || type == u"string" || type == u"float" ||
                                   type == u"percentage" || type == u"currency"))
                text = paragraphs;
            if (!text.isEmpty()) {
                if (column + repeat > kMaxColumns)
                    return xml.fail(SpreadsheetError::TooBig, QStringLiteral("열 번호")),
                           Walk::Failed;
                // Counting needs one cell of the row; reading, the columns asked for.
                const qint64 take = counting ? std::min<qint64>(repeat, cells.empty() ? 1 : 0)
                                             : std::min<qint64>(repeat, columns - column);
                for (qint64 i = 0; i < take; ++i)
                    cells.emplace_back(int(column + i), text);
            }
            column = int(std::min<qint64>(column + repeat, INT_MAX / 2));
        }
        if (!cells.empty()) {
            if (row + rowRepeat - 1 > kMaxRows)
                return xml.fail(SpreadsheetError::TooBig, QStringLiteral("행 번호")), Walk::Failed;
            // Counting needs only the last of the repeated rows.
            for (qint64 i = counting ? rowRepeat - 1 : 0; i < rowRepeat; ++i)
                for (const auto &[c, text] : cells)
                    if (!sink(int(row + i), c, QString(text)))
                        return Walk::Stopped;
        }
        row = int(std::min<qint64>(row + rowRepeat, qint64(kMaxRows) + 1));
    }
    return Walk::Finished;
}

} // namespace kelo
