#include "spreadsheet/spreadsheet.h"

#include "common/numbertext.h"
#include "common/protectedfiles.h"
#include "spreadsheet/reader_p.h"
#include "spreadsheet/zip.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>

#include <freexl.h>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kelo {

using namespace sheet;

namespace {

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

} // namespace

SpreadsheetReader::Private::~Private() {
    closeXls();
}
void SpreadsheetReader::Private::closeXls() {
    if (xl)
        freexl_close(xl);
    xl = nullptr;
}

// ---- cell texts ----

QString SpreadsheetReader::NumberText(double value) {
    QString text = NumberToText(value);
    if (text.startsWith(u'.'))
        text.prepend(u'0');
    else if (text.startsWith(QStringLiteral("-.")))
        text.insert(1, u'0');
    return text;
}

namespace sheet {
QString TimeText(qint64 seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QChar(u'0'))
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}
} // namespace sheet

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
    if (iso.size() == 10) {
        // a date alone in digits, as the files hold it: without parsing and formatting
        char16_t digits[8];
        int n = 0;
        for (const QChar c : iso)
            if (c != u'-') {
                if (c < u'0' || c > u'9')
                    break;
                if (n < 8)
                    digits[n] = c.unicode();
                ++n;
            }
        if (n == 8) {
            const auto number = [&](int from, int count) {
                int v = 0;
                for (int i = from; i < from + count; ++i)
                    v = v * 10 + (digits[i] - u'0');
                return v;
            };
            if (!QDate(number(0, 4), number(4, 2), number(6, 2)).isValid())
                return QString();
            return QString(reinterpret_cast<const QChar *>(digits), 8);
        }
    }
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

namespace sheet {
FormatLetters ScanFormatCode(QStringView code) {
    FormatLetters f;
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
                f.time = true;
            i = end < 0 ? code.size() : end;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i; // an escaped, padding or fill character
        } else {
            const QChar l = c.toLower();
            if (l == u'y' || l == u'd')
                f.date = true;
            else if (l == u'm')
                f.month = true;
            else if (l == u'h' || l == u's')
                f.time = true;
        }
    }
    return f;
}
} // namespace sheet

bool SpreadsheetReader::IsDateFormat(int id, QStringView code) {
    if (code.isEmpty())
        return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
               (id >= 50 && id <= 58);
    const FormatLetters f = ScanFormatCode(code);
    return f.date || f.month || f.time;
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
    case Kind::Biff8:
        return walkBiff8(columns, sink);
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
    for (auto t = rels.next(); t != ZipXml::Invalid && t != ZipXml::EndDocument; t = rels.next()) {
        if (t == ZipXml::StartElement && rels.name() == "Relationship" &&
            rels.attribute("Type").ends_with("/officeDocument"))
            workbook = ResolvePart(QString(), ToQString(rels.attribute("Target")));
    }
    return workbook;
}

} // namespace kelo
