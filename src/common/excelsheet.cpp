#include "common/excelsheet.h"

#include "common/cp949.h"
#include "common/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include <xlsxwriter.h>

namespace kelo {

QString XlsFileName(const QString &name) {
    const QFileInfo info(name);
    if (info.suffix().toLower() == QLatin1String("xls"))
        return name;
    if (info.suffix().isEmpty())
        return name + QStringLiteral(".xls");
    return name.left(name.size() - info.suffix().size()) + QStringLiteral("xls");
}

QString ExcelFileName(const QString &name) {
    return IsXlsxName(name) ? name : XlsFileName(name);
}

bool IsXlsxName(const QString &name) {
    return QFileInfo(name).suffix().toLower() == QLatin1String("xlsx");
}

QString ExcelFileFilter() {
    return QStringLiteral("Excel 파일(*.xls);;Excel 통합 문서(*.xlsx)");
}

QString XlsxFileFilter() {
    return QStringLiteral("Excel 통합 문서(*.xlsx);;Excel 파일(*.xls)");
}

QString TooManyRowsForXlsMessage() {
    return QStringLiteral(
        "Excel 파일로 저장할 수 없습니다.\r\r.xls 파일에는 65,535행까지만 저장할 수 "
        "있습니다. .xlsx 파일로 저장하면 행 수에 제한이 없습니다.");
}

QString TooManyRowsForXlsxMessage() {
    return QStringLiteral(
        "Excel 파일로 저장할 수 없습니다.\r\r.xlsx 파일에는 1,048,576행까지만 저장할 수 "
        "있습니다.");
}

namespace {

// Written a megabyte at a time: a sheet of many rows costs few writes.
constexpr int kBlock = 1 << 20;
constexpr quint16 kKoreanCodePage = 949;

// The records of an .xls worksheet, buffered and written to the device in large blocks.
class XlsRecords {
public:
    explicit XlsRecords(QIODevice &device) : m_device(device), m_buffer(size_t(kBlock) + 1024) {}

    void beginFile() {
        char *at = reserve(12 + 6);
        put(at, 0x0809);
        put(at + 2, 8);
        put(at + 4, 0x0000);
        put(at + 6, 0x0010); // a worksheet
        put(at + 8, 0x0000);
        put(at + 10, 0x0000);
        put(at + 12, 0x0042); // the code page of the texts
        put(at + 14, 2);
        put(at + 16, kKoreanCodePage);
    }
    void text(int row, int column, QStringView text) {
        char *at = reserve(12 + 255);
        const int n = AppendCp949(text, at + 12, 255);
        m_used -= size_t(255 - n); // give back what the text did not take
        put(at, 0x0204);
        put(at + 2, quint16(8 + n));
        put(at + 4, quint16(row));
        put(at + 6, quint16(column));
        put(at + 8, 0x0000);
        put(at + 10, quint16(n));
    }
    void number(int row, int column, double value) {
        char *at = reserve(18);
        put(at, 0x0203);
        put(at + 2, 14);
        put(at + 4, quint16(row));
        put(at + 6, quint16(column));
        put(at + 8, 0x0000);
        std::memcpy(at + 10, &value, 8); // little-endian machines: the IEEE bytes in file order
    }
    void endFile() {
        char *at = reserve(4);
        put(at, 0x000A);
        put(at + 2, 0);
    }
    // Writes what is buffered; false when the device refused it.
    bool flush() {
        if (m_used > 0) {
            if (m_device.write(m_buffer.data(), qint64(m_used)) != qint64(m_used))
                m_ok = false;
            m_used = 0;
        }
        return m_ok;
    }

private:
    char *reserve(int bytes) {
        if (m_used + size_t(bytes) > m_buffer.size())
            flush();
        char *at = m_buffer.data() + m_used;
        m_used += size_t(bytes);
        return at;
    }
    static void put(char *at, quint16 v) {
        at[0] = char(v & 0xFF);
        at[1] = char(v >> 8);
    }
    QIODevice &m_device;
    std::vector<char> m_buffer;
    size_t m_used = 0;
    bool m_ok = true;
};

// The Excel number format of a display format, as the grids and reports show it: a ',' groups
// thousands, the characters after a '.' are the decimals (",0", "0,", "#,##0" → "#,##0";
// "#,##0.0" → "#,##0.0"; "0.00" → "0.00"); empty (general) for a format that is no number
// format.
QString XlsxNumberFormat(const QString &displayFormat) {
    if (!displayFormat.contains(u',') && !displayFormat.contains(u'0') &&
        !displayFormat.contains(u'#'))
        return QString();
    QString out = displayFormat.contains(u',') ? QStringLiteral("#,##0") : QStringLiteral("0");
    const qsizetype point = displayFormat.indexOf(u'.');
    if (point >= 0 && point + 1 < displayFormat.size())
        out += u'.' + QString(displayFormat.size() - point - 1, u'0');
    return out;
}

// An .xlsx workbook of one sheet through libxlsxwriter in its constant-memory mode: rows go
// to the file as they are finished, so memory stays flat however many rows there are.
class XlsxBook {
public:
    XlsxBook(const QString &path, const QString &sheetName) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        static const QByteArray tmp = QDir::tempPath().toLocal8Bit();
        options.tmpdir = const_cast<char *>(tmp.constData());
        const QByteArray file = QFile::encodeName(path);
        m_book = workbook_new_opt(file.constData(), &options);
        if (!m_book) {
            m_error = QStringLiteral("cannot create %1").arg(path);
            return;
        }
        // A sheet name has at most 31 characters and none of []:*?/\ .
        QString name = sheetName;
        for (const QChar c : QStringLiteral("[]:*?/\\"))
            name.replace(c, u'_');
        name = name.left(31).trimmed();
        if (name.isEmpty())
            name = QStringLiteral("Sheet1");
        m_sheet = workbook_add_worksheet(m_book, name.toUtf8().constData());
        if (!m_sheet)
            m_sheet = workbook_add_worksheet(m_book, nullptr);
    }
    ~XlsxBook() {
        if (m_book)
            workbook_close(m_book); // frees it
    }
    XlsxBook(const XlsxBook &) = delete;
    XlsxBook &operator=(const XlsxBook &) = delete;

