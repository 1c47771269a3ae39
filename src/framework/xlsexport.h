#pragma once

#include "common/excelsheet.h"
#include "controls/grid.h"

#include <QString>

namespace kelo {

// Writes the whole grid: the title at row 0 (none when empty), every column's
// title at row 2, every row from row 3. Columns of numbers whose display format
// has no "-" give number cells; all others text cells (a choice column's text).
// Asks for the name when askName is set. The result is the file written, or
// "^" followed by the reason.
QString SaveGridToXls(controls::Grid *grid, const QString &title, bool askName,
                      const QString &fileName);

// SaveGridToXls asking for the name, then the offer to open the file written; a refusal is
// shown as an error. The busy cursor shows until the offer is answered.
void ExportGridAndOfferToOpen(controls::Grid *grid, const QString &title, const QString &fileName);

// The inquiry screens' own export into the file at path, .xlsx or .xls by the name
// (ExcelSheet): the caption at row 0, the visible columns' titles in display order at row
// 2, then every row of the result (all packets fetched) from row 3; a right-aligned field
// whose text is a whole number (an optional minus and digits; empty counts as 0) is a number
// cell, anything else a text cell with the shown text. Empty text when written, else the
// message to show.
QString WriteInquiryExcel(const QString &path, controls::Grid *grid, const QString &caption);

} // namespace kelo
