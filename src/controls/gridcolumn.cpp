#include "controls/gridcolumn.h"

namespace kelo::controls {

GridColumn Column(const char *field, const char *title, int width, bool editable, int maxLength) {
    GridColumn c;
    c.field = QLatin1String(field);
    c.title = QString::fromUtf8(title);
    c.width = width;
    c.readOnly = !editable;
    c.maxLength = maxLength;
    return c;
}

GridColumn NumberColumn(const char *field, const char *title, int width, bool editable,
                        int maxDigits) {
    GridColumn c = Column(field, title, width, editable, maxDigits);
    c.displayFormat = QStringLiteral(",0");
    c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    return c;
}

} // namespace kelo::controls
