#include "common/spreadsheet.h"

#include "common/cp949.h"
#include "common/numbertext.h"
#include "common/protectedfiles.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QXmlStreamReader>

#include <freexl.h>
#include <minizip/unzip.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

namespace kelo {

namespace {

constexpr qint64 kChunk = 256 * 1024;
// The most XML bytes the parser may take in without handing out a token (a cell text of
// the default SpreadsheetLimits::cellChars is at most 4 MB of UTF-8).
constexpr qint64 kMaxTokenBytes = 16ll << 20;

// What a walk over the cells of a sheet ended with.
enum class Walk { Finished, Stopped, Failed };

// Receives the non-empty cells of a sheet in row order: row from 1, column from 0.
// Returns false to stop the walk.
using CellSink = std::function<bool(int row, int column, QString &&text)>;

quint16 U16(const char *p) {
    return quint16(uchar(p[0]) | (uchar(p[1]) << 8));
}
quint32 U32(const char *p) {
    return quint32(U16(p)) | (quint32(U16(p + 2)) << 16);
}

bool IsTrue(QStringView v) {
    return v == u"1" || v == u"true";
}

// The rows handed to the caller: cells arrive in row order, missing rows come out empty.
class RowFeeder {
public:
    RowFeeder(int columns, int lastRow, const SpreadsheetReader::RowFunction &fn)
        : m_lastRow(lastRow), m_fn(fn), m_cells(columns, QString()) {}

    bool cell(int row, int column, QString &&text) {
        if (row > m_lastRow)
            return false;
        if (row != m_current) {
            if (!flushThrough(row - 1))
                return false;
            m_current = row;
        }
        if (column < m_cells.size()) {
            m_cells[column] = std::move(text);
            m_dirty = true;
        }
        return true;
    }
    // Emits the rows still owed up to the last row; false when the caller stopped.
    bool finish() { return flushThrough(m_lastRow); }
    bool stopped() const { return m_stopped; }

private:
    // Emits every row up to and including `through`.
    bool flushThrough(int through) {
        while (m_emitted < through) {
            const int r = m_emitted + 1;
            if (r != m_current && m_dirty)
                clear();
            m_emitted = r;
            if (!m_fn(r, m_cells)) {
                m_stopped = true;
                return false;
            }
            if (m_dirty)
                clear();
        }
        return true;
    }
    void clear() {
        for (QString &c : m_cells)
            c.clear();
        m_dirty = false;
    }

    int m_lastRow;
    const SpreadsheetReader::RowFunction &m_fn;
    QStringList m_cells;
    int m_current = 0;
    int m_emitted = 0;
    bool m_dirty = false;
    bool m_stopped = false;
};

// Why a read stopped, kept by the parts until the reader turns it into a message.
struct Failure {
    SpreadsheetError kind = SpreadsheetError::None;
    QString detail;
    bool set(SpreadsheetError k, const QString &d) {
        if (kind == SpreadsheetError::None) {
            kind = k;
            detail = d;
        }
        return false;
    }
};

// A zip archive read through minizip (the zip library libxlsxwriter itself uses, so that the
// export and the import share one set of zip functions in a process). One entry is open at
// a time.
class ZipArchive {
public:
    explicit ZipArchive(const QString &path)
        : m_zip(unzOpen64(QFile::encodeName(path).constData())) {}
    ~ZipArchive() {
        closeEntry();
        if (m_zip)
            unzClose(m_zip);
    }
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool ok() const { return m_zip != nullptr; }
    // Calls entry(name, flags) for every entry; false when the directory is damaged.
    template <typename F> bool entries(F &&entry) {
        int rc = unzGoToFirstFile(m_zip);
        while (rc == UNZ_OK) {
            unz_file_info64 info;
            char name[1024];
            if (unzGetCurrentFileInfo64(m_zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
                UNZ_OK)
                return false;
            // a name longer than the buffer arrives cut and without its terminator
            const qsizetype length = qsizetype(std::min<quint64>(info.size_filename, sizeof name));
            entry(QString::fromUtf8(name, length), info.flag);
            rc = unzGoToNextFile(m_zip);
        }
        return rc == UNZ_END_OF_LIST_OF_FILE;
    }
    bool has(const QString &name) {
        return unzLocateFile(m_zip, name.toUtf8().constData(), 2) == UNZ_OK; // any case
    }
    bool openEntry(const QString &name) {
        closeEntry();
        if (!has(name) || unzOpenCurrentFile(m_zip) != UNZ_OK)
            return false;
        m_open = true;
        return true;
    }
    // Inflated bytes of the open entry: > 0 read, 0 at its end, < 0 damaged.
    int read(char *out, unsigned size) { return unzReadCurrentFile(m_zip, out, size); }
    // Closes the open entry; false when its CRC does not match what was read.
    bool closeEntry() {
        if (!m_open)
            return true;
        m_open = false;
        return unzCloseCurrentFile(m_zip) == UNZ_OK;
    }

private:
    unzFile m_zip;
    bool m_open = false;
};

// One XML part of a zip, parsed as its inflated bytes are read and counted.
class ZipXml {
public:
    ZipXml(ZipArchive &zip, Failure &failure) : m_zip(zip), m_failure(failure) {}
    ~ZipXml() { m_zip.closeEntry(); }

