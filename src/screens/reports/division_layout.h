#pragma once

// The layout the division statistics reports share on A4 landscape: the description
// at the left, then eleven figure cells; the headings in boxes; the grey blocks under
// the "Actual MTD" and "Actual YTD" columns.

#include "report/definition.h"

#include <QStringList>
#include <array>

namespace kelo::screens::division {

constexpr double kDescriptionWidth = 60; // mm
constexpr double kCellWidth = 19.6;
constexpr double kHeadingHeight = 8;
inline const QColor kActualBlock(236, 236, 236);

// ACTUAL_TODAY .. LAST_YEAR_YTD in print order.
const QStringList &FigureFields();
// The left edge of figure cell i (0 to 10).
double FigureX(int index);

// ",0" on the eleven figures (and on any further fields named).
void SetFigureFormats(report::DataSet &set, const QStringList &more = {});

// The eleven figures of the data set's current row, right-aligned in their cells.
void AddFigureTexts(report::Band &band, report::DataSet &set, const report::FontSpec &font);

// The headings "Description", "Actual Today" .. "Last Year YTD" in boxes from top.
void AddColumnHeadings(report::Band &band, double top);

// The light grey blocks under the "Actual MTD" and "Actual YTD" cells across the
// band; added first, so that the texts stand on them.
void AddActualBlocks(report::Band &band);

// A rule across the page at the bottom of the band, in the given colour, switched off
// until a handler switches it on.
void AddRowRule(report::Band &band, const QString &name, const QColor &color);

// A section of the division statistics composite: its caption in bold in the column
// header, per row a name (the item nameItem, field nameField) and the eleven figures, a
// line under the section.
void BuildSection(report::Band &caption, report::Band &rows, report::Band &closing,
                  report::DataSet &set, const QString &title, const QString &nameItem,
                  const QString &nameField);

// The master band of an area block: a black rule across the page, the area's name in
// white bold on a black box at the left, and the grey blocks QRLabel17 and QRLabel18,
// which print no text.
void AddAreaMaster(report::Band &band, report::DataSet &set, const QString &nameField);

// The rows of an outlet block (sub-detail of set, linked by detailField to the master's
// masterField): the outlet's name and the row kind's name, each repeat-suppressed with
// its own remembered value (items named by names), the division's name, the eleven
// figures, the grey blocks and a light rule under the row.
void BuildOutletRows(report::Band &band, report::DataSet &set, const QString &detailField,
                     const QString &masterField, const std::array<const char *, 2> &names,
                     QString &lastName, QString &lastRow);

// An outlet block row as it prints: the light rule under the revenue total, the block's
// closing line under the guest total.
void MarkOutletRow(report::BandPrint &bp, const report::DataSet &set);

} // namespace kelo::screens::division
