#pragma once

// A page document laid out as one spreadsheet, as a manager reads it: the bands in page
// order, the page header and each column header once (where they first print), no page
// footers (page numbers) and no charts. Every line of texts of a band is a row; every
// distinct left edge of the texts kept, across the whole document, is a column. A figure
// (Primitive::figure) whose text reads as a number is a number in its display format;
// everything else is the text as printed.

#include "common/excelsheet.h"
#include "report/document.h"

#include <vector>

namespace kelo::report {

struct SheetCell {
    int row = 0, column = 0; // from 0
    QString text;            // as printed; texts meeting in one cell joined by a blank
    bool number = false;     // a figure: value in the display format
    double value = 0;
    QString format; // the item's display format
    bool bold = false;
    Qt::Alignment alignment = Qt::AlignLeft; // horizontal, as the item prints
};

struct SheetLayout {
    std::vector<SheetCell> cells; // by row, left to right
    int rowCount = 0;
    std::vector<double> columnWidths; // mm, one per column
    int headingRow = -1;              // the last row of the first column header, -1 without
};

SheetLayout LayOutSheet(const Document &document);

// The document laid out as a sheet into the Excel file at path (an .xlsx, or by the name an
// .xls; ExcelSheet): the outcome, and why when nothing was written.
struct SheetOutcome {
    ExcelSheet::Outcome outcome = ExcelSheet::Outcome::Failed;
    QString error; // ExcelSheet::error()
};
SheetOutcome WriteSheet(const Document &document, const QString &path);

} // namespace kelo::report