    bool ok() const { return m_sheet != nullptr && m_error.isEmpty(); }
    QString error() const { return m_error; }

    void text(int row, int column, QStringView text, bool bold, Qt::Alignment alignment) {
        if (m_sheet)
            check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column),
                                         text.toUtf8().constData(),
                                         format(QString(), bold, alignment)));
    }
    void number(int row, int column, double value, const QString &numberFormat) {
        if (m_sheet)
            check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value,
                                         format(numberFormat, false, {})));
    }
    // Width in characters; before the first row.
    void columnWidth(int column, double characters) {
        if (m_sheet)
            check(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), characters,
                                       nullptr));
    }
    // The rows above `rows` stay in view when scrolling; before writing.
    void freezeRows(int rows) {
        if (m_sheet)
            worksheet_freeze_panes(m_sheet, lxw_row_t(rows), 0);
    }
    bool close() {
        if (!m_book)
            return false;
        check(workbook_close(m_book));
        m_book = nullptr;
        m_sheet = nullptr;
        return m_error.isEmpty();
    }

private:
    // Texts are left-aligned unless alignment says right or centre.
    lxw_format *format(const QString &numberFormat, bool bold, Qt::Alignment alignment) {
        const int align = alignment.testFlag(Qt::AlignRight)     ? LXW_ALIGN_RIGHT
                          : alignment.testFlag(Qt::AlignHCenter) ? LXW_ALIGN_CENTER
                                                                 : LXW_ALIGN_NONE;
        if (numberFormat.isEmpty() && !bold && align == LXW_ALIGN_NONE)
            return nullptr;
        const auto key = std::make_tuple(numberFormat, bold, align);
        const auto found = m_formats.find(key);
        if (found != m_formats.end())
            return found->second;
        lxw_format *f = workbook_add_format(m_book);
        if (!numberFormat.isEmpty())
            format_set_num_format(f, numberFormat.toUtf8().constData());
        if (bold)
            format_set_bold(f);
        if (align != LXW_ALIGN_NONE)
            format_set_align(f, uint8_t(align));
        m_formats.emplace(key, f);
        return f;
    }
    void check(int code) {
        if (code != LXW_NO_ERROR && m_error.isEmpty())
            m_error = QString::fromUtf8(lxw_strerror(lxw_error(code)));
    }

    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    std::map<std::tuple<QString, bool, int>, lxw_format *> m_formats;
    QString m_error;
};

} // namespace

