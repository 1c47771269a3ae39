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
        for (auto t = xml.next(); t != ZipXml::Invalid; t = xml.next()) {
            if (t == ZipXml::EndDocument)
                break;
            if (t == ZipXml::StartElement && xml.name() == "config-item" &&
                xml.attribute("config:name") == "ActiveTable") {
                QString name;
                if (!xml.text(name, 1024) || !xml.finish())
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
    for (auto t = xml.next(); t != ZipXml::Invalid; t = xml.next()) {
        if (t == ZipXml::EndDocument)
            break;
        if (t == ZipXml::StartElement && xml.name() == "table" &&
            xml.namespaceUri().ends_with(":table:1.0")) {
            const QString name = ToQString(xml.attribute("table:name"));
            if (!any)
                first = name;
            any = true;
            // without an active table in the settings the first one is it: the rest of the
            // part need not be read
            if (sheet.isEmpty() || name == sheet) {
                found = true;
                sheet = name;
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
        if (t == ZipXml::Invalid || t == ZipXml::EndDocument)
            return failure.kind != SpreadsheetError::None ? Walk::Failed : Walk::Finished;
        if (t == ZipXml::StartElement && xml.name() == "table" &&
            xml.namespaceUri().ends_with(":table:1.0")) {
            if (ToQString(xml.attribute("table:name")) == sheet)
                break;
            if (!xml.skip())
                return Walk::Failed;
        }
    }
    int row = 1; // the number of the next row
    std::vector<std::pair<int, QString>> cells;
    std::string paragraphs; // a cell's paragraphs, UTF-8
    int depth = 1;          // inside the table
    while (depth > 0) {
        const auto t = xml.next();
        if (t == ZipXml::Invalid)
            return Walk::Failed;
        if (t == ZipXml::EndElement) {
            --depth;
            continue;
        }
        if (t != ZipXml::StartElement)
            continue;
        const std::string_view name = xml.name();
        if (name != "table-row") {
            // column definitions, header-row and row-group wrappers; a nested table is skipped
            if (name == "table" || name == "table-columns" || name == "table-column" ||
                name == "shapes" || name == "named-expressions") {
                if (!xml.skip())
                    return Walk::Failed;
            } else {
                ++depth;
            }
            continue;
        }
        qint64 rowRepeat = 1;
        const std::string_view rr = xml.attribute("table:number-rows-repeated");
        if (!rr.empty())
            rowRepeat = std::max<qint64>(1, ToLongLong(rr));
        cells.clear();
        int column = 0;
        // The cells of the row.
        for (;;) {
            const auto k = xml.next();
            if (k == ZipXml::Invalid || k == ZipXml::EndDocument)
                return Walk::Failed;
            if (k == ZipXml::EndElement)
                break; // </table:table-row>
            if (k != ZipXml::StartElement)
                continue;
            const std::string_view cellName = xml.name();
            if (cellName != "table-cell" && cellName != "covered-table-cell") {
                if (!xml.skip())
                    return Walk::Failed;
                continue;
            }
            // The attributes are views into the parser's buffer: taken before it reads on.
            qint64 repeat = 1;
            const std::string_view cr = xml.attribute("table:number-columns-repeated");
            if (!cr.empty())
                repeat = std::max<qint64>(1, ToLongLong(cr));
            const std::string_view type = xml.attribute("office:value-type");
            const bool numeric = type == "float" || type == "percentage" || type == "currency";
            // whether the paragraphs are the text when the value gives none
            const bool paragraphText = type.empty() || type == "string" || numeric;
            QString text;
            if (numeric) {
                bool ok = false;
                const double v = ToDouble(xml.attribute("office:value"), &ok);
                if (ok)
                    text = counting ? QStringLiteral("0") : SpreadsheetReader::NumberText(v);
            } else if (type == "date") {
                text =
                    SpreadsheetReader::IsoDateText(ToQString(xml.attribute("office:date-value")));
            } else if (type == "time") {
                // PThhHmmMss[.fff]S
                const QString v = ToQString(xml.attribute("office:time-value"));
                double h = 0, m = 0, s = 0;
                qsizetype start = v.indexOf(u'T') + 1;
                for (qsizetype i = start; i < v.size(); ++i) {
                    const QChar c = v[i];
                    if (c == u'H' || c == u'M' || c == u'S') {
                        const double n = QStringView(v).mid(start, i - start).toDouble();
                        (c == u'H' ? h : c == u'M' ? m : s) = n;
                        start = i + 1;
                    }
                }
                if (start > 0)
                    text = TimeText(std::llround(h * 3600 + m * 60 + s));
            } else if (type == "boolean") {
                text = IsTrue(xml.attribute("office:boolean-value")) ? QStringLiteral("TRUE")
                                                                     : QStringLiteral("FALSE");
            }
            // The paragraphs: the text of strings, and of cells without a value of their own.
            paragraphs.clear();
            int cellDepth = 1;
            int annotation = 0;
            bool firstParagraph = true;
            while (cellDepth > 0) {
                const auto e = xml.next();
                if (e == ZipXml::Invalid || e == ZipXml::EndDocument)
                    return Walk::Failed;
                if (e == ZipXml::StartElement) {
                    const std::string_view n = xml.name();
                    ++cellDepth;
                    if (n == "annotation") {
                        ++annotation;
                    } else if (annotation == 0) {
                        if (n == "p" || n == "h") {
                            if (!firstParagraph)
                                paragraphs += '\n';
                            firstParagraph = false;
                        } else if (n == "s") {
                            const std::string_view c = xml.attribute("text:c");
                            const int count = c.empty() ? 1 : ToInt(c);
                            if (count > 0 && count <= limits.cellChars)
                                paragraphs.append(size_t(count), ' ');
                        } else if (n == "tab") {
                            paragraphs += '\t';
                        } else if (n == "line-break") {
                            paragraphs += '\n';
                        }
                    }
                } else if (e == ZipXml::EndElement) {
                    --cellDepth;
                    if (xml.name() == "annotation")
                        --annotation;
                } else if (e == ZipXml::Characters && annotation == 0 && cellDepth > 1) {
                    paragraphs += xml.text();
                }
                if (PastCellChars(paragraphs, limits.cellChars))
                    return xml.fail(SpreadsheetError::TooBig, QStringLiteral("셀 텍스트")),
                           Walk::Failed;
            }
            if (text.isEmpty() && paragraphText)
                text = ToQString(paragraphs);
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
    return xml.finish() ? Walk::Finished : Walk::Failed;
}

} // namespace kelo