    bool open(const QString &part, qint64 cap) {
        m_part = part;
        m_cap = cap;
        if (!m_zip.has(part))
            return m_failure.set(SpreadsheetError::Damaged, part + QStringLiteral(" 없음"));
        if (!m_zip.openEntry(part))
            return m_failure.set(SpreadsheetError::Damaged, part);
        return true;
    }

    // The next token; Invalid after an error (recorded) or at the end.
    QXmlStreamReader::TokenType next() {
        for (;;) {
            const auto t = xml.readNext();
            if (t == QXmlStreamReader::DTD) {
                m_failure.set(SpreadsheetError::Damaged, m_part + QStringLiteral(": DOCTYPE"));
                return QXmlStreamReader::Invalid;
            }
            if (t != QXmlStreamReader::Invalid) {
                m_sinceToken = 0;
                return t;
            }
            if (xml.error() != QXmlStreamReader::PrematureEndOfDocumentError || m_eof) {
                m_failure.set(SpreadsheetError::Damaged,
                              m_part + QStringLiteral(": ") + xml.errorString());
                return QXmlStreamReader::Invalid;
            }
            if (!feed())
                return QXmlStreamReader::Invalid;
        }
    }

    // Reads the characters up to the end of the current element (children's included).
    bool text(QString &out, int maxChars) {
        int depth = 1;
        while (depth > 0) {
            switch (next()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                break;
            case QXmlStreamReader::EndElement:
                --depth;
                break;
            case QXmlStreamReader::Characters:
                out += xml.text();
                if (out.size() > maxChars)
                    return m_failure.set(SpreadsheetError::TooBig,
                                         m_part + QStringLiteral(": 셀 텍스트"));
                break;
            case QXmlStreamReader::Invalid:
                return false;
            default:
                break;
            }
        }
        return true;
    }

    // Skips to the end of the current element.
    bool skip() {
        int depth = 1;
        while (depth > 0) {
            const auto t = next();
            if (t == QXmlStreamReader::StartElement)
                ++depth;
            else if (t == QXmlStreamReader::EndElement)
                --depth;
            else if (t == QXmlStreamReader::Invalid)
                return false;
        }
        return true;
    }

    bool fail(SpreadsheetError kind, const QString &what) {
        return m_failure.set(kind, m_part + QStringLiteral(": ") + what);
    }

    QXmlStreamReader xml;

private:
    bool feed() {
        QByteArray chunk(kChunk, Qt::Uninitialized);
        const int n = m_zip.read(chunk.data(), unsigned(chunk.size()));
        if (n < 0)
            return m_failure.set(SpreadsheetError::Damaged,
                                 m_part + QStringLiteral(": 압축 해제 오류"));
        if (n == 0) {
            m_eof = true;
            if (!m_zip.closeEntry()) // the CRC of the whole entry
                return m_failure.set(SpreadsheetError::Damaged, m_part + QStringLiteral(": CRC"));
            return true;
        }
        chunk.truncate(n);
        m_read += chunk.size();
        if (m_read > m_cap)
            return m_failure.set(SpreadsheetError::TooBig,
                                 m_part +
                                     QStringLiteral(" 압축 해제 크기 %1 MB 초과").arg(m_cap >> 20));
        // One text, comment or attribute that never ends would be held whole by the parser.
        m_sinceToken += chunk.size();
        if (m_sinceToken > kMaxTokenBytes)
            return m_failure.set(SpreadsheetError::TooBig, m_part + QStringLiteral(": XML 토큰"));
        xml.addData(chunk);
        return true;
    }

