// The .xls workbook: BIFF5/BIFF8 in an OLE2 compound file through FreeXL after the records
// have been checked, and the bare BIFF record stream of the program's own export.

#include "common/cp949.h"
#include "spreadsheet/ole2.h"
#include "spreadsheet/reader_p.h"

#include <QFileInfo>

#include <freexl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

namespace kelo {

using namespace sheet;

namespace {

// A BIFF boolean or error cell's text.
QString BoolErrText(int value, bool isError) {
    if (!isError)
        return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    switch (value) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    default:
        return QStringLiteral("#N/A");
    }
}

// An RK number of a BIFF record.
double RkValue(quint32 rk) {
    double v;
    if (rk & 2) {
        v = double(qint32(rk) >> 2);
    } else {
        const quint64 bits = quint64(rk & 0xFFFFFFFCu) << 32;
        std::memcpy(&v, &bits, 8);
    }
    return (rk & 1) ? v / 100 : v;
}

// The cells of a BIFF sheet that have had a value (rows up to 65536, columns up to 256): a
// second value for one of them would silently replace the first.
class PlacedCells {
public:
    PlacedCells() : m_bits((65536 * 256) / 64, 0) {}
    // False when the cell had a value already.
    bool place(int row, int column) {
        if (row < 0 || row >= 65536 || column < 0 || column >= 256)
            return true; // past the format: no other record can name it
        const size_t bit = size_t(row) * 256 + size_t(column);
        const quint64 mask = quint64(1) << (bit % 64);
        if (m_bits[bit / 64] & mask)
            return false;
        m_bits[bit / 64] |= mask;
        return true;
    }
    static QString Why(int row, int column) {
        return QStringLiteral("%1행의 %2열 셀이 두 번 있습니다").arg(row + 1).arg(column + 1);
    }

private:
    std::vector<quint64> m_bits;
};

// The first cell of a sheet's records (from its BOF at `offset`) that two records give a
// value; empty when there is none.
QString DuplicateXlsCell(const QByteArray &stream, quint32 offset) {
    PlacedCells placed;
    for (qsizetype at = offset; at + 4 <= stream.size();) {
        const quint16 id = U16(stream.constData() + at);
        const quint16 len = U16(stream.constData() + at + 2);
        const char *b = stream.constData() + at + 4;
        if (at + 4 + len > stream.size() || (id == 0x000A && at > qsizetype(offset)))
            break;
        at += 4 + len;
        if (len < 6)
            continue;
        const int row = U16(b);
        const int column = U16(b + 2);
        switch (id) {
        case 0x0203: // NUMBER
        case 0x027E: // RK
        case 0x0204: // LABEL
        case 0x00FD: // LABELSST
        case 0x00D6: // RSTRING
        case 0x0205: // BOOLERR
        case 0x0006: // FORMULA
            if (!placed.place(row, column))
                return PlacedCells::Why(row, column);
            break;
        case 0x00BD: // MULRK: 6 bytes a cell between the first column and the last
            for (int c = column, i = 0; 4 + 6 * (i + 1) + 2 <= len; ++c, ++i)
                if (!placed.place(row, c))
                    return PlacedCells::Why(row, c);
            break;
        default:
            break;
        }
    }
    return QString();
}

// Walks the strings of the SST record at `at` and the CONTINUE records that carry it on:
// chars(p, count, wide) for each piece of a string's characters (a string may go on in the
// next record, compressed or not anew), end() after each string. -1 when every string lies
// inside the records, else the offset of the record where one does not.
template <typename Chars, typename End>
qsizetype WalkSst(const char *data, qsizetype size, qsizetype at, Chars &&chars, End &&end) {
    qsizetype record = at; // the record being read
    int recordLen = U16(data + at + 2);
    int pos = 8;
    const quint32 unique = recordLen >= 8 ? U32(data + at + 8) : 0;
    const auto next = [&]() {
        record += 4 + recordLen;
        if (record + 4 > size || U16(data + record) != 0x003C)
            return false;
        recordLen = U16(data + record + 2);
        pos = 0;
        return recordLen <= 8224 && record + 4 + recordLen <= size;
    };
    for (quint32 i = 0; i < unique; ++i) {
        if (pos == recordLen && !next())
            return record;
        if (pos + 3 > recordLen)
            return record;
        const char *h = data + record + 4 + pos;
        qint64 left = U16(h);
        const int flags = uchar(h[2]);
        pos += 3;
        qint64 extra = 0;
        if (flags & 8) { // formatting runs
            if (pos + 2 > recordLen)
                return record;
            extra += 4 * qint64(U16(data + record + 4 + pos));
            pos += 2;
        }
        if (flags & 4) { // phonetic data
            if (pos + 4 > recordLen)
                return record;
            extra += U32(data + record + 4 + pos);
            pos += 4;
        }
        bool wide = flags & 1;
        while (left > 0) {
            if (pos == recordLen) {
                // a string split across records goes on after a new option byte
                if (!next() || recordLen < 1)
                    return record;
                wide = uchar(data[record + 4]) & 1;
                pos = 1;
            }
            const int take = int(std::min<qint64>(left, (recordLen - pos) / (wide ? 2 : 1)));
            if (take == 0)
                return record;
            chars(data + record + 4 + pos, take, wide);
            left -= take;
            pos += take * (wide ? 2 : 1);
        }
        while (extra > 0) { // formatting runs and phonetic data, skipped
            if (pos == recordLen && !next())
                return record;
            const qint64 take = std::min<qint64>(extra, recordLen - pos);
            extra -= take;
            pos += int(take);
        }
        end();
    }
    return -1;
}

// Checks what FreeXL would otherwise trust: every record inside the stream and within the
// format's size, every string inside its record (the shared strings across their CONTINUE
// records), and a sheet size FreeXL can hold. FreeXL copies string lengths as it finds them,
// so a length past its record reads past FreeXL's buffers. False with `detail` (and `tooBig`
// for a size past the limits) when the stream fails a check.
bool CheckBiff(const QByteArray &stream, bool biff8, const SpreadsheetLimits &limits,
               QString &detail, bool &tooBig) {
    const char *data = stream.constData();
    const qsizetype size = stream.size();
    const auto bad = [&](const char *what, qsizetype at) {
        detail = QStringLiteral("%1 @%2").arg(QLatin1String(what)).arg(at);
        return false;
    };
    // The string of cch characters at `at` in a record body of `len` bytes ends inside it.
    const auto fits = [](int header, int cch, bool wide, int len) {
        return header + qint64(cch) * (wide ? 2 : 1) <= len;
    };
    for (qsizetype at = 0; at + 4 <= size;) {
        const quint16 id = U16(data + at);
        const int len = U16(data + at + 2);
        const char *b = data + at + 4;
        if (len > 8224 || at + 4 + len > size)
            return bad("record", at);
        switch (id) {
        case 0x0085: // BOUNDSHEET
            if (len < 7 || (biff8 && (len < 8 || !fits(8, uchar(b[6]), b[7] & 1, len))) ||
                (!biff8 && !fits(7, uchar(b[6]), false, len)))
                return bad("BOUNDSHEET", at);
            break;
        case 0x041E: // FORMAT
            if ((biff8 && (len < 5 || !fits(5, U16(b + 2), b[4] & 1, len))) ||
                (!biff8 && (len < 3 || !fits(3, uchar(b[2]), false, len))))
                return bad("FORMAT", at);
            break;
        case 0x0204: // LABEL
            if ((biff8 && (len < 9 || !fits(9, U16(b + 6), b[8] & 1, len))) ||
                (!biff8 && (len < 8 || !fits(8, U16(b + 6), false, len))))
                return bad("LABEL", at);
            break;
        case 0x0200: { // DIMENSIONS: FreeXL holds every cell of the rectangle
            if (len < (biff8 ? 14 : 10))
                return bad("DIMENSIONS", at);
            const qint64 rows = biff8 ? qint64(U32(b + 4)) : qint64(U16(b + 2));
            const qint64 columns = U16(b + (biff8 ? 10 : 6));
            if (rows > 65536 || columns > 256)
                return bad("DIMENSIONS", at);
            if (rows * columns > 4'194'304 && rows * columns > size * 16) {
                tooBig = true;
                return bad("DIMENSIONS", at);
            }
            break;
        }
        case 0x00FC: { // SST, its strings running on into CONTINUE records
            if (!biff8)
                break;
            if (len < 8)
                return bad("SST", at);
            const quint32 unique = U32(b + 4);
            if (unique > quint32(limits.sharedStrings)) {
                tooBig = true;
                return bad("SST", at);
            }
            const qsizetype badAt = WalkSst(
                data, size, at, [](const char *, int, bool) {}, [] {});
            if (badAt >= 0)
                return bad("SST", badAt);
            break;
        }
        default:
            break;
        }
        at += 4 + len;
    }
    return true;
}

} // namespace

