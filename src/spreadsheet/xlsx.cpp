// The .xlsx workbook: its workbook, relationships, shared strings and styles, and the active
// sheet streamed cell by cell.

#include "spreadsheet/reader_p.h"
#include "spreadsheet/zip.h"

#include <algorithm>
#include <map>
#include <string>
#include <string_view>

namespace kelo {

using namespace sheet;

namespace {

// Column index of the letters of a cell reference ("AB12" → 27, the row in *row); -1 when
// the reference is not one or goes past XFD / row 1048576.
int ParseCellRef(std::string_view ref, int *row) {
    size_t i = 0;
    int column = 0;
    while (i < ref.size() &&
           ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        column = column * 26 + ((ref[i] & ~0x20) - 'A' + 1);
        if (column > SpreadsheetReader::kMaxColumns)
            return -1;
        ++i;
    }
    if (i == 0)
        return -1;
    qint64 r = 0;
    const size_t digits = i;
    while (i < ref.size() && ref[i] >= '0' && ref[i] <= '9') {
        r = r * 10 + (ref[i] - '0');
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
        for (auto t = xml.next(); t != ZipXml::Invalid && t != ZipXml::EndDocument;
             t = xml.next()) {
            if (t != ZipXml::StartElement)
                continue;
            const std::string_view name = xml.name();
            if (name == "workbookPr") {
                date1904 = IsTrue(xml.attribute("date1904"));
            } else if (name == "workbookView" && xml.hasAttribute("activeTab")) {
                active = ToInt(xml.attribute("activeTab"));
            } else if (name == "sheet") {
                sheets.push_back(
                    {ToQString(xml.attribute("name")), ToQString(xml.attributeByLocalName("id"))});
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
        const QByteArray sheetRel = sheets[size_t(active)].rel.toUtf8();
        for (auto t = xml.next(); t != ZipXml::Invalid && t != ZipXml::EndDocument;
             t = xml.next()) {
            if (t != ZipXml::StartElement || xml.name() != "Relationship")
                continue;
            if (xml.attribute("TargetMode") == "External")
                continue;
            const QString target = ResolvePart(workbookPart, ToQString(xml.attribute("Target")));
            const std::string_view type = xml.attribute("Type");
            if (xml.attribute("Id") == std::string_view(sheetRel.constData(), sheetRel.size()))
                sheetPart = target;
            else if (type.ends_with("/sharedStrings"))
                sharedPart = target;
            else if (type.ends_with("/styles"))
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
    std::string text;
    int depthInRph = 0;
    bool inT = false;
    for (auto t = xml.next(); t != ZipXml::Invalid; t = xml.next()) {
        if (t == ZipXml::EndDocument)
            return true;
        if (t == ZipXml::StartElement) {
            const std::string_view name = xml.name();
            if (name == "si")
                text.clear();
            else if (name == "rPh")
                ++depthInRph; // the phonetic reading is not part of the text
            else if (name == "t")
                inT = depthInRph == 0;
        } else if (t == ZipXml::EndElement) {
            const std::string_view name = xml.name();
            if (name == "si") {
                if (int(shared.size()) >= limits.sharedStrings)
                    return xml.fail(SpreadsheetError::TooBig, QStringLiteral("공유 문자열 수"));
                shared.push_back(ToQString(text));
            } else if (name == "rPh") {
                --depthInRph;
            } else if (name == "t") {
                inT = false;
            }
        } else if (t == ZipXml::Characters && inT) {
            text += xml.text();
            if (PastCellChars(text, limits.cellChars))
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
    for (auto t = xml.next(); t != ZipXml::Invalid; t = xml.next()) {
        if (t == ZipXml::EndDocument) {
            dateStyles.reserve(xfFormats.size());
            for (const int id : xfFormats) {
                const auto f = formats.find(id);
                dateStyles.push_back(
                    IsDateFormat(id, f == formats.end() ? QStringView() : QStringView(f->second)));
            }
            return true;
        }
        const std::string_view name = xml.name();
        if (t == ZipXml::StartElement) {
            if (name == "numFmt") {
                if (formats.size() < 100000)
                    formats[ToInt(xml.attribute("numFmtId"))] =
                        ToQString(xml.attribute("formatCode"));
            } else if (name == "cellXfs") {
                inCellXfs = true;
            } else if (name == "xf" && inCellXfs) {
                if (xfFormats.size() >= 1000000)
                    return xml.fail(SpreadsheetError::TooBig, QStringLiteral("서식 수"));
                xfFormats.push_back(ToInt(xml.attribute("numFmtId")));
            }
        } else if (t == ZipXml::EndElement && name == "cellXfs") {
            inCellXfs = false;
        }
    }
    return false;
}

namespace {

// The types of an .xlsx cell (its t attribute).
enum class CellType { Number, Shared, Boolean, Date, Other };

CellType TypeOf(std::string_view t) {
    if (t.empty() || t == "n")
        return CellType::Number;
    if (t == "s")
        return CellType::Shared;
    if (t == "b")
        return CellType::Boolean;
    if (t == "d")
        return CellType::Date;
    return CellType::Other; // inlineStr, str, e
}

// A shared string's index: digits, or what QString makes of the trimmed text; -1 when it is
// none.
int SharedIndex(const std::string &value) {
    bool ok = false;
    int i = ToInt(value, &ok);
    if (!ok)
        i = ToQString(value).trimmed().toInt(&ok);
    return ok ? i : -1;
}

} // namespace

QString SpreadsheetReader::Private::xlsxCellText(int type, int style, std::string &value) const {
    if (value.empty())
        return QString(); // no value, whatever the type says
    switch (CellType(type)) {
    case CellType::Number: {
        bool ok = false;
        const double v = ToDouble(value, &ok);
        if (!ok)
            return ToQString(value);
        if (style >= 0 && style < int(dateStyles.size()) && dateStyles[size_t(style)])
            return SpreadsheetReader::SerialDateText(v, date1904);
        return SpreadsheetReader::NumberText(v);
    }
    case CellType::Shared: {
        const int i = SharedIndex(value);
        if (i < 0 || i >= int(shared.size()))
            return QString(); // the caller reports the bad index
        return shared[size_t(i)];
    }
    case CellType::Boolean:
        return IsTrue(value) ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case CellType::Date: {
        const QString text = ToQString(value);
        const QString date = SpreadsheetReader::IsoDateText(text);
        return date.isEmpty() ? text : date;
    }
    case CellType::Other:
        break;
    }
    return ToQString(value);
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
    std::string value; // the current cell's value, UTF-8
    for (auto t = xml.next(); t != ZipXml::Invalid; t = xml.next()) {
        if (t == ZipXml::EndDocument)
            return Walk::Finished;
        if (t == ZipXml::EndElement && xml.name() == "sheetData")
            return xml.finish() ? Walk::Finished : Walk::Failed;
        if (t != ZipXml::StartElement)
            continue;
        const std::string_view name = xml.name();
        if (name == "row") {
            const std::string_view r = xml.attribute("r");
            const int previous = rowElements++ == 0 ? 0 : row;
            if (r.empty()) {
                ++row;
            } else {
                bool ok = false;
                const int n = ToInt(r, &ok);
                if (!ok || n < 1)
                    return xml.fail(SpreadsheetError::Damaged,
                                    QStringLiteral("행 번호 ") + ToQString(r)),
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
        } else if (name == "c") {
            const std::string_view ref = xml.attribute("r");
            if (ref.empty()) {
                ++column;
            } else {
                int refRow = 0;
                const int c = ParseCellRef(ref, &refRow);
                if (c < 0)
                    return xml.fail(SpreadsheetError::Damaged,
                                    QStringLiteral("셀 주소 ") + ToQString(ref)),
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
            // The attributes are views into the parser's buffer: taken before it reads on.
            const CellType type = TypeOf(xml.attribute("t"));
            const int style = xml.hasAttribute("s") ? ToInt(xml.attribute("s")) : -1;
            // The cell's value: <v> or the text runs of <is>, never the formula <f>.
            value.clear();
            int depth = 1;
            int inRph = 0;
            bool take = false;
            while (depth > 0) {
                const auto k = xml.next();
                if (k == ZipXml::Invalid || k == ZipXml::EndDocument)
                    return Walk::Failed;
                if (k == ZipXml::StartElement) {
                    ++depth;
                    const std::string_view n = xml.name();
                    if (n == "rPh")
                        ++inRph;
                    else if (n == "v" || n == "t")
                        take = inRph == 0;
                } else if (k == ZipXml::EndElement) {
                    --depth;
                    const std::string_view n = xml.name();
                    if (n == "rPh")
                        --inRph;
                    else if (n == "v" || n == "t")
                        take = false;
                } else if (k == ZipXml::Characters && take) {
                    value += xml.text();
                    if (PastCellChars(value, limits.cellChars))
                        return xml.fail(SpreadsheetError::TooBig, QStringLiteral("셀 텍스트")),
                               Walk::Failed;
                }
            }
            bool empty = value.empty();
            if (type == CellType::Shared && !empty) {
                const int i = SharedIndex(value);
                if (i < 0 || i >= int(shared.size()))
                    return xml.fail(SpreadsheetError::Damaged,
                                    QStringLiteral("공유 문자열 번호 ") + ToQString(value)),
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
            QString text = xlsxCellText(int(type), style, value);
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
