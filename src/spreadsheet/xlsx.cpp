// The .xlsx workbook: its workbook, relationships, shared strings and styles, and the active
// sheet streamed cell by cell.

#include "spreadsheet/reader_p.h"
#include "spreadsheet/zip.h"

#include <algorithm>

namespace kelo {

using namespace sheet;

namespace {

// Column index of the letters of a cell reference ("AB12" → 27, the row in *row); -1 when
// the reference is not one or goes past XFD / row 1048576.
int ParseCellRef(QStringView ref, int *row) {
    qsizetype i = 0;
    int column = 0;
    while (i < ref.size() && ref[i].isLetter()) {
        const char16_t c = ref[i].toUpper().unicode();
        if (c < u'A' || c > u'Z')
            return -1;
        column = column * 26 + (c - u'A' + 1);
        if (column > SpreadsheetReader::kMaxColumns)
            return -1;
        ++i;
    }
    if (i == 0)
        return -1;
    qint64 r = 0;
    const qsizetype digits = i;
    while (i < ref.size() && ref[i].isDigit()) {
        r = r * 10 + (ref[i].unicode() - u'0');
        if (r > SpreadsheetReader::kMaxRows)
            return -1;
        ++i;
    }
    if (i != ref.size())
        return -1;
    *row = i == digits ? 0 : int(r);
    return column - 1;
}

} // namespace

bool SpreadsheetReader::Private::openXlsx(const QString &workbookPart) {
    kind = Kind::Xlsx;
    struct Sheet {
        QString name, rel;
    };
    std::vector<Sheet> sheets;
    int active = 0;
    {
        ZipXml xml(*zip, failure);
        if (!xml.open(workbookPart, limits.partBytes))
            return false;
        for (auto t = xml.next(); t != QXmlStreamReader::Invalid; t = xml.next()) {
            if (t == QXmlStreamReader::EndDocument)
                break;
            if (t != QXmlStreamReader::StartElement)
                continue;
            const QStringView name = xml.xml.name();
            const QXmlStreamAttributes a = xml.xml.attributes();
            if (name == u"workbookPr") {
                date1904 = IsTrue(a.value(QLatin1String("date1904")));
            } else if (name == u"workbookView" && a.hasAttribute(QLatin1String("activeTab"))) {
                active = a.value(QLatin1String("activeTab")).toInt();
            } else if (name == u"sheet") {
                Sheet s{a.value(QLatin1String("name")).toString(), QString()};
                for (const auto &attr : a)
                    if (attr.name() == u"id")
                        s.rel = attr.value().toString();
                sheets.push_back(s);
            }
        }
        if (failure.kind != SpreadsheetError::None)
            return false;
    }
    if (sheets.empty())
        return fail(SpreadsheetError::NoSheet);
    if (active < 0 || active >= int(sheets.size()))
        active = 0;
    sheet = sheets[size_t(active)].name;

    // The workbook's relationships: the sheet's part, the shared strings and the styles.
    const int slash = workbookPart.lastIndexOf(u'/');
    const QString relsPart = workbookPart.left(slash + 1) + QStringLiteral("_rels/") +
                             workbookPart.mid(slash + 1) + QStringLiteral(".rels");
    QString sharedPart, stylesPart;
    {
        ZipXml xml(*zip, failure);
        if (!xml.open(relsPart, limits.partBytes))
            return false;
        for (auto t = xml.next(); t != QXmlStreamReader::Invalid; t = xml.next()) {
            if (t == QXmlStreamReader::EndDocument)
                break;
            if (t != QXmlStreamReader::StartElement || xml.xml.name() != u"Relationship")
                continue;
            const QXmlStreamAttributes a = xml.xml.attributes();
            if (a.value(QLatin1String("TargetMode")) == u"External")
                continue;
            const QString target =
                ResolvePart(workbookPart, a.value(QLatin1String("Target")).toString());
            const QStringView type = a.value(QLatin1String("Type"));
            if (a.value(QLatin1String("Id")) == sheets[size_t(active)].rel)
                sheetPart = target;
            else if (type.endsWith(u"/sharedStrings"))
                sharedPart = target;
            else if (type.endsWith(u"/styles"))
                stylesPart = target;
        }
        if (failure.kind != SpreadsheetError::None)
            return false;
    }
    if (sheetPart.isEmpty())
        return fail(SpreadsheetError::Damaged, sheet + QStringLiteral(": 시트 파트 없음"));
    if (!sharedPart.isEmpty() && !readSharedStrings(sharedPart))
        return false;
    if (!stylesPart.isEmpty() && !readStyles(stylesPart))
        return false;
    return true;
}

bool SpreadsheetReader::Private::readSharedStrings(const QString &part) {
    ZipXml xml(*zip, failure);
    if (!xml.open(part, limits.partBytes))
        return false;
    QString text;
    int depthInRph = 0;
    bool inT = false;
    for (auto t = xml.next(); t != QXmlStreamReader::Invalid; t = xml.next()) {
        if (t == QXmlStreamReader::EndDocument)
            return true;
        const QStringView name = xml.xml.name();
        if (t == QXmlStreamReader::StartElement) {
            if (name == u"si")
                text.clear();
            else if (name == u"rPh")
                ++depthInRph; // the phonetic reading is not part of the text
            else if (name == u"t")
                inT = depthInRph == 0;
        } else if (t == QXmlStreamReader::EndElement) {
            if (name == u"si") {
                if (int(shared.size()) >= limits.sharedStrings)
                    return xml.fail(SpreadsheetError::TooBig, QStringLiteral("공유 문자열 수"));
                shared.push_back(text);
            } else if (name == u"rPh") {
                --depthInRph;
            } else if (name == u"t") {
                inT = false;
            }
        } else if (t == QXmlStreamReader::Characters && inT) {
            text += xml.xml.text();
            if (text.size() > limits.cellChars)
                return xml.fail(SpreadsheetError::TooBig, QStringLiteral("셀 텍스트"));
        }
    }
    return false;
}

bool SpreadsheetReader::Private::readStyles(const QString &part) {
    ZipXml xml(*zip, failure);
    if (!xml.open(part, limits.partBytes))
        return false;
    std::map<int, QString> formats;
    std::vector<int> xfFormats;
    bool inCellXfs = false;
    for (auto t = xml.next(); t != QXmlStreamReader::Invalid; t = xml.next()) {
        if (t == QXmlStreamReader::EndDocument) {
            dateStyles.reserve(xfFormats.size());
            for (const int id : xfFormats) {
                const auto f = formats.find(id);
                dateStyles.push_back(
                    IsDateFormat(id, f == formats.end() ? QStringView() : QStringView(f->second)));
            }
            return true;
        }
        const QStringView name = xml.xml.name();
        if (t == QXmlStreamReader::StartElement) {
            const QXmlStreamAttributes a = xml.xml.attributes();
            if (name == u"numFmt") {
                if (formats.size() < 100000)
                    formats[a.value(QLatin1String("numFmtId")).toInt()] =
                        a.value(QLatin1String("formatCode")).toString();
            } else if (name == u"cellXfs") {
                inCellXfs = true;
            } else if (name == u"xf" && inCellXfs) {
                if (xfFormats.size() >= 1000000)
                    return xml.fail(SpreadsheetError::TooBig, QStringLiteral("서식 수"));
                xfFormats.push_back(a.value(QLatin1String("numFmtId")).toInt());
            }
        } else if (t == QXmlStreamReader::EndElement && name == u"cellXfs") {
            inCellXfs = false;
        }
    }
    return false;
}

QString SpreadsheetReader::Private::xlsxCellText(QStringView type, int style,
                                                 QString &value) const {
    if (value.isEmpty())
        return QString(); // no value, whatever the type says
    if (type.isEmpty() || type == u"n") {
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok)
            return value;
        if (style >= 0 && style < int(dateStyles.size()) && dateStyles[size_t(style)])
            return SpreadsheetReader::SerialDateText(v, date1904);
        return SpreadsheetReader::NumberText(v);
    }
    if (type == u"s") {
        bool ok = false;
        const int i = value.trimmed().toInt(&ok);
        if (!ok || i < 0 || i >= int(shared.size()))
            return QString(); // the caller reports the bad index
        return shared[size_t(i)];
    }
    if (type == u"b")
        return IsTrue(value) ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (type == u"d") {
        const QString date = SpreadsheetReader::IsoDateText(value);
        return date.isEmpty() ? value : date;
    }
    return std::move(value); // inlineStr, str, e
}