struct ExcelSheet::Private {
    bool xlsx = false;
    bool tooManyRows = false;
    std::unique_ptr<OutputFile> out;
    std::unique_ptr<XlsRecords> xls;
    std::unique_ptr<XlsxBook> book;
    QString error;

    // Drops what was written: no file is left.
    void discard() {
        xls.reset();
        book.reset();
        out.reset();
    }
};

ExcelSheet::ExcelSheet(const QString &path, const QString &title, int headingRow,
                       const std::vector<int> &widths)
    : d(std::make_unique<Private>()) {
    d->xlsx = IsXlsxName(path);
    m_rowLimit = d->xlsx ? kXlsxRows : kXlsRows;
    d->out = std::make_unique<OutputFile>(path);
    if (!d->out->open()) {
        d->error = d->out->errorString();
        d->out.reset();
        return;
    }
    if (d->xlsx) {
        d->book = std::make_unique<XlsxBook>(d->out->stagedPath(), title);
        for (size_t c = 0; c < widths.size(); ++c)
            d->book->columnWidth(int(c), std::max(4.0, widths[c] / 7.0));
        if (headingRow >= 0)
            d->book->freezeRows(headingRow + 1);
    } else {
        d->xls = std::make_unique<XlsRecords>(d->out->device());
        d->xls->beginFile();
    }
}

ExcelSheet::~ExcelSheet() {
    d->discard();
}

bool ExcelSheet::isXlsx() const {
    return d->xlsx;
}

bool ExcelSheet::startRow(int row) {
    if (!rowFits(row))
        d->tooManyRows = true;
    return !d->tooManyRows;
}

void ExcelSheet::heading(int row, int column, QStringView text, Qt::Alignment alignment) {
    writeText(row, column, text, true, alignment);
}

void ExcelSheet::text(int row, int column, QStringView text, Qt::Alignment alignment) {
    if (d->xls && rowFits(row)) // the cell of every .xls row: straight to its record
        d->xls->text(row, column, text);
    else
        writeText(row, column, text, false, alignment);
}

void ExcelSheet::writeText(int row, int column, QStringView text, bool bold,
                           Qt::Alignment alignment) {
    if (!rowFits(row))
        d->tooManyRows = true;
    else if (d->book)
        d->book->text(row, column, text, bold, alignment & Qt::AlignHorizontal_Mask);
    else if (d->xls)
        d->xls->text(row, column, text);
}

void ExcelSheet::number(int row, int column, double value, const QString &displayFormat) {
    if (d->xls && rowFits(row))
        d->xls->number(row, column, value);
    else if (!rowFits(row))
        d->tooManyRows = true;
    else if (d->book)
        d->book->number(row, column, value, XlsxNumberFormat(displayFormat));
    else if (d->xls)
        d->xls->number(row, column, value);
}

ExcelSheet::Outcome ExcelSheet::finish() {
    if (!d->out)
        return Outcome::Failed; // not opened, or finished before
    if (d->tooManyRows) {
        d->error = d->xlsx ? TooManyRowsForXlsxMessage() : TooManyRowsForXlsMessage();
        d->discard();
        return Outcome::TooManyRows;
    }
    bool written = false;
    if (d->book) {
        written = d->book->ok() && d->book->close();
        if (!written)
            d->error = d->book->error();
    } else {
        d->xls->endFile();
        written = d->xls->flush();
        if (!written)
            d->error = d->out->device().errorString();
    }
    if (written && !d->out->commit()) {
        written = false;
        d->error = d->out->errorString();
    }
    const Outcome outcome = written ? Outcome::Written : Outcome::Failed;
    if (written)
        d->out.reset();
    d->discard();
    return outcome;
}

QString ExcelSheet::error() const {
    return d->error;
}

} // namespace kelo
