#pragma once

#include "report/document.h"

#include <vector>

namespace kelo::report {

// Lays a chart item out into page primitives (rectangles, lines and texts) within rect
// (mm on the page): the title on top, the legend at the bottom, the value axis on the
// left with its figures and grid lines, the categories below the plot. The rows are read
// from the item's data set; its current row is kept.
void AddChart(std::vector<Primitive> &out, const Item &item, const QRectF &rect, int band);

// The step of a value axis over 0..top with about `lines` grid lines: 1, 2 or 5 times
// a power of ten.
double ChartStep(double top, int lines);

} // namespace kelo::report
