#pragma once

// The page document: what a report looks like on paper, device-independent. Pages of
// positioned primitives in millimetres from the paper's top left corner; back-ends
// draw it on a printer, a PDF, an image or the preview, and tests read it.

#include "report/definition.h"

#include <QMap>
#include <vector>

namespace kelo::report {

// The most characters one text item draws: a page holds a few thousand, and a longer
// value (a data set's field of megabytes) is cut to this many and ends in "…".
constexpr qsizetype kMaxDrawnText = 10000;

// The text as drawn: up to kMaxDrawnText characters, "…" after them when cut.
QString DrawnText(const QString &text);

struct Primitive {
    enum class Kind { Text, Rect, Line, Image };
    Kind kind = Kind::Text;
    QRectF rect; // a line runs from rect.topLeft() to rect.bottomRight()

    QString text;
    FontSpec font;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool wordWrap = false;

    QColor pen = Qt::transparent; // outline of a rectangle; a line's colour
    double penWidth = 0;          // mm
    QColor brush = Qt::transparent;

    QImage image;

    int band = -1;          // index into the page's bands
    QString item;           // the item it was printed from
    bool pageCount = false; // text of a page-count item, filled when the document is done
    bool chart = false;     // part of a chart (its axes, labels, legend)
    // A text printed from a number of a data set (a field through a number format, or a
    // number field without a format): a spreadsheet takes it as a number, in numberFormat
    // (the item's display format, empty for none).
    bool figure = false;
    QString numberFormat;
    // The text before fitting cut it with "…" (a spreadsheet shows it whole); empty when the
    // text is printed whole.
    QString wholeText;
};

// One print of a band on the page.
struct PlacedBand {
    QString report;
    QString name;
    BandKind kind = BandKind::Detail;
    QRectF rect;
    QColor color = Qt::transparent;
    int row = -1; // the data set row it printed, -1 for bands without one
};

struct Page {
    double width = 210, height = 297; // mm
    std::vector<Primitive> items;
    std::vector<PlacedBand> bands;

    // The texts printed by one print of a band, by item name.
    QMap<QString, QString> bandTexts(int band) const;
    // The indices of the prints of a band by name, top to bottom.
    std::vector<int> bandsNamed(const QString &name) const;
    // Every text on the page in the order printed.
    QStringList texts() const;
};

struct Document {
    QString title;
    std::vector<Page> pages;
    // Texts cut to kMaxDrawnText characters on the pages (the viewer says so).
    int cutTexts = 0;

    QStringList texts() const;
};

// A text item of a page that holds what was searched for.
struct TextHit {
    int page = 0; // from 0
    QRectF rect;  // the item's rectangle on its page, mm
};

// The text items holding needle (case ignored), page by page in the order printed; an
// empty or blank needle finds nothing. The texts searched are the document's own, not
// what the screen shows of them.
std::vector<TextHit> FindText(const Document &document, const QString &needle);

} // namespace kelo::report
