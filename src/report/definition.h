#pragma once

// A banded report's definition: the page, the bands with their printable items, the
// data sets the bands read and the handlers that change a band or a text as it prints.
// Everything is measured in millimetres from the band's top left corner.

#include "report/dataset.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <functional>
#include <list>
#include <vector>

namespace kelo::report {

// A4 paper.
enum class Orientation { Portrait, Landscape };

struct PageSetup {
    Orientation orientation = Orientation::Portrait;
    double leftMargin = 10, topMargin = 10, rightMargin = 10, bottomMargin = 10;

    double width() const { return orientation == Orientation::Portrait ? 210.0 : 297.0; }
    double height() const { return orientation == Orientation::Portrait ? 297.0 : 210.0; }
    // The width between the margins, where the bands stand.
    double bandWidth() const { return width() - leftMargin - rightMargin; }
    bool operator==(const PageSetup &) const = default;
};

struct FontSpec {
    QString family = QStringLiteral("굴림");
    double pointSize = 9;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool operator==(const FontSpec &) const = default;
};
size_t qHash(const FontSpec &f, size_t seed = 0);

// Lines along the edges of an item or a band.
struct Frame {
    bool top = false, bottom = false, left = false, right = false;
    QColor color = Qt::black;
    double width = 0.2; // mm

    bool any() const { return top || bottom || left || right; }
    void setAll(bool on) { top = bottom = left = right = on; }
};

enum class ItemKind {
    Label,      // fixed text
    DataText,   // a field of a data set through its display format
    SystemData, // print date and time, page number, page count
    Shape,      // rectangle or line
    Picture,
    Chart, // bars or lines over every row of dataSet (Item::chart)
};

enum class SystemField { Date, Time, DateTime, PageNumber, PageCount };
enum class ShapeKind { Rectangle, HorizontalLine, VerticalLine };

// A chart item: one category per row of the item's data set (the field category on the
// horizontal axis), one bar or line per series field, a legend, a value axis from 0.
struct ChartSpec {
    enum class Type { Bars, Lines };
    Type type = Type::Bars;
    QString category;
    QStringList series;
    QStringList labels; // the legend's texts; the series' field names where missing
    QString title;
};

// What a footer's item computes over the rows of the main data set it closes: the rows of
// its group (a GroupFooter) or every row (the Summary). NULLs are passed over: Count
// counts the values that are not NULL, Avg divides by that count; without a value Sum,
// Avg, Min and Max print nothing and Count prints 0. Sum and Avg take numbers (a text that
// is not a number stops the layout with a message naming the item); Min and Max compare
// numbers as numbers, and as texts once a value is not a number.
enum class Aggregate { None, Sum, Count, Avg, Min, Max };

enum class Comparison { Less, LessOrEqual, Equal, NotEqual, GreaterOrEqual, Greater };

// A style an item or a band takes for one print when its condition holds: a field of the
// current row (or the item's own value: its field's value, an aggregate's result) compared
// with a constant. Both numbers: compared as numbers; otherwise as texts. A NULL holds no
// condition. The rules of an item or a band apply in order, a later one over an earlier.
struct StyleRule {
    DataSet *dataSet = nullptr; // of field; none: the item's, else the band's, else the main
    QString field;              // empty: the item's own value
    Comparison comparison = Comparison::Equal;
    QString constant;
    QColor color;      // of the text; invalid: unchanged
    QColor background; // behind the item, or the band's colour; invalid: unchanged
    bool bold = false;
};

struct Item {
    QString name;
    ItemKind kind = ItemKind::Label;
    QRectF rect; // mm, from the band's top left corner
    bool enabled = true;

    QString text; // Label: the text; SystemData: put before the value
    DataSet *dataSet = nullptr;
    QString field;         // DataText: the field of dataSet's current row
    QString displayFormat; // DataText: overrides the field's display format when set
    Aggregate aggregate = Aggregate::None; // DataText in a GroupFooter or the Summary
    SystemField system = SystemField::Date;

    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool wordWrap = false;
    FontSpec font;
    QColor color = Qt::black;            // the text
    QColor background = Qt::transparent; // behind the text
    Frame frame;

    ShapeKind shape = ShapeKind::Rectangle;
    QColor pen = Qt::black; // shape outline or line
    double penWidth = 0.2;  // mm
    QColor brush = Qt::transparent;

