#include "common/xlsxwriter.h"

#include <QDir>
#include <QFile>

#include <xlsxwriter.h>

namespace kelo {

XlsxWriter::XlsxWriter(const QString &path, const QString &sheetName) {
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

XlsxWriter::~XlsxWriter() {
    if (m_book)
        workbook_close(m_book); // frees it; a file left half-written is the caller's to remove
}

void XlsxWriter::check(int code) {
    if (code != LXW_NO_ERROR && m_error.isEmpty())
        m_error = QString::fromUtf8(lxw_strerror(lxw_error(code)));
}

lxw_format *XlsxWriter::format(const QString &numberFormat, bool bold) {
    if (numberFormat.isEmpty() && !bold)
        return nullptr;
    const auto key = std::make_pair(numberFormat, bold);
    const auto found = m_formats.find(key);
    if (found != m_formats.end())
        return found->second;
    lxw_format *f = workbook_add_format(m_book);
    if (!numberFormat.isEmpty())
        format_set_num_format(f, numberFormat.toUtf8().constData());
    if (bold)
        format_set_bold(f);
    m_formats.emplace(key, f);
    return f;
}

void XlsxWriter::text(int row, int column, QStringView text, bool bold) {
    if (!m_sheet)
        return;
    check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column),
                                 text.toUtf8().constData(), format(QString(), bold)));
}

void XlsxWriter::number(int row, int column, double value, const QString &numberFormat) {
    if (!m_sheet)
        return;
    check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), value,
                                 format(numberFormat, false)));
}

void XlsxWriter::columnWidth(int column, double characters) {
    if (m_sheet)
        check(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), characters,
                                   nullptr));
}

void XlsxWriter::freezeRows(int rows) {
    if (m_sheet)
        worksheet_freeze_panes(m_sheet, lxw_row_t(rows), 0);
}

bool XlsxWriter::close() {
    if (!m_book)
        return false;
    check(workbook_close(m_book));
    m_book = nullptr;
    m_sheet = nullptr;
    return m_error.isEmpty();
}

QString XlsxWriter::NumberFormat(const QString &displayFormat) {
    if (displayFormat == QLatin1String(",0") || displayFormat == QLatin1String("0,") ||
        displayFormat == QLatin1String("#,##0"))
        return QStringLiteral("#,##0");
    if (displayFormat.startsWith(QLatin1String("#,##0.")))
        return displayFormat;
    return QString();
}

} // namespace kelo