    ZipArchive &m_zip;
    Failure &m_failure;
    QString m_part;
    qint64 m_cap = 0;
    qint64 m_read = 0;
    qint64 m_sinceToken = 0;
    bool m_eof = false;
};

// The bytes of a zip entry, at most `cap` of them inflated; false when it is larger.
bool ReadZipEntry(ZipArchive &zip, const QString &name, qint64 cap, QByteArray &out) {
    if (!zip.openEntry(name))
        return false;
    out.clear();
    char chunk[65536];
    for (;;) {
        const int n = zip.read(chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        out.append(chunk, n);
        if (out.size() > cap)
            return false;
    }
    return zip.closeEntry();
}

// The part a relationship target names, relative to the folder of the part that names it.
QString ResolvePart(const QString &from, const QString &target) {
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const int slash = from.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QString() : from.left(slash + 1);
    return QDir::cleanPath(folder + target);
}

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

// The small part of the OLE2 compound file format the reader needs: the directory, to tell
// an encrypted workbook, and the first bytes of the workbook stream, for its active sheet.
class Compound {
public:
    struct Entry {
        QString name;
        int type = 0;
        quint32 start = 0;
        quint64 size = 0;
    };

    bool open(QFile &file, QString &detail) {
        m_file = &file;
        const QByteArray h = read(0, 512);
        if (h.size() < 512)
            return (detail = QStringLiteral("OLE2 헤더")), false;
        const int shift = U16(h.constData() + 0x1E);
        if (shift != 9 && shift != 12)
            return (detail = QStringLiteral("OLE2 섹터 크기")), false;
        m_sectorSize = 1 << shift;
        m_miniCutoff = U32(h.constData() + 0x38);
        const qint64 sectors = file.size() / m_sectorSize + 1;
        // The sector allocation table from the header's list and the extra list sectors.
        std::vector<quint32> fatSectors;
        const quint32 fatCount = U32(h.constData() + 0x2C);
        if (fatCount > sectors)
            return (detail = QStringLiteral("OLE2 할당표")), false;
        for (int i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(U32(h.constData() + 0x4C + 4 * i));
        quint32 difat = U32(h.constData() + 0x44);
        for (qint64 guard = 0; fatSectors.size() < fatCount && difat < 0xFFFFFFFA; ++guard) {
            if (guard > sectors)
                return (detail = QStringLiteral("OLE2 할당표")), false;
            const QByteArray s = sector(difat);
            if (s.size() != m_sectorSize)
                return (detail = QStringLiteral("OLE2 할당표")), false;
            const int per = m_sectorSize / 4 - 1;
            for (int i = 0; i < per && fatSectors.size() < fatCount; ++i)
                fatSectors.push_back(U32(s.constData() + 4 * i));
            difat = U32(s.constData() + 4 * per);
        }
        for (const quint32 fs : fatSectors) {
            const QByteArray s = sector(fs);
            if (s.size() != m_sectorSize)
                return (detail = QStringLiteral("OLE2 할당표")), false;
            for (int i = 0; i < m_sectorSize / 4; ++i)
                m_fat.push_back(U32(s.constData() + 4 * i));
        }
        bool ok = true;
        const QByteArray dir = chain(m_fat, U32(h.constData() + 0x30), 64ll << 20, &ok);
        if (!ok || dir.size() < 128)
            return (detail = QStringLiteral("OLE2 디렉터리")), false;
        for (qsizetype at = 0; at + 128 <= dir.size(); at += 128) {
            const char *e = dir.constData() + at;
            Entry entry;
            // FreeXL converts every name with the length given: one past the field it reads
            // past its buffer.
            const int nameBytes = U16(e + 0x40);
            if (nameBytes > 64 || nameBytes % 2 != 0)
                return (detail = QStringLiteral("OLE2 디렉터리")), false;
            entry.name = QString::fromUtf16(reinterpret_cast<const char16_t *>(e),
                                            std::max(0, nameBytes / 2 - 1));
            entry.type = uchar(e[0x42]);
            entry.start = U32(e + 0x74);
            entry.size = U32(e + 0x78);
            if (m_sectorSize == 4096)
                entry.size |= quint64(U32(e + 0x7C)) << 32;
            m_entries.push_back(entry);
        }
        if (m_entries.empty() || m_entries[0].type != 5)
            return (detail = QStringLiteral("OLE2 디렉터리")), false;
        m_miniFatStart = U32(h.constData() + 0x3C);
        return true;
    }

    const Entry *find(QStringView name) const {
        for (const Entry &e : m_entries)
            if (e.type == 2 && e.name.compare(name, Qt::CaseInsensitive) == 0)
                return &e;
        return nullptr;
    }

    // The first `max` bytes of a stream (fewer when it is shorter); false when its chain is
    // broken.
    bool stream(const Entry &e, qint64 max, QByteArray &out) {
        bool ok = true;
        const qint64 want = qint64(std::min<quint64>(e.size, quint64(max)));
        if (e.size >= m_miniCutoff) {
            out = chain(m_fat, e.start, want, &ok);
        } else {
            // Small streams live in 64-byte pieces of the root entry's stream.
            if (m_miniFat.empty()) {
                const QByteArray mf = chain(m_fat, m_miniFatStart, 64ll << 20, &ok);
                for (qsizetype i = 0; i + 4 <= mf.size(); i += 4)
                    m_miniFat.push_back(U32(mf.constData() + i));
                m_mini = chain(m_fat, m_entries[0].start, 64ll << 20, &ok);
            }
            out.clear();
            quint32 s = e.start;
            for (qint64 guard = 0; ok && out.size() < want && s < 0xFFFFFFFA; ++guard) {
                if (s >= m_miniFat.size() || qint64(s) * 64 + 64 > m_mini.size() ||
                    guard > qint64(m_miniFat.size()))
                    ok = false;
                else
                    out += m_mini.mid(qint64(s) * 64, 64);
                if (ok)
                    s = m_miniFat[s];
            }
        }
        if (!ok || out.size() < want)
            return false;
        out.truncate(want);
        return true;
    }

private:
    QByteArray read(qint64 at, qint64 n) {
        if (!m_file->seek(at))
            return {};
        return m_file->read(n);
    }
    QByteArray sector(quint32 s) { return read((qint64(s) + 1) * m_sectorSize, m_sectorSize); }
    QByteArray chain(const std::vector<quint32> &fat, quint32 s, qint64 max, bool *ok) {
        QByteArray out;
        for (qint64 guard = 0; out.size() < max && s < 0xFFFFFFFA; ++guard) {
            if (s >= fat.size() || guard > qint64(fat.size())) {
                *ok = false;
                break;
            }
            const QByteArray part = sector(s);
            if (part.size() != m_sectorSize) {
                *ok = false;
                break;
            }
            out += part;
            s = fat[s];
        }
        return out;
    }

    QFile *m_file = nullptr;
    int m_sectorSize = 512;
    quint32 m_miniCutoff = 4096;
    quint32 m_miniFatStart = 0xFFFFFFFE;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    QByteArray m_mini;
    std::vector<Entry> m_entries;
};

enum class Kind { None, Xlsx, Ods, Xls, Biff };

} // namespace

struct SpreadsheetReader::Private {
    SpreadsheetLimits limits;
    QString path;
    QString fileName;
    Kind kind = Kind::None;
    Failure failure;
    QString error;
    QString sheet;
    int rows = 0;

    // .xlsx and .ods
    std::unique_ptr<ZipArchive> zip;
    QString sheetPart;
    bool date1904 = false;
    std::vector<QString> shared;
    std::vector<bool> dateStyles;
    // .ods: the table's name is `sheet`; whether settings named it
    // .xls through FreeXL
    const void *xl = nullptr;
    unsigned int xlRows = 0;
    unsigned short xlColumns = 0;
    // formula results, booleans and errors, by row << 16 | column (from 0)
    std::map<quint64, QString> xlsExtras;
    // the bare record stream
    bool biffOrdered = true;
    // The pass of open() that only counts the used rows: texts need not be formatted, only
    // known to be empty or not.
    bool counting = false;

    ~Private() { closeXls(); }
    void closeXls() {
        if (xl)
            freexl_close(xl);
        xl = nullptr;
    }

    bool fail(SpreadsheetError kind, const QString &detail = QString()) {
        failure.set(kind, detail);
        return false;
    }
    void makeMessage() {
        const QString &n = fileName;
        const QString detail =
            failure.detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(failure.detail);
        switch (failure.kind) {
        case SpreadsheetError::None:
            error.clear();
            return;
        case SpreadsheetError::CannotOpen:
            error = QStringLiteral("파일을 열 수 없습니다: %1%2").arg(n, detail);
            return;
        case SpreadsheetError::NotSpreadsheet:
            error = QStringLiteral("스프레드시트 파일이 아닙니다: %1%2").arg(n, detail);
            return;
        case SpreadsheetError::NoSheet:
            error = QStringLiteral("시트가 없습니다: %1").arg(n);
            return;
        case SpreadsheetError::Damaged:
            error = QStringLiteral("파일이 손상되었습니다: %1%2").arg(n, detail);
            return;
        case SpreadsheetError::Encrypted:
            error = QStringLiteral("암호로 보호된 파일은 읽을 수 없습니다: %1").arg(n);
            return;
        case SpreadsheetError::TooBig:
            error = QStringLiteral("파일이 너무 큽니다: %1%2").arg(n, detail);
            return;
        case SpreadsheetError::TooManyRows:
            error = QStringLiteral("행이 너무 많습니다: %1%2").arg(n, detail);
            return;
        }
    }

    bool openFile();
    bool openZip();
    QString findWorkbook();
    bool openXlsx(const QString &workbookPart);
    bool openOds();
    bool openCompound(QFile &file);
    bool openBiff();
    Walk walk(int columns, const CellSink &sink);
    Walk walkXlsx(int columns, const CellSink &sink);
    Walk walkOds(int columns, const CellSink &sink);
    Walk walkXls(int columns, const CellSink &sink);
    void readXlsExtras(const QByteArray &stream, quint32 offset, const std::vector<bool> &xfDates);
    Walk walkBiff(int columns, const CellSink &sink);
    bool readSharedStrings(const QString &part);
    bool readStyles(const QString &part);
    QString xlsxCellText(QStringView type, int style, QString &value) const;
};

// ---- cell texts ----

QString SpreadsheetReader::NumberText(double value) {
    QString text = NumberToText(value);
    if (text.startsWith(u'.'))
        text.prepend(u'0');
    else if (text.startsWith(QStringLiteral("-.")))
        text.insert(1, u'0');
    return text;
}

namespace {
QString TimeText(qint64 seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QChar(u'0'))
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}
} // namespace

QString SpreadsheetReader::SerialDateText(double serial, bool date1904) {
    if (!(serial >= 0) || serial >= 2958466) // before the epoch or past 9999-12-31
        return NumberText(serial);
    const qint64 total = std::llround(serial * 86400.0);
    const qint64 days = total / 86400;
    const qint64 seconds = total % 86400;
    if (days == 0 && seconds != 0)
        return TimeText(seconds); // a time of day alone
    QString date;
    if (date1904)
        date = QDate(1904, 1, 1).addDays(days).toString(QStringLiteral("yyyyMMdd"));
    else if (days == 60)
        date = QStringLiteral("19000229"); // the day the 1900 system counts but never was
    else if (days == 0)
        date = QStringLiteral("19000100");
    else
        date = QDate(1899, 12, days < 60 ? 31 : 30).addDays(days).toString(u"yyyyMMdd");
    if (seconds != 0)
        date += u' ' + TimeText(seconds);
    return date;
}

QString SpreadsheetReader::IsoDateText(QStringView iso) {
    // yyyy-mm-dd[Thh:mm:ss[.fff]]
    if (iso.size() < 10 || iso[4] != u'-' || iso[7] != u'-')
        return QString();
    const QDate date = QDate::fromString(iso.left(10).toString(), Qt::ISODate);
    if (!date.isValid())
        return QString();
    QString text = date.toString(QStringLiteral("yyyyMMdd"));
    if (iso.size() >= 19 && iso[10] == u'T') {
        const QTime time = QTime::fromString(iso.mid(11, 8).toString(), Qt::ISODate);
        if (!time.isValid())
            return QString();
        int seconds = time.msecsSinceStartOfDay() / 1000;
        // fractions of a second are rounded as a serial number would be
        if (iso.size() > 20 && iso[19] == u'.' && iso[20] >= u'5')
            ++seconds;
        if (seconds >= 86400) {
            text = date.addDays(1).toString(QStringLiteral("yyyyMMdd"));
            seconds -= 86400;
        }
        if (seconds != 0)
            text += u' ' + TimeText(seconds);
    }
    return text;
}

bool SpreadsheetReader::IsDateFormat(int id, QStringView code) {
    if (code.isEmpty())
        return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
               (id >= 50 && id <= 58);
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (c == u'"') {
            while (++i < code.size() && code[i] != u'"') {
            }
        } else if (c == u'[') {
            // [h], [mm] and [ss] are elapsed times; colours, conditions and locales are not
            const qsizetype end = code.indexOf(u']', i);
            const QStringView inside = code.mid(i + 1, end < 0 ? -1 : end - i - 1);
            if (!inside.isEmpty() && std::all_of(inside.begin(), inside.end(), [](QChar k) {
                    const QChar l = k.toLower();
                    return l == u'h' || l == u'm' || l == u's';
                }))
                return true;
            i = end < 0 ? code.size() : end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // an escaped, padding or fill character
        } else {
            const QChar l = c.toLower();
            if (l == u'y' || l == u'm' || l == u'd' || l == u'h' || l == u's')
                return true;
        }
    }
    return false;
}

// ---- opening ----

SpreadsheetReader::SpreadsheetReader(const SpreadsheetLimits &limits)
    : d(std::make_unique<Private>()) {
    d->limits = limits;
}
SpreadsheetReader::~SpreadsheetReader() = default;

QString SpreadsheetReader::error() const {
    return d->error;
}
SpreadsheetError SpreadsheetReader::errorKind() const {
    return d->failure.kind;
}
QString SpreadsheetReader::sheetName() const {
    return d->sheet;
}
int SpreadsheetReader::rowCount() const {
    return d->rows;
}

bool SpreadsheetReader::open(const QString &path) {
    const SpreadsheetLimits limits = d->limits;
    d = std::make_unique<Private>();
    d->limits = limits;
    d->path = path;
    d->fileName = QFileInfo(path).fileName();
    bool ok = d->openFile();
    if (ok) {
        // Count the used rows: one pass over the sheet, all columns; a value past the row
        // limit ends it.
        int last = 0;
        const int limit = d->limits.rows;
        d->counting = true;
        const Walk w = d->walk(INT_MAX, [&last, limit](int row, int, QString &&) {
            last = std::max(last, row);
            return row <= limit;
        });
        d->counting = false;
        ok = w != Walk::Failed;
        if (ok && last > limit) {
            const QLocale english(QLocale::English);
            ok = d->fail(SpreadsheetError::TooManyRows,
                         QStringLiteral("%1행에 값이 있습니다. 최대 %2행까지 읽습니다")
                             .arg(english.toString(last), english.toString(limit)));
        }
        d->rows = last;
    }
    if (!ok) {
        if (d->failure.kind == SpreadsheetError::None)
            d->failure.set(SpreadsheetError::Damaged, QString());
        d->makeMessage();
        d->kind = Kind::None;
        d->zip.reset();
        d->closeXls();
        d->sheet.clear();
        d->rows = 0;
    }
    return ok;
}

bool SpreadsheetReader::readRows(int columns, const RowFunction &row) {
    if (d->kind == Kind::None) {
        if (d->failure.kind == SpreadsheetError::None) {
            d->failure.set(SpreadsheetError::CannotOpen, QStringLiteral("열리지 않은 파일"));
            d->makeMessage();
        }
        return false;
    }
    if (columns < 1 || columns > kMaxColumns)
        columns = std::clamp(columns, 1, kMaxColumns);
    RowFeeder feeder(columns, d->rows, row);
    const Walk w = d->walk(columns, [&feeder](int r, int c, QString &&text) {
        return feeder.cell(r, c, std::move(text));
    });
    if (w == Walk::Failed) {
        if (d->failure.kind == SpreadsheetError::None)
            d->failure.set(SpreadsheetError::Damaged, QString());
        d->makeMessage();
        return false;
    }
    if (!feeder.stopped())
        feeder.finish();
    return true;
}

Walk SpreadsheetReader::Private::walk(int columns, const CellSink &sink) {
    switch (kind) {
    case Kind::Xlsx:
        return walkXlsx(columns, sink);
    case Kind::Ods:
        return walkOds(columns, sink);
    case Kind::Xls:
        return walkXls(columns, sink);
    case Kind::Biff:
        return walkBiff(columns, sink);
    case Kind::None:
        break;
    }
    return Walk::Failed;
}

bool SpreadsheetReader::Private::openFile() {
    // Before anything opens it: a FIFO or a device would block the open or never end.
    const QString refused = RefusedInputFile(path);
    if (!refused.isEmpty())
        return fail(SpreadsheetError::CannotOpen, refused);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(SpreadsheetError::CannotOpen, QStringLiteral("읽을 수 없습니다"));
    const QByteArray head = file.read(8);
    if (head.isEmpty())
        return fail(SpreadsheetError::NotSpreadsheet, QStringLiteral("빈 파일"));
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06")) {
        file.close();
        return openZip();
    }
    if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return openCompound(file);
    // The bare record stream: a beginning-of-file record of BIFF2 to BIFF8.
    if (head.size() >= 4) {
        const quint16 id = U16(head.constData());
        const quint16 len = U16(head.constData() + 2);
        if ((id == 0x0009 || id == 0x0209 || id == 0x0409 || id == 0x0809) && len >= 4 &&
            len <= 20) {
            file.close();
            return openBiff();
        }
    }
    return fail(SpreadsheetError::NotSpreadsheet);
}

bool SpreadsheetReader::Private::openZip() {
    zip = std::make_unique<ZipArchive>(path);
    if (!zip->ok())
        return fail(SpreadsheetError::Damaged, QStringLiteral("zip"));
    bool hasContent = false, hasWorkbook = false, hasRels = false, encrypted = false;
    const bool listed = zip->entries([&](const QString &entry, quint64 flags) {
        encrypted |= (flags & 1) != 0;
        const QString name = entry.toLower();
        hasContent |= name == u"content.xml";
        hasWorkbook |= name == u"xl/workbook.xml";
        hasRels |= name == u"_rels/.rels";
    });
    if (!listed)
        return fail(SpreadsheetError::Damaged, QStringLiteral("zip"));
    if (encrypted)
        return fail(SpreadsheetError::Encrypted);
    if (hasRels) {
        // The package's relationships name the workbook part.
        QString workbook = findWorkbook();
        if (failure.kind != SpreadsheetError::None)
            return false;
        if (!workbook.isEmpty() && workbook.endsWith(u".xml", Qt::CaseInsensitive))
            return openXlsx(workbook);
        if (hasWorkbook)
            return openXlsx(QStringLiteral("xl/workbook.xml"));
    } else if (hasWorkbook) {
        return openXlsx(QStringLiteral("xl/workbook.xml"));
    }
    QByteArray mimetype;
    ReadZipEntry(*zip, QStringLiteral("mimetype"), 256, mimetype);
    if (mimetype.startsWith("application/vnd.oasis.opendocument.") &&
        !mimetype.startsWith("application/vnd.oasis.opendocument.spreadsheet"))
        return fail(SpreadsheetError::NotSpreadsheet);
    if (hasContent)
        return openOds();
    return fail(SpreadsheetError::NotSpreadsheet);
}

QString SpreadsheetReader::Private::findWorkbook() {
    ZipXml rels(*zip, failure);
    if (!rels.open(QStringLiteral("_rels/.rels"), limits.partBytes))
        return QString();
    QString workbook;
    for (auto t = rels.next(); t != QXmlStreamReader::Invalid; t = rels.next()) {
        if (t == QXmlStreamReader::StartElement && rels.xml.name() == u"Relationship" &&
            rels.xml.attributes().value(QLatin1String("Type")).endsWith(u"/officeDocument"))
            workbook = ResolvePart(QString(),
                                   rels.xml.attributes().value(QLatin1String("Target")).toString());
        if (t == QXmlStreamReader::EndDocument)
            break;
    }
    return workbook;
}

// ---- .xlsx ----

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

// ---- .ods ----

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

// ---- .xls ----

namespace {

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
            qsizetype record = at; // the record being read
            int recordLen = len;
            int pos = 8;
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
                    return bad("SST", record);
                if (pos + 3 > recordLen)
                    return bad("SST", record);
                const char *h = data + record + 4 + pos;
                qint64 chars = U16(h);
                const int flags = uchar(h[2]);
                pos += 3;
                qint64 extra = 0;
                if (flags & 8) {
                    if (pos + 2 > recordLen)
                        return bad("SST", record);
                    extra += 4 * qint64(U16(data + record + 4 + pos));
                    pos += 2;
                }
                if (flags & 4) {
                    if (pos + 4 > recordLen)
                        return bad("SST", record);
                    extra += U32(data + record + 4 + pos);
                    pos += 4;
                }
                bool wide = flags & 1;
                while (chars > 0) {
                    if (pos == recordLen) {
                        // a string split across records goes on after a new option byte
                        if (!next() || recordLen < 1)
                            return bad("SST", record);
                        wide = uchar(data[record + 4]) & 1;
                        pos = 1;
                    }
                    const qint64 take = std::min<qint64>(chars, (recordLen - pos) / (wide ? 2 : 1));
                    if (take == 0)
                        return bad("SST", record);
                    chars -= take;
                    pos += int(take * (wide ? 2 : 1));
                }
                while (extra > 0) { // formatting runs and phonetic data, skipped
                    if (pos == recordLen && !next())
                        return bad("SST", record);
                    const qint64 take = std::min<qint64>(extra, recordLen - pos);
                    extra -= take;
                    pos += int(take);
                }
            }
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
    };
    std::vector<BoundSheet> sheets;
    std::map<int, QString> formats;
    std::vector<bool> xfDates;
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
        if (id == 0x0085 && len >= 8) {
            const int cch = uchar(body[6]);
            const bool wide = biff8 && (uchar(body[7]) & 1);
            const int start = biff8 ? 8 : 7;
            if (start + cch * (wide ? 2 : 1) <= len)
                sheets.push_back(
                    {wide ? QString::fromUtf16(reinterpret_cast<const char16_t *>(body + 8), cch)
                          : QString::fromLatin1(body + start, cch),
                     U32(body)});
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
            xfDates.push_back(SpreadsheetReader::IsDateFormat(
                fmt, f == formats.end() ? QStringView() : QStringView(f->second)));
        }
        if (id == 0x000A)
            break;
        at += 4 + len;
    }
    QStringList names;
    for (const BoundSheet &b : sheets)
        names << b.name;
    file.close();
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
    // FreeXL leaves formula results and boolean and error cells empty: read them from the
    // sheet's own records.
    for (const BoundSheet &b : sheets) {
        if (b.name != sheet)
            continue;
        const QString duplicate = DuplicateXlsCell(stream, b.offset);
        if (!duplicate.isEmpty())
            return fail(SpreadsheetError::Damaged, duplicate);
        if (biff8)
            readXlsExtras(stream, b.offset, xfDates);
    }
    return true;
}