Walk SpreadsheetReader::Private::walkXlsx(int columns, const CellSink &sink) {
    ZipXml xml(*zip, failure);
    if (!xml.open(sheetPart, limits.sheetBytes))
        return Walk::Failed;
    int row = 0;     // the current row, 1-based
    int column = -1; // the last cell's column in it
    int lastRow = 0; // the row of the last cell passed on
    // A row or cell that comes twice would replace the values of its first coming.
    int rowElements = 0;      // <row> elements so far
    int lastRowElement = 0;   // the element that holds lastRow
    std::vector<bool> placed; // the columns of lastRow that have a value
    const auto place = [&](int c) {
        if (row < lastRow)
            return xml.fail(SpreadsheetError::Damaged, QStringLiteral("행 순서"));
        if (row == lastRow && rowElements != lastRowElement)
            return xml.fail(SpreadsheetError::Damaged,
                            QStringLiteral("%1행이 두 번 있습니다").arg(row));
        if (row != lastRow) {
            placed.assign(placed.size(), false);
            lastRow = row;
            lastRowElement = rowElements;
        }
        if (size_t(c) >= placed.size())
            placed.resize(size_t(c) + 1, false);
        if (placed[size_t(c)])
            return xml.fail(SpreadsheetError::Damaged,
                            QStringLiteral("%1행의 %2열 셀이 두 번 있습니다").arg(row).arg(c + 1));
        placed[size_t(c)] = true;
        return true;
    };
    for (auto t = xml.next(); t != QXmlStreamReader::Invalid; t = xml.next()) {
        if (t == QXmlStreamReader::EndDocument)
            return Walk::Finished;
        if (t == QXmlStreamReader::EndElement && xml.xml.name() == u"sheetData")
            return Walk::Finished;
        if (t != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = xml.xml.name();
        if (name == u"row") {
            const QStringView r = xml.xml.attributes().value(QLatin1String("r"));
            const int previous = rowElements++ == 0 ? 0 : row;
            if (r.isEmpty()) {
                ++row;
            } else {
                bool ok = false;
                const int n = r.toInt(&ok);
                if (!ok || n < 1)
                    return xml.fail(SpreadsheetError::Damaged,
                                    QStringLiteral("행 번호 ") + r.toString()),
                           Walk::Failed;
                row = n;
            }
            if (row > kMaxRows)
                return xml.fail(SpreadsheetError::TooBig, QStringLiteral("행 번호")), Walk::Failed;
            if (row == previous)
                return xml.fail(SpreadsheetError::Damaged,
                                QStringLiteral("%1행이 두 번 있습니다").arg(row)),
                       Walk::Failed;
            column = -1;
        } else if (name == u"c") {
            const QXmlStreamAttributes a = xml.xml.attributes();
            const QStringView ref = a.value(QLatin1String("r"));
            if (ref.isEmpty()) {
                ++column;
            } else {
                int refRow = 0;
                const int c = ParseCellRef(ref, &refRow);
                if (c < 0)
                    return xml.fail(SpreadsheetError::Damaged,
                                    QStringLiteral("셀 주소 ") + ref.toString()),
                           Walk::Failed;
                column = c;
                if (refRow > 0)
                    row = refRow;
            }
            if (row < 1)
                row = 1;
            if (column >= kMaxColumns)
                return xml.fail(SpreadsheetError::TooBig, QStringLiteral("열 번호")), Walk::Failed;
            if (row < lastRow)
                return xml.fail(SpreadsheetError::Damaged, QStringLiteral("행 순서")), Walk::Failed;
            if (column >= columns) {
                if (!xml.skip())
                    return Walk::Failed;
                continue;
            }
            const QStringView type = a.value(QLatin1String("t"));
            const int style =
                a.hasAttribute(QLatin1String("s")) ? a.value(QLatin1String("s")).toInt() : -1;
            // The cell's value: <v> or the text runs of <is>, never the formula <f>.
            QString value;
            int depth = 1;
            int inRph = 0;
            bool take = false;
            while (depth > 0) {
                const auto k = xml.next();
                if (k == QXmlStreamReader::Invalid)
                    return Walk::Failed;
                if (k == QXmlStreamReader::StartElement) {
                    ++depth;
                    const QStringView n = xml.xml.name();
                    if (n == u"rPh")
                        ++inRph;
                    else if (n == u"v" || n == u"t")
                        take = inRph == 0;
                } else if (k == QXmlStreamReader::EndElement) {
                    --depth;
                    const QStringView n = xml.xml.name();
                    if (n == u"rPh")
                        --inRph;
                    else if (n == u"v" || n == u"t")
                        take = false;
                } else if (k == QXmlStreamReader::Characters && take) {
                    value += xml.xml.text();
                    if (value.size() > limits.cellChars)
                        return xml.fail(SpreadsheetError::TooBig, QStringLiteral("셀 텍스트")),
                               Walk::Failed;
                }
            }
            bool empty = value.isEmpty();
            if (type == u"s" && !empty) {
                bool ok = false;
                const int i = value.trimmed().toInt(&ok);
                if (!ok || i < 0 || i >= int(shared.size()))
                    return xml.fail(SpreadsheetError::Damaged,
                                    QStringLiteral("공유 문자열 번호 ") + value),
                           Walk::Failed;
                empty = shared[size_t(i)].isEmpty();
            }
            if (counting) {
                // Every value but an empty text has a text: numbers, dates, booleans, errors.
                if (!empty) {
                    if (!place(column))
                        return Walk::Failed;
                    if (!sink(row, column, QString()))
                        return Walk::Stopped;
                }
                continue;
            }
            QString text = xlsxCellText(type, style, value);
            if (text.isEmpty())
                continue;
            if (!place(column))
                return Walk::Failed;
            if (!sink(row, column, std::move(text)))
                return Walk::Stopped;
        }
    }
    return Walk::Failed;
}

} // namespace kelo
