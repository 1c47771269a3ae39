#pragma once

// What the format readers of the spreadsheet library share: the reader's state, the walk
// over a sheet's cells and the failure that stops it. Not for callers outside the library.

#include "spreadsheet/spreadsheet.h"

#include <QFile>
#include <QString>
#include <QStringView>

#include <string>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace kelo {

namespace sheet {

// What a walk over the cells of a sheet ended with.
enum class Walk { Finished, Stopped, Failed };

// Receives the non-empty cells of a sheet in row order: row from 1, column from 0.
// Returns false to stop the walk.
using CellSink = std::function<bool(int row, int column, QString &&text)>;

inline quint16 U16(const char *p) {
    return quint16(uchar(p[0]) | (uchar(p[1]) << 8));
}
inline quint32 U32(const char *p) {
    return quint32(U16(p)) | (quint32(U16(p + 2)) << 16);
}

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

// "hh:mm:ss" of a number of seconds in a day.
QString TimeText(qint64 seconds);

// The letters of an Excel number format code that show a part of a date or a time, outside
// quotes, escapes and brackets: y and d (date), m (month or minute), h and s, or [h], [mm],
// [ss] (time).
struct FormatLetters {
    bool date = false, month = false, time = false;
};
FormatLetters ScanFormatCode(QStringView code);

class ZipArchive;

enum class Kind { None, Xlsx, Ods, Xls, Biff8, Biff };

// What a date format of an .xls shows.
enum class DateKind : quint8 { None, Date, Time, DateTime };

} // namespace sheet

struct SpreadsheetReader::Private {
    using Failure = sheet::Failure;
    using Kind = sheet::Kind;
    using Walk = sheet::Walk;
    using CellSink = sheet::CellSink;

    SpreadsheetLimits limits;
    QString path;
    QString fileName;
    Kind kind = Kind::None;
    Failure failure;
    QString error;
    QString sheet;
    int rows = 0;

    // .xlsx and .ods
    std::unique_ptr<sheet::ZipArchive> zip;
    QString sheetPart;
    bool date1904 = false;
    std::vector<QString> shared;
    std::vector<bool> dateStyles;
    // .ods: the table's name is `sheet`; whether settings named it
    // .xls of BIFF5 through FreeXL
    const void *xl = nullptr;
    unsigned int xlRows = 0;
    unsigned short xlColumns = 0;
    // .xls of BIFF8, read from its records: the texts of the cells that have one, by
    // row << 8 | column (from 0), in that order
    std::vector<std::pair<quint32, QString>> xlsCells;
    // the bare record stream
    bool biffOrdered = true;
    // The pass of open() that only counts the used rows: texts need not be formatted, only
    // known to be empty or not.
    bool counting = false;

    ~Private();
    void closeXls();

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
    bool readBiff8Cells(const QByteArray &stream, quint32 offset, const std::vector<bool> &xfDates,
                        const std::vector<sheet::DateKind> &xfKinds);
    Walk walkBiff8(int columns, const CellSink &sink);
    Walk walkBiff(int columns, const CellSink &sink);
    bool readSharedStrings(const QString &part);
    bool readStyles(const QString &part);
    // The text of a cell of a type (CellType of xlsx.cpp) from its value's UTF-8 bytes.
    QString xlsxCellText(int type, int style, std::string &value) const;
};

} // namespace kelo