namespace {

// What a date format shows (of a number cell of an .xls): the date, the time of day or both;
// built-in formats by their ids, others by the letters of their code.
DateKind DateKindOf(int id, QStringView code) {
    if (code.isEmpty()) {
        if (id == 22)
            return DateKind::DateTime;
        if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47) || (id >= 32 && id <= 35))
            return DateKind::Time;
        return DateKind::Date;
    }
    const FormatLetters f = ScanFormatCode(code);
    const bool time = f.time;
    const bool date = f.date || (f.month && !time); // "m" beside hours or seconds is minutes
    return date && time ? DateKind::DateTime : time ? DateKind::Time : DateKind::Date;
}

// A number under a date format as the format shows it: the day alone, the time of day alone
// (rounded to the second), or both.
QString DateKindText(DateKind kind, double v, bool date1904) {
    if (!(v >= 0) || v >= 2958466)
        return SpreadsheetReader::NumberText(v);
    const double day = std::floor(v);
    switch (kind) {
    case DateKind::Date:
        // the day before the first (a time alone under a date format) reads as the first
        return SpreadsheetReader::SerialDateText(date1904 ? day : std::max(day, 1.0), date1904);
    case DateKind::Time:
        return TimeText(std::llround((v - day) * 86400.0) % 86400);
    case DateKind::DateTime:
    case DateKind::None:
        break;
    }
    return SpreadsheetReader::SerialDateText(v, date1904);
}

} // namespace

