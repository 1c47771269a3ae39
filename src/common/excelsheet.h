#pragma once

// The one writer of the program's Excel files (grid exports, the inquiries' exports, the
// report viewer's save): a sheet of cells written as an .xls worksheet file or, when the
// name ends in ".xlsx", an .xlsx workbook. The rows a file can hold are known here alone.
//
// .xls: the worksheet records of the grid export, 16-bit little-endian fields, rows and
// columns from 0: beginning of file (0x0809, worksheet), the code page (0x0042, 949: the
// texts are CP949), text cells (0x0204, CP949 text cut to 255 bytes on a character
// boundary), number cells (0x0203, IEEE double), end of file (0x000A). Rows 0 to 65,535.
//
// .xlsx: one sheet named after the title, written with libxlsxwriter in its constant-memory
// mode (rows must come in order, cells of a row in any order); texts UTF-8, headings bold
// with the rows down to them frozen, numbers in the Excel format of the grid's display
// format, the columns as wide as the grid's. Rows 0 to 1,048,575.
//
// Either file goes through OutputFile: a target that is not a regular file is refused, and
// nothing is left at the name unless the whole sheet was written.

#include <QString>
#include <QStringView>
#include <Qt>
#include <memory>
#include <vector>

namespace kelo {

// The ".xls" rule: a name whose lower-cased extension is not ".xls" gets ".xls" in place of
// its extension (a name without one gets it added).
QString XlsFileName(const QString &name);
// An .xlsx name (any case) stays as it is, any other follows XlsFileName.
QString ExcelFileName(const QString &name);
bool IsXlsxName(const QString &name);
// The filter of the save dialogs: .xls first, .xlsx.
QString ExcelFileFilter();
// The same with .xlsx first (the report viewer's save).
QString XlsxFileFilter();
// The refusal of an .xls file past its last row, which names the .xlsx way out.
QString TooManyRowsForXlsMessage();
// The refusal of an .xlsx file past its last row.
QString TooManyRowsForXlsxMessage();

class ExcelSheet {
public:
    static constexpr int kXlsRows = 65536;    // the title and heading rows included
    static constexpr int kXlsxRows = 1048576; // likewise

    enum class Outcome { Written, TooManyRows, Failed };

    // The sheet of the file at path, .xlsx or .xls by the name as it is. The title names an
    // .xlsx sheet; headingRow (the rows down to it stay in view; none when negative) and the
    // columns' widths in pixels shape an .xlsx only.
    ExcelSheet(const QString &path, const QString &title, int headingRow = 2,
               const std::vector<int> &widths = {});
    ~ExcelSheet(); // a sheet not finished leaves nothing behind
    ExcelSheet(const ExcelSheet &) = delete;
    ExcelSheet &operator=(const ExcelSheet &) = delete;

    bool isXlsx() const;
    int rowLimit() const { return m_rowLimit; }
    bool rowFits(int row) const { return row >= 0 && row < rowLimit(); }
    // Whether the cells of row can be written; false makes finish() refuse the file, and the
    // writer stops its walk there.
    bool startRow(int row);

    // A cell past rowLimit() is not written and makes finish() refuse the whole file. The
    // horizontal alignment (left by default, right or centre) shapes an .xlsx only.
    void heading(int row, int column, QStringView text, Qt::Alignment alignment = {});
    void text(int row, int column, QStringView text, Qt::Alignment alignment = {});
    void number(int row, int column, double value, const QString &displayFormat = QString());

    // Puts the file in place. TooManyRows and Failed leave no file (and an existing one as
    // it was); error() tells why: the row-limit message, or the file's reason.
    Outcome finish();
    QString error() const;

private:
    void writeText(int row, int column, QStringView text, bool bold, Qt::Alignment alignment);
    struct Private;
    std::unique_ptr<Private> d;
    int m_rowLimit; // asked for each cell: kept at hand
};

} // namespace kelo