    QImage picture; // drawn into rect keeping its proportions

    ChartSpec chart;

    std::vector<StyleRule> styles;

    // Receives the text about to be printed and may replace it.
    std::function<void(Item &item, QString &text)> onPrint;
};

enum class BandKind {
    PageHeader,   // top of every page (the first page: ReportDefinition::pageHeaderOnFirstPage)
    Title,        // once, at the start of the report
    ColumnHeader, // at the start of the report and at the top of each later page
    GroupHeader,  // before the first row of each group of the main data set
    Detail,       // once per row of the main data set
    SubDetail,    // after each main row: the rows of its data set linked to that row
    GroupFooter,  // after the last row of each group
    Summary,      // once, at the end of the report
    PageFooter,   // bottom of every page (the last page: ReportDefinition::pageFooterOnLastPage)
};

struct Band;

// What a band's BeforePrint handler may change beyond the band itself.
struct BandPrint {
    Band &band;
    bool print = true;    // false: the band is left out this time
    bool newPage = false; // true: the band starts a new page
    int pageNumber = 0;   // the page the band would go on
};

struct Band {
    QString name;
    BandKind kind = BandKind::Detail;
    double height = 5; // mm
    bool enabled = true;
    QColor color = Qt::transparent; // the band's background across the page width
    Frame frame;
    std::vector<Item> items;
    // Rules on fields of the band's row: a background for the band, the text colour and
    // boldness of its text items.
    std::vector<StyleRule> styles;

    // SubDetail: the rows printed under each main row are those whose detailFields
    // equal the main row's masterFields.
    DataSet *dataSet = nullptr;
    QStringList masterFields, detailFields;

    // GroupHeader / GroupFooter: the field of the main data set whose change starts a
    // new group. Groups nest in the order their header bands were added.
    QString groupField;

    // The band always begins on a page of its own (unless nothing but the page's
    // header bands stand on the page yet).
    bool forceNewPage = false;

    // Detail: the band and the sub-detail rows under it stand on one page. When they do
    // not fit below what the page holds but fit on a page of their own, they begin the
    // next page (under its page header and column header); a block taller than a page
    // begins where it stands. Measured by the bands' heights, before their handlers run.
    bool keepTogether = false;

    // May change colours, fonts, positions and frames of the band and its items,
    // switch items on or off, leave the band out or ask for a new page. Changes stay
    // for later prints of the band, as in the designer's model: a handler sets both ways.
    std::function<void(BandPrint &)> beforePrint;

    // The item of that name; a std::logic_error when the band has none.
    Item &item(const QString &itemName);
    Item &addItem(Item item);
};

class ReportDefinition {
public:
    QString name; // the report's name in the page document and the print job
    PageSetup page;
    DataSet *mainData = nullptr; // one Detail band per row; none: the report has one pass
    bool printIfEmpty = true;    // the fixed bands print when mainData has no rows
    bool pageHeaderOnFirstPage = true;
    bool pageFooterOnLastPage = true;
    // In a composite: the report begins on a new page instead of below the previous one.
    bool startOnNewPage = false;
    std::function<void()> beforePrint; // before the report is laid out

    Band &addBand(const QString &bandName, BandKind kind, double height);
    // The band of that name; a std::logic_error when there is none.
    Band &band(const QString &bandName);
    const std::list<Band> &bands() const { return m_bands; }
    std::list<Band> &bands() { return m_bands; }

private:
    std::list<Band> m_bands; // stable addresses: handlers keep references
};

// Helpers that build items in one line.
Item Label(const QString &name, const QRectF &rect, const QString &text, const FontSpec &font = {},
           Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
Item DataText(const QString &name, const QRectF &rect, DataSet &dataSet, const QString &field,
              const FontSpec &font = {},
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
Item SystemText(const QString &name, const QRectF &rect, SystemField field,
                const FontSpec &font = {},
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
Item ShapeItem(const QString &name, const QRectF &rect, ShapeKind shape, const QColor &pen,
               const QColor &brush = Qt::transparent, double penWidth = 0.2);
Item PictureItem(const QString &name, const QRectF &rect, const QImage &picture);

FontSpec Font(double pointSize, bool bold = false, const QString &family = QStringLiteral("굴림"));

} // namespace kelo::report
