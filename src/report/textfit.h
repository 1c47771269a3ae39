#pragma once

// Texts measured as the back-ends draw them, in millimetres, and fitted into their items.
//
// The rule of the engine: a text is drawn inside its item's rectangle, never over the next
// column. A text that does not fit is first set smaller, down to kSmallestFontShare of its
// size (and never below kSmallestFontPoints); a text that wraps (Item::wordWrap) is wrapped
// at its blanks at each size. What does not fit at the smallest size is cut and ends in
// "…": a single line at its end, a wrapped text on its last line that fits. A figure (digits
// with their separators, sign, decimal point, "%") is never cut, since a cut figure reads as
// another one: it is set as small as it needs, down to kSmallestFigurePoints.

#include "report/document.h"

#include <QFont>
#include <QSizeF>

namespace kelo::report {

constexpr double kSmallestFontShare = 0.75;
constexpr double kSmallestFontPoints = 4;
constexpr double kSmallestFigurePoints = 2;

// The Qt font of a report font, its size scaled (the back-ends draw on devices whose own
// resolution differs from the one they draw at).
QFont ToQFont(const FontSpec &spec, double scale = 1);

// The width of one line of text in the font, in mm.
double TextWidth(const FontSpec &font, const QString &text);
// The height of one line of the font, in mm.
double LineHeight(const FontSpec &font);

// Where a text primitive's text stands on the page: its size (wrapped to the width of its
// rectangle when it wraps) placed in the rectangle by its alignment.
QRectF TextBounds(const Primitive &text);

// Fits a text primitive into its rectangle by the rule above: may lower its font's size
// and cut its text (a wrapped text is then given its lines).
void FitText(Primitive &text);

} // namespace kelo::report