void SpreadsheetReader::Private::readXlsExtras(const QByteArray &stream, quint32 offset,
                                               const std::vector<bool> &xfDates) {
    const auto number = [&](int xf, double v) {
        return xf >= 0 && xf < int(xfDates.size()) && xfDates[size_t(xf)]
                   ? SpreadsheetReader::SerialDateText(v, false)
                   : SpreadsheetReader::NumberText(v);
    };
    quint64 pendingString = ~0ull; // the cell whose formula's text comes in the next STRING
    for (qsizetype at = offset; at + 4 <= stream.size();) {
        const quint16 id = U16(stream.constData() + at);
        const quint16 len = U16(stream.constData() + at + 2);
        const char *b = stream.constData() + at + 4;
        if (at + 4 + len > stream.size() || id == 0x000A)
            break;
        at += 4 + len;
        if (len < 6)
            continue;
        const quint64 key = (quint64(U16(b)) << 16) | U16(b + 2);
        if (id == 0x0006 && len >= 14) { // FORMULA with its cached result
            const int xf = U16(b + 4);
            if (U16(b + 12) != 0xFFFF) {
                double v;
                std::memcpy(&v, b + 6, 8);
                xlsExtras[key] = number(xf, v);
            } else if (b[6] == 0) {
                pendingString = key;
            } else if (b[6] == 1 || b[6] == 2) {
                xlsExtras[key] = BoolErrText(uchar(b[8]), b[6] == 2);
            }
        } else if (id == 0x0207 && pendingString != ~0ull && len >= 3) { // STRING
            const int cch = U16(b);
            const bool wide = uchar(b[2]) & 1;
            if (3 + cch * (wide ? 2 : 1) <= len)
                xlsExtras[pendingString] =
                    wide ? QString::fromUtf16(reinterpret_cast<const char16_t *>(b + 3), cch)
                         : QString::fromLatin1(b + 3, cch);
            pendingString = ~0ull;
        } else if (id == 0x0205 && len >= 8) { // BOOLERR
            xlsExtras[key] = BoolErrText(uchar(b[6]), b[7] != 0);
        }
    }
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
            default: {
                const auto extra = xlsExtras.find((quint64(r) << 16) | c);
                if (extra != xlsExtras.end())
                    text = extra->second;
                break;
            }
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
