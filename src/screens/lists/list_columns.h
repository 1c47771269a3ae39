#pragma once

#include "controls/gridcolumn.h"

namespace kelo::screens {

// A read-only column of a list inquiry; the field name may be Korean (UTF-8).
inline controls::GridColumn ListColumn(const char *field, const char *title, int width,
                                       Qt::Alignment alignment = Qt::AlignLeft) {
    controls::GridColumn c = controls::Column(field, title, width);
    c.field = QString::fromUtf8(field);
    c.alignment = alignment | Qt::AlignVCenter;
    return c;
}

// A figure column: thousands separators, no decimals.
inline controls::GridColumn FigureListColumn(const char *field, const char *title, int width,
                                             Qt::Alignment alignment = Qt::AlignRight) {
    controls::GridColumn c = ListColumn(field, title, width, alignment);
    c.displayFormat = QStringLiteral("#,##0");
    return c;
}

} // namespace kelo::screens
