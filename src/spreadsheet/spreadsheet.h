#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace kelo {

// Why a spreadsheet could not be read; error() has the sentence for the user.
enum class SpreadsheetError {
    None,
    CannotOpen, // "파일을 열 수 없습니다: NAME (reason)": missing, unreadable
    NotSpreadsheet, // "스프레드시트 파일이 아닙니다: NAME": not xlsx, xls or ods by content
    NoSheet,        // "시트가 없습니다: NAME"
    Damaged,   // "파일이 손상되었습니다: NAME (detail)": truncated, bad XML, bad records
    Encrypted, // "암호로 보호된 파일은 읽을 수 없습니다: NAME"
    TooBig,    // "파일이 너무 큽니다: NAME (detail)": past one of the limits below
    TooManyRows, // "행이 너무 많습니다: NAME (N행에 값이 있습니다. 최대 LIMIT행까지 읽습니다)":
                 // a value past SpreadsheetLimits::rows
};

// What a reader takes in at most; past a limit the file is refused as too big. The inflated
// bytes are counted as they are read, never taken from a zip header.
struct SpreadsheetLimits {
    qint64 sheetBytes = 512ll << 20; // the sheet part (.xlsx sheet, .ods content.xml), the
                                     // .xls workbook stream
    qint64 partBytes = 64ll << 20;   // every other part: workbook, relationships, shared
                                     // strings, styles, settings, manifest
    int sharedStrings = 2'000'000;
    int cellChars = 1 << 20;
    // The last row that may hold a value (rows past it that hold none do not count); a
    // caller that keeps every row sets its own, the default is the format's last row.
    int rows = 1'048'576;
};

// Reads the active sheet of a spreadsheet file for an import: its name, the number of used rows
// and the display texts of the first columns of each row, streamed row by row.
//
// The format is told by the file's content, never by its extension:
//   .xlsx  a zip with xl/workbook.xml (minizip and the reader's own pull parser over the
//          UTF-8 of each part; the sheet is streamed)
//   .ods   a zip with content.xml (the same; the active table from settings.xml)
//   .xls   an OLE2 compound file with a BIFF8 workbook, read from its records once their
//          lengths are checked; a BIFF5 one through FreeXL; or the bare BIFF record stream of
//          the program's own export (LABEL in CP949, NUMBER; the sheet is named after the file)
//
// Cell texts are what a person means, not what a format shows: numbers in the shortest plain
// decimal (1500000, 12.5, -3, 0.5; rounded to 15 significant digits), dates as "yyyymmdd",
// date-times as "yyyymmdd hh:mm:ss", times alone as "hh:mm:ss", "TRUE"/"FALSE", error cells
// as their text ("#N/A"), texts untouched.
//
// Limits (the reader takes files from anywhere): only regular files are opened (a FIFO or a
// device is refused by its status, before it is opened); SpreadsheetLimits, rows up to
// kMaxRows and columns up to kMaxColumns; XML with a DOCTYPE is refused. A cell or a row that
// comes twice (a second <row r="2">, two records of one .xls cell) is damage, refused with
// the row named, never a value silently replaced. Every part is read to its end, where the
// zip checks its CRC. Memory holds only the shared strings and the styles of an .xlsx; an
// .xls workbook stream is held whole, with the texts of its cells (FreeXL holds a BIFF5 one).
class SpreadsheetReader {
public:
    static constexpr int kMaxRows = 1'048'576; // row 1048576
    static constexpr int kMaxColumns = 16'384; // column XFD

    using RowFunction = std::function<bool(int row, const QStringList &cells)>;

    explicit SpreadsheetReader(const SpreadsheetLimits &limits = SpreadsheetLimits());
    ~SpreadsheetReader();
    SpreadsheetReader(const SpreadsheetReader &) = delete;
    SpreadsheetReader &operator=(const SpreadsheetReader &) = delete;

    // Opens the file, finds its active sheet and counts its used rows (one pass over the
    // sheet, so most damage is found here). False with error() set when it cannot be read.
    bool open(const QString &path);
    // One line for the user, in Korean, naming the file's base name; empty after success.
    QString error() const;
    SpreadsheetError errorKind() const;
    // The active sheet's name.
    QString sheetName() const;
    // N: the last row (1-based) that holds a non-empty value in any column; 0 for an empty
    // sheet (cells that only carry a format do not count).
    int rowCount() const;
    // Calls row(r, cells) for r = 1..N in order; cells holds the texts of columns A.. (exactly
    // `columns` of them, 1..kMaxColumns; empty strings for empty cells; empty rows included).
    // The callback returns false to stop, which is no error. Returns false with error() set
    // when the file turns out to be damaged part-way or was not opened.
    bool readRows(int columns, const RowFunction &row);

    // The cell-text rules, shared by the formats.
    // A number: shortest plain decimal, 15 significant digits, "0.5" with its zero.
    static QString NumberText(double value);
    // A date serial number of a workbook (1900 system with its leap-year day 60, or 1904).
    static QString SerialDateText(double serial, bool date1904);
    // An ISO date or date-time ("2027-01-05", "2027-01-05T10:30:00") as "yyyymmdd[ hh:mm:ss]";
    // empty when it is not one.
    static QString IsoDateText(QStringView iso);
    // Whether an Excel number format shows a date or a time: the built-in ids 14-22, 27-36,
    // 45-47 and 50-58, or a format code with y, m, d, h or s outside quotes and brackets.
    static bool IsDateFormat(int id, QStringView code);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace kelo
