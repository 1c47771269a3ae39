#pragma once

#include <QString>
#include <QStringView>
#include <map>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace kelo {

// An .xlsx workbook of one sheet, written with libxlsxwriter in its constant-memory mode:
// rows go to the file as they are finished, so they must be written in order (cells of a
// row in any order); memory stays flat however many rows there are. Texts are UTF-8;
// numbers are number cells with an Excel number format ("#,##0", "#,##0.0", or none).
class XlsxWriter {
public:
    XlsxWriter(const QString &path, const QString &sheetName);
    ~XlsxWriter();
    XlsxWriter(const XlsxWriter &) = delete;
    XlsxWriter &operator=(const XlsxWriter &) = delete;

    // False when the workbook could not be created (see error()).
    bool ok() const { return m_sheet != nullptr && m_error.isEmpty(); }
    QString error() const { return m_error; }

    void text(int row, int column, QStringView text, bool bold = false);
    void number(int row, int column, double value, const QString &format = QString());
    // Width in characters; call before the first row is written.
    void columnWidth(int column, double characters);
    // The rows above `rows` stay in view when scrolling; call before writing.
    void freezeRows(int rows);
    // Writes the file; false (with error()) when it could not be written.
    bool close();

    // The Excel number format of a grid display format (",0", "0,", "#,##0" → "#,##0";
    // "#,##0.0" as it is); empty for none.
    static QString NumberFormat(const QString &displayFormat);

private:
    lxw_format *format(const QString &numberFormat, bool bold);
    void check(int code);

    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    std::map<std::pair<QString, bool>, lxw_format *> m_formats;
    QString m_error;
};

} // namespace kelo
