#pragma once

#include <QColor>
#include <QMargins>
#include <QString>
#include <QStringList>
#include <Qt>

namespace kelo::controls {

enum class FooterStyle { Normal, Raised, Sunken, Up, Down };

struct FooterCell {
    QString text;
    FooterStyle style = FooterStyle::Normal;
    QColor fontColor;
    QMargins margins{2, 0, 4, 0};
    Qt::Alignment alignment = Qt::AlignRight | Qt::AlignVCenter;
};

// One column of a grid, as the screens configure it.
struct GridColumn {
    QString field;     // bound field name; empty: bound by position
    int position = -1; // bound field position when no name is given
    QString title;     // title caption
    int width = 80;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QString displayFormat; // ",0", "0,", "#,##0", "#,##0.0", or empty
    bool readOnly = false;
    QColor color;        // cell background; invalid: the grid's
    bool visible = true; // a hidden column keeps its position
    bool key = false;
    bool required = false;
    int maxLength = 0;     // characters; 0 no limit
    QStringList pickTexts; // a choice list: texts shown ...
    QStringList pickCodes; // ... and codes stored (same length)
    bool checkBox = false;
    QString checkedValue = QStringLiteral("Y");
    QString uncheckedValue = QStringLiteral("N");
    QString displayMask;      // "999999-9999999;0;"
    bool repeatBlank = false; // a value equal to the row above shows blank
    QStringList groups;       // header group captions, outermost first
    FooterCell footer;
    // The second line of a record drawn on two lines: the field shown under this column.
    QString secondField;
    QString secondTitle;
    QString secondFormat;

    bool isChoice() const { return !pickCodes.isEmpty(); }
};

// A text column bound by name; read-only unless editable.
GridColumn Column(const char *field, const char *title, int width, bool editable = false,
                  int maxLength = 0);
// A figure column: as Column, right-aligned with thousands separators.
GridColumn NumberColumn(const char *field, const char *title, int width, bool editable = false,
                        int maxDigits = 0);

} // namespace kelo::controls
