#include "screens/reports/division_layout.h"

#include "framework/reportframe.h"

namespace kelo::screens::division {

using namespace report;

namespace {

constexpr double kPageWidth = 277; // A4 landscape between 10 mm margins

} // namespace

const QStringList &FigureFields() {
    static const QStringList fields = {
        QStringLiteral("ACTUAL_TODAY"),  QStringLiteral("ACTUAL_MTD"),
        QStringLiteral("BUDGET_MTD"),    QStringLiteral("VARIANCE_MTD1"),
        QStringLiteral("VARIANCE_MTD2"), QStringLiteral("ACTUAL_YTD"),
        QStringLiteral("BUDGET_YTD"),    QStringLiteral("VARIANCE_YTD1"),
        QStringLiteral("VARIANCE_YTD2"), QStringLiteral("LAST_YEAR_MTD"),
        QStringLiteral("LAST_YEAR_YTD")};
    return fields;
}

double FigureX(int index) {
    return kDescriptionWidth + index * kCellWidth;
}

void SetFigureFormats(DataSet &set, const QStringList &more) {
    for (const QString &f : FigureFields() + more)
        set.setDisplayFormat(f, QStringLiteral(",0"));
}

void AddFigureTexts(Band &band, DataSet &set, const FontSpec &font) {
    for (int i = 0; i < int(FigureFields().size()); ++i) {
        const QString &field = FigureFields()[i];
        band.addItem(DataText(QStringLiteral("txt") + field,
                              {FigureX(i), 0, kCellWidth - 1, band.height}, set, field, font,
                              Qt::AlignRight | Qt::AlignVCenter));
    }
}

void AddColumnHeadings(Band &band, double top) {
    struct Heading {
        const char *text;
        int first, cells; // figure cells; -1: the description
    };
    static const Heading headings[] = {
        {"Description", -1, 0},   {"Actual Today", 0, 1},     {"Actual MTD", 1, 1},
        {"Budget MTD", 2, 1},     {"Variance MTD (%)", 3, 2}, {"Actual YTD", 5, 1},
        {"Budget YTD", 6, 1},     {"Variance YTD (%)", 7, 2}, {"Last Year MTD", 9, 1},
        {"Last Year YTD", 10, 1},
    };
    int n = 0;
    for (const Heading &h : headings) {
        const QRectF rect =
            h.first < 0 ? QRectF(0, top, kDescriptionWidth, kHeadingHeight)
                        : QRectF(FigureX(h.first), top, kCellWidth * h.cells, kHeadingHeight);
        Item item = Label(QStringLiteral("qrlHeading%1").arg(++n), rect,
                          QString::fromLatin1(h.text), Font(7, true), Qt::AlignCenter);
        item.wordWrap = true;
        item.frame.setAll(true);
        if (h.first == 1 || h.first == 5)
            item.background = kActualBlock;
        band.addItem(item);
    }
}

void AddActualBlocks(Band &band) {
    for (int cell : {1, 5}) {
        Item block =
            ShapeItem(cell == 1 ? QStringLiteral("shpActualMtd") : QStringLiteral("shpActualYtd"),
                      {FigureX(cell), 0, kCellWidth, band.height}, ShapeKind::Rectangle,
                      Qt::transparent, kActualBlock);
        band.items.insert(band.items.begin(), block);
    }
}

void AddRowRule(Band &band, const QString &name, const QColor &color) {
    Item rule = ShapeItem(name, {0, band.height - 0.4, kPageWidth, 0.4}, ShapeKind::HorizontalLine,
                          color, Qt::transparent, 0.3);
    rule.enabled = false;
    band.addItem(rule);
}

void BuildSection(Band &caption, Band &rows, Band &closing, DataSet &set, const QString &title,
                  const QString &nameItem, const QString &nameField) {
    SetFigureFormats(set);
    caption.addItem(
        Label(QStringLiteral("qrlSection"), {0, 1, kDescriptionWidth, 5}, title, Font(8, true)));
    const FontSpec row = Font(7);
    rows.addItem(DataText(nameItem, {26, 0, 34, rows.height}, set, nameField, row));
    AddFigureTexts(rows, set, row);
    closing.frame.top = true;
}

void AddAreaMaster(Band &band, DataSet &set, const QString &nameField) {
    band.addItem(ShapeItem(QStringLiteral("qrsRule"), {0, 0, kPageWidth, 1},
                           ShapeKind::HorizontalLine, Qt::black, Qt::transparent, 0.5));
    Item name = DataText(QStringLiteral("qrdName"), {0, 1.5, 60, band.height - 2}, set, nameField,
                         Font(8, true));
    name.color = Qt::white;
    name.background = Qt::black;
    band.addItem(name);
    for (int cell : {1, 5}) {
        Item block =
            Label(cell == 1 ? QStringLiteral("QRLabel17") : QStringLiteral("QRLabel18"),
                  {FigureX(cell), 1.5, kCellWidth, band.height - 1.5},
                  cell == 1 ? QStringLiteral("Actual MTD") : QStringLiteral("Actual YTD"), Font(7));
        block.background = kActualBlock;
        block.onPrint = [](Item &, QString &text) { text.clear(); }; // QRLabel17Print
        band.addItem(block);
    }
}

void BuildOutletRows(Band &band, DataSet &set, const QString &detailField,
                     const QString &masterField, const std::array<const char *, 2> &names,
                     QString &lastName, QString &lastRow) {
    band.dataSet = &set;
    band.detailFields = QStringList{detailField};
    band.masterFields = QStringList{masterField};
    const FontSpec row = Font(7);
    Item outlet = DataText(QLatin1String(names[0]), {1, 0, 26, band.height}, set,
                           QStringLiteral("UPJANG_NAME"), row);
    outlet.onPrint = [&lastName](Item &i, QString &text) { SuppressRepeats(lastName)(i, text); };
    band.addItem(outlet);
    Item kind = DataText(QLatin1String(names[1]), {27, 0, 17, band.height}, set,
                         QStringLiteral("ROWNO_NAME"), row);
    kind.onPrint = [&lastRow](Item &i, QString &text) { SuppressRepeats(lastRow)(i, text); };
    band.addItem(kind);
    band.addItem(DataText(QStringLiteral("qrdDivisionName"), {44, 0, 16, band.height}, set,
                          QStringLiteral("DIVISION_NAME"), row));
    AddFigureTexts(band, set, row);
    AddActualBlocks(band);
    AddRowRule(band, QStringLiteral("qrsRowRule"), kButtonFace);
}

void MarkOutletRow(BandPrint &bp, const DataSet &set) {
    const QString row = set.text(QStringLiteral("ROWNO"));
    const bool total = set.text(QStringLiteral("DIVISION")) == QStringLiteral("999");
    bp.band.item(QStringLiteral("qrsRowRule")).enabled = total && row == QStringLiteral("1");
    bp.band.frame.bottom = total && row == QStringLiteral("3");
}

} // namespace kelo::screens::division
