#include "report/definition.h"

#include <QHash>
#include <stdexcept>

namespace kelo::report {

size_t qHash(const FontSpec &f, size_t seed) {
    return ::qHash(f.family, seed) ^ ::qHash(f.pointSize) ^
           (size_t(f.bold) | size_t(f.italic) << 1 | size_t(f.underline) << 2);
}

Item &Band::item(const QString &itemName) {
    for (Item &i : items)
        if (i.name == itemName)
            return i;
    throw std::logic_error(
        QStringLiteral("band %1 has no item %2").arg(name, itemName).toStdString());
}

Item &Band::addItem(Item item) {
    items.push_back(std::move(item));
    return items.back();
}

Band &ReportDefinition::addBand(const QString &bandName, BandKind kind, double height) {
    Band b;
    b.name = bandName;
    b.kind = kind;
    b.height = height;
    m_bands.push_back(std::move(b));
    return m_bands.back();
}

Band &ReportDefinition::band(const QString &bandName) {
    for (Band &b : m_bands)
        if (b.name == bandName)
            return b;
    throw std::logic_error(
        QStringLiteral("report %1 has no band %2").arg(name, bandName).toStdString());
}

FontSpec Font(double pointSize, bool bold, const QString &family) {
    FontSpec f;
    f.family = family;
    f.pointSize = pointSize;
    f.bold = bold;
    return f;
}

Item Label(const QString &name, const QRectF &rect, const QString &text, const FontSpec &font,
           Qt::Alignment alignment) {
    Item i;
    i.name = name;
    i.kind = ItemKind::Label;
    i.rect = rect;
    i.text = text;
    i.font = font;
    i.alignment = alignment;
    return i;
}

Item DataText(const QString &name, const QRectF &rect, DataSet &dataSet, const QString &field,
              const FontSpec &font, Qt::Alignment alignment) {
    Item i = Label(name, rect, QString(), font, alignment);
    i.kind = ItemKind::DataText;
    i.dataSet = &dataSet;
    i.field = field;
    return i;
}

Item SystemText(const QString &name, const QRectF &rect, SystemField field, const FontSpec &font,
                Qt::Alignment alignment) {
    Item i = Label(name, rect, QString(), font, alignment);
    i.kind = ItemKind::SystemData;
    i.system = field;
    return i;
}

Item ShapeItem(const QString &name, const QRectF &rect, ShapeKind shape, const QColor &pen,
               const QColor &brush, double penWidth) {
    Item i;
    i.name = name;
    i.kind = ItemKind::Shape;
    i.rect = rect;
    i.shape = shape;
    i.pen = pen;
    i.brush = brush;
    i.penWidth = penWidth;
    return i;
}

Item PictureItem(const QString &name, const QRectF &rect, const QImage &picture) {
    Item i;
    i.name = name;
    i.kind = ItemKind::Picture;
    i.rect = rect;
    i.picture = picture;
    return i;
}

} // namespace kelo::report