bool SpreadsheetReader::Private::openCompound(QFile &file) {
    Compound cf;
    QString detail;
    if (!cf.open(file, detail))
        return fail(SpreadsheetError::Damaged, detail);
    if (cf.find(u"EncryptedPackage") || cf.find(u"EncryptionInfo"))
        return fail(SpreadsheetError::Encrypted);
    const Compound::Entry *book = cf.find(u"Workbook");
    if (!book)
        book = cf.find(u"Book");
    if (!book)
        return fail(SpreadsheetError::NotSpreadsheet);
    // The workbook globals: the password record, the window's active tab, the sheets with
    // their offsets, the number formats and the cell formats.
    QByteArray stream;
    if (!cf.stream(*book, limits.sheetBytes, stream))
        return fail(SpreadsheetError::Damaged, QStringLiteral("Workbook"));
    int activeTab = 0;
    bool biff8 = stream.size() >= 6 && U16(stream.constData()) == 0x0809 &&
                 U16(stream.constData() + 4) == 0x0600;
    bool tooBig = false;
    if (!CheckBiff(stream, biff8, limits, detail, tooBig))
        return fail(tooBig ? SpreadsheetError::TooBig : SpreadsheetError::Damaged, detail);
    struct BoundSheet {
        QString name;
        quint32 offset;
        bool worksheet; // not a chart, macro or module sheet
    };
    std::vector<BoundSheet> sheets;
    std::map<int, QString> formats;
    std::vector<bool> xfDates;
    std::vector<DateKind> xfKinds;
    for (qsizetype at = 0; at + 4 <= stream.size();) {
        const quint16 id = U16(stream.constData() + at);
        const quint16 len = U16(stream.constData() + at + 2);
        const char *body = stream.constData() + at + 4;
        if (at + 4 + len > stream.size())
            break;
        if (id == 0x002F)
            return fail(SpreadsheetError::Encrypted);
        if (id == 0x003D && len >= 12)
            activeTab = U16(body + 10);
        if (id == 0x0022 && len >= 2) // DATEMODE
            date1904 = U16(body) == 1;
        if (id == 0x0085 && len >= 8) {
            const int cch = uchar(body[6]);
            const bool wide = biff8 && (uchar(body[7]) & 1);
            const int start = biff8 ? 8 : 7;
            if (start + cch * (wide ? 2 : 1) <= len)
                sheets.push_back(
                    {wide ? QString::fromUtf16(reinterpret_cast<const char16_t *>(body + 8), cch)
                          : QString::fromLatin1(body + start, cch),
                     U32(body), uchar(body[5]) == 0});
        }
        if (id == 0x041E && biff8 && len >= 5) { // FORMAT: id, then a 16-bit-length string
            const int cch = U16(body + 2);
            const bool wide = uchar(body[4]) & 1;
            if (5 + cch * (wide ? 2 : 1) <= len)
                formats[U16(body)] =
                    wide ? QString::fromUtf16(reinterpret_cast<const char16_t *>(body + 5), cch)
                         : QString::fromLatin1(body + 5, cch);
        }
        if (id == 0x00E0 && len >= 4) { // XF: its number format
            const int fmt = U16(body + 2);
            const auto f = formats.find(fmt);
            const QStringView code = f == formats.end() ? QStringView() : QStringView(f->second);
            xfDates.push_back(SpreadsheetReader::IsDateFormat(fmt, code));
            xfKinds.push_back(xfDates.back() ? DateKindOf(fmt, code) : DateKind::None);
        }
        if (id == 0x000A)
            break;
        at += 4 + len;
    }
    file.close();
    if (biff8) {
        // BIFF8 is read from its records: the cells, the shared strings and the formats are
        // all there, and FreeXL would spend most of the time of a read working out dates.
        // The window's tab among the worksheets by its name, else the first worksheet.
        const QString wanted =
            activeTab < int(sheets.size()) ? sheets[size_t(activeTab)].name : QString();
        const BoundSheet *chosen = nullptr;
        for (const BoundSheet &b : sheets)
            if (b.worksheet && (!chosen || (b.name == wanted && chosen->name != wanted)))
                chosen = &b;
        if (!chosen)
            return fail(SpreadsheetError::NoSheet);
        sheet = chosen->name;
        const QString duplicate = DuplicateXlsCell(stream, chosen->offset);
        if (!duplicate.isEmpty())
            return fail(SpreadsheetError::Damaged, duplicate);
        if (!readBiff8Cells(stream, chosen->offset, xfDates, xfKinds))
            return false;
        kind = Kind::Biff8;
        return true;
    }
    QStringList names;
    for (const BoundSheet &b : sheets)
        names << b.name;
    const QByteArray local = QFile::encodeName(path);
    const int rc = freexl_open(local.constData(), &xl);
    if (rc != FREEXL_OK) {
        closeXls();
        if (rc == FREEXL_INSUFFICIENT_MEMORY)
            return fail(SpreadsheetError::TooBig);
        return fail(SpreadsheetError::Damaged, QStringLiteral("FreeXL %1").arg(rc));
    }
    unsigned int info = 0;
    if (freexl_get_info(xl, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED)
        return fail(SpreadsheetError::Encrypted);
    unsigned int count = 0;
    if (freexl_get_info(xl, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK || count == 0)
        return fail(SpreadsheetError::NoSheet);
    // FreeXL does not tell the active sheet: find the window's tab among its sheets by name.
    unsigned short index = 0;
    const QString wanted = activeTab < names.size() ? names[activeTab] : QString();
    for (unsigned short i = 0; i < count && i < 65535; ++i) {
        const char *name = nullptr;
        if (freexl_get_worksheet_name(xl, i, &name) == FREEXL_OK && name &&
            QString::fromUtf8(name) == wanted) {
            index = i;
            break;
        }
    }
    const char *name = nullptr;
    if (freexl_select_active_worksheet(xl, index) != FREEXL_OK ||
        freexl_get_worksheet_name(xl, index, &name) != FREEXL_OK ||
        freexl_worksheet_dimensions(xl, &xlRows, &xlColumns) != FREEXL_OK)
        return fail(SpreadsheetError::Damaged, QStringLiteral("시트"));
    sheet = QString::fromUtf8(name ? name : "");
    kind = Kind::Xls;
    for (const BoundSheet &b : sheets) {
        if (b.name != sheet)
            continue;
        const QString duplicate = DuplicateXlsCell(stream, b.offset);
        if (!duplicate.isEmpty())
            return fail(SpreadsheetError::Damaged, duplicate);
    }
    return true;
}

namespace {

// A BIFF8 string of cch characters at p, compressed (Latin-1) or UTF-16LE.
QString Biff8Text(const char *p, int cch, bool wide) {
    return wide ? QString::fromUtf16(reinterpret_cast<const char16_t *>(p), cch)
                : QString::fromLatin1(p, cch);
}

// The shared strings of a BIFF8 workbook's SST record and the CONTINUE records that carry it
// on (CheckBiff has checked that every one lies inside them); false when there is none.
bool ReadSst(const QByteArray &stream, std::vector<QString> &out) {
    const char *data = stream.constData();
    const qsizetype size = stream.size();
    for (qsizetype record = 0; record + 4 <= size;) {
        const quint16 id = U16(data + record);
        if (id == 0x000A)
            break;
        if (id == 0x00FC) {
            QString text;
            return WalkSst(
                       data, size, record,
                       [&](const char *p, int count, bool wide) {
                           text += Biff8Text(p, count, wide);
                       },
                       [&] {
                           out.push_back(text);
                           text.clear();
                       }) < 0;
        }
        record += 4 + U16(data + record + 2);
    }
    return true; // no shared strings
}

} // namespace

// The value cells of a BIFF8 sheet from its BOF at `offset`: numbers and dates (NUMBER, RK,
// MULRK), texts (LABELSST, LABEL, RSTRING), booleans and errors (BOOLERR), formula results
// (FORMULA and its STRING). DuplicateXlsCell has made sure no cell comes twice.
bool SpreadsheetReader::Private::readBiff8Cells(const QByteArray &stream, quint32 offset,
                                                const std::vector<bool> &xfDates,
                                                const std::vector<DateKind> &xfKinds) {
    std::vector<QString> sst;
    if (!ReadSst(stream, sst))
        return fail(SpreadsheetError::Damaged, QStringLiteral("SST"));
    if (qsizetype(offset) + 4 > stream.size() || U16(stream.constData() + offset) != 0x0809)
        return fail(SpreadsheetError::Damaged, QStringLiteral("BOUNDSHEET"));
    // A formula's number: a date or a time by its value, as a formula's result always read.
    const auto number = [&](int xf, double v) {
        return xf >= 0 && xf < int(xfDates.size()) && xfDates[size_t(xf)]
                   ? SpreadsheetReader::SerialDateText(v, date1904)
                   : SpreadsheetReader::NumberText(v);
    };
    // A number cell's: what its format shows of a date, a time or both.
    const auto cellNumber = [&](int xf, double v) {
        const DateKind k =
            xf >= 0 && xf < int(xfKinds.size()) ? xfKinds[size_t(xf)] : DateKind::None;
        return k == DateKind::None ? SpreadsheetReader::NumberText(v)
                                   : DateKindText(k, v, date1904);
    };
    const auto add = [&](int row, int column, QString &&text) {
        if (column < 256 && !text.isEmpty())
            xlsCells.emplace_back(quint32(row) << 8 | quint32(column), std::move(text));
    };
    xlsCells.clear();
    bool ordered = true;         // whether the cells came in row and column order
    quint32 pendingString = ~0u; // the cell whose formula's text comes in the next STRING
    for (qsizetype at = qsizetype(offset) + 4 + U16(stream.constData() + offset + 2);
         at + 4 <= stream.size();) {
        const quint16 id = U16(stream.constData() + at);
        const quint16 len = U16(stream.constData() + at + 2);
        const char *b = stream.constData() + at + 4;
        if (at + 4 + len > stream.size() || id == 0x000A)
            break;
        at += 4 + len;
        if (len < 6)
            continue;
        const int row = U16(b);
        const int column = U16(b + 2);
        const size_t before = xlsCells.size();
        switch (id) {
        case 0x0203: // NUMBER
            if (len >= 14) {
                double v;
                std::memcpy(&v, b + 6, 8);
                add(row, column, cellNumber(U16(b + 4), v));
            }
            break;
        case 0x027E: // RK
            if (len >= 10)
                add(row, column, cellNumber(U16(b + 4), RkValue(U32(b + 6))));
            break;
        case 0x00BD: // MULRK: xf and RK for each column from the first to the last
            for (int i = 0; 4 + 6 * (i + 1) + 2 <= len; ++i)
                add(row, column + i, cellNumber(U16(b + 4 + 6 * i), RkValue(U32(b + 6 + 6 * i))));
            break;
        case 0x00FD: // LABELSST
            if (len >= 10) {
                const quint32 index = U32(b + 6);
                if (index >= sst.size())
                    return fail(SpreadsheetError::Damaged,
                                QStringLiteral("%1행의 %2열 공유 문자열 번호")
                                    .arg(row + 1)
                                    .arg(column + 1));
                add(row, column, QString(sst[index]));
            }
            break;
        case 0x0204: // LABEL
        case 0x00D6: // RSTRING
            if (len >= 9) {
                const int cch = U16(b + 6);
                const bool wide = uchar(b[8]) & 1;
                if (9 + cch * (wide ? 2 : 1) <= len)
                    add(row, column, Biff8Text(b + 9, cch, wide));
            }
            break;
        case 0x0205: // BOOLERR
            if (len >= 8)
                add(row, column, BoolErrText(uchar(b[6]), b[7] != 0));
            break;
        case 0x0006: // FORMULA with its cached result
            if (len >= 14) {
                const int xf = U16(b + 4);
                if (U16(b + 12) != 0xFFFF) {
                    double v;
                    std::memcpy(&v, b + 6, 8);
                    add(row, column, number(xf, v));
                } else if (b[6] == 0) {
                    pendingString = quint32(row) << 8 | quint32(column);
                } else if (b[6] == 1 || b[6] == 2) {
                    add(row, column, BoolErrText(uchar(b[8]), b[6] == 2));
                }
            }
            break;
        case 0x0207: // STRING: the text result of the formula before it
            if (pendingString != ~0u && len >= 3) {
                const int cch = U16(b);
                const bool wide = uchar(b[2]) & 1;
                if (3 + cch * (wide ? 2 : 1) <= len)
                    add(int(pendingString >> 8), int(pendingString & 0xFF),
                        Biff8Text(b + 3, cch, wide));
            }
            pendingString = ~0u;
            break;
        default:
            break;
        }
        if (before > 0 && xlsCells.size() > before &&
            xlsCells[before].first < xlsCells[before - 1].first)
            ordered = false;
    }
    if (!ordered)
        std::stable_sort(xlsCells.begin(), xlsCells.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
    return true;
}

Walk SpreadsheetReader::Private::walkBiff8(int columns, const CellSink &sink) {
    for (const auto &[position, text] : xlsCells) {
        const int column = int(position & 0xFF);
        if (column >= columns)
            continue;
        if (!sink(int(position >> 8) + 1, column, QString(text)))
            return Walk::Stopped;
    }
    return Walk::Finished;
}

Walk SpreadsheetReader::Private::walkXls(int columns, const CellSink &sink) {
    const unsigned int rowLimit = std::min<unsigned int>(xlRows, kMaxRows);
    const unsigned short columnLimit = std::min<unsigned short>(xlColumns, columns);
    for (unsigned int r = 0; r < rowLimit; ++r) {
        for (unsigned short c = 0; c < columnLimit; ++c) {
            FreeXL_CellValue v;
            const int rc = freexl_get_cell_value(xl, r, c, &v);
            if (rc != FREEXL_OK)
                return failure.set(SpreadsheetError::Damaged,
                                   QStringLiteral("셀 %1,%2").arg(r + 1).arg(c + 1)),
                       Walk::Failed;
            QString text;
            switch (v.type) {
            case FREEXL_CELL_INT:
                text = QString::number(v.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                text = SpreadsheetReader::NumberText(v.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                text = QString::fromUtf8(v.value.text_value);
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME: {
                // "YYYY-MM-DD[ HH:MM:SS]"
                QString iso = QString::fromUtf8(v.value.text_value);
                if (iso.size() > 10)
                    iso[10] = u'T';
                text = SpreadsheetReader::IsoDateText(iso);
                if (text.isEmpty()) // 1900-02-29 of the 1900 system
                    text = QString::fromUtf8(v.value.text_value).remove(u'-').replace(u'T', u' ');
                break;
            }
            case FREEXL_CELL_TIME:
                text = QString::fromUtf8(v.value.text_value);
                break;
            default:
                break;
            }
            if (!text.isEmpty() && !sink(int(r) + 1, c, std::move(text)))
                return Walk::Stopped;
        }
    }
    return Walk::Finished;
}

// ---- the bare record stream ----

namespace {
// Walks the records of a BIFF stream: cell(row 0-based, column, text) for each value cell.
// False with `detail` when a record runs past the end of the file.
template <typename Cell>
bool WalkRecords(QFile &file, QString &detail, bool &encrypted, Cell &&cell) {
    QByteArray body;
    char head[4];
    for (;;) {
        const qint64 got = file.read(head, 4);
        if (got == 0)
            return true; // no end-of-file record: what is there is read
        if (got != 4)
            return (detail = QStringLiteral("레코드 머리")), false;
        const quint16 id = U16(head);
        const quint16 len = U16(head + 2);
        body = file.read(len);
        if (body.size() != len)
            return (detail = QStringLiteral("레코드 0x%1").arg(id, 4, 16, QChar(u'0'))), false;
        const char *b = body.constData();
        switch (id) {
        case 0x000A: // EOF
            return true;
        case 0x002F: // FILEPASS
            encrypted = true;
            return false;
        case 0x0204: // LABEL
            if (len >= 8 && 8 + U16(b + 6) <= len) {
                if (!cell(U16(b), U16(b + 2), FromCp949(QByteArray(b + 8, U16(b + 6)))))
                    return true;
            }
            break;
        case 0x0004: // LABEL of BIFF2
            if (len >= 8 && 8 + uchar(b[7]) <= len) {
                if (!cell(U16(b), U16(b + 2), FromCp949(QByteArray(b + 8, uchar(b[7])))))
                    return true;
            }
            break;
        case 0x0203: // NUMBER
        case 0x0003: // NUMBER of BIFF2
            if (len >= (id == 0x0203 ? 14 : 15)) {
                double v;
                std::memcpy(&v, b + (id == 0x0203 ? 6 : 7), 8);
                if (!cell(U16(b), U16(b + 2), SpreadsheetReader::NumberText(v)))
                    return true;
            }
            break;
        case 0x0002: // INTEGER of BIFF2
            if (len >= 9 && !cell(U16(b), U16(b + 2), QString::number(U16(b + 7))))
                return true;
            break;
        case 0x027E: // RK
            if (len >= 10 &&
                !cell(U16(b), U16(b + 2), SpreadsheetReader::NumberText(RkValue(U32(b + 6)))))
                return true;
            break;
        case 0x0205: // BOOLERR
            if (len >= 8 && !cell(U16(b), U16(b + 2), BoolErrText(uchar(b[6]), b[7] != 0)))
                return true;
            break;
        default:
            break;
        }
    }
}
} // namespace

bool SpreadsheetReader::Private::openBiff() {
    kind = Kind::Biff;
    sheet = QFileInfo(path).completeBaseName();
    return true;
}

Walk SpreadsheetReader::Private::walkBiff(int columns, const CellSink &sink) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure.set(SpreadsheetError::CannotOpen, QStringLiteral("읽을 수 없습니다")),
               Walk::Failed;
    QString detail;
    bool encrypted = false;
    Walk result = Walk::Finished;
    if (counting) {
        // The first pass also learns whether the cells come in row order.
        int last = -1;
        biffOrdered = true;
        PlacedCells placed;
        QString duplicate;
        const bool ok = WalkRecords(file, detail, encrypted, [&](int r, int c, QString &&text) {
            if (text.isEmpty())
                return true;
            if (!placed.place(r, c)) {
                duplicate = PlacedCells::Why(r, c);
                return false;
            }
            biffOrdered &= r >= last;
            last = std::max(last, r);
            return sink(r + 1, c, std::move(text));
        });
        if (!ok)
            result = Walk::Failed;
        if (!duplicate.isEmpty()) {
            result = Walk::Failed;
            detail = duplicate;
        }
    } else if (biffOrdered) {
        const bool ok = WalkRecords(file, detail, encrypted, [&](int r, int c, QString &&text) {
            if (text.isEmpty() || c >= columns)
                return true;
            if (!sink(r + 1, c, std::move(text))) {
                result = Walk::Stopped;
                return false;
            }
            return true;
        });
        if (!ok)
            result = Walk::Failed;
    } else {
        // Cells out of row order: the file holds at most 65536 rows; gather, then pass on.
        std::map<int, std::map<int, QString>> rows;
        const bool ok = WalkRecords(file, detail, encrypted, [&](int r, int c, QString &&text) {
            if (!text.isEmpty() && c < columns)
                rows[r][c] = std::move(text);
            return true;
        });
        if (!ok)
            result = Walk::Failed;
        for (auto &[r, cells] : rows) {
            if (result != Walk::Finished)
                break;
            for (auto &[c, text] : cells)
                if (!sink(r + 1, c, std::move(text))) {
                    result = Walk::Stopped;
                    break;
                }
        }
    }
    if (encrypted)
        return failure.set(SpreadsheetError::Encrypted, QString()), Walk::Failed;
    if (result == Walk::Failed)
        failure.set(SpreadsheetError::Damaged, detail);
    return result;
}

} // namespace kelo
