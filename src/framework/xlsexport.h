#pragma once

#include "controls/grid.h"

#include <QString>

namespace kelo {

// The ".xls" rule: a name whose lower-cased extension is not ".xls" gets ".xls"
// in place of its extension (a name without one gets it added).
QString XlsFileName(const QString &name);

// The exports write an .xlsx workbook when the name chosen ends in ".xlsx" (any case),
// else the .xls file of XlsFileName. The filter of their save dialogs offers both, .xls
// first.
QString ExcelFileName(const QString &name);
bool IsXlsxName(const QString &name);
QString ExcelFileFilter();
// The refusal of an .xls export past sheet row 65,535, which names the .xlsx way out.
QString TooManyRowsForXlsMessage();

// Writes the whole grid: the title at row 0 (none when empty), every column's
// title at row 2, every row from row 3. Columns of numbers whose display format
// has no "-" give number cells; all others text cells (a choice column's text).
// Asks for the name when askName is set. The result is the file written, or
// "^" followed by the reason.
QString SaveGridToXls(controls::Grid *grid, const QString &title, bool askName,
                      const QString &fileName);

// The inquiry screens' own export into an open file: the caption at row 0, the
// visible columns' titles in display order at row 2, then every row of the
// result (all packets fetched) from row 3; a right-aligned field whose text is
// a whole number (an optional minus and digits; empty counts as 0) is a number
// cell, anything else a text cell with the shown text. False when writing failed.
bool WriteInquiryXls(QIODevice &device, controls::Grid *grid, const QString &caption);

// The same export into the file at path, .xlsx (headings bold and frozen, numbers in the
// column's format, the grid's column widths) or .xls by the name. Empty text when written,
// else the message to show.
QString WriteInquiryExcel(const QString &path, controls::Grid *grid, const QString &caption);

} // namespace kelo
