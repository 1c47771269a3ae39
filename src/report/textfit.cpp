#include "report/textfit.h"

#include "common/fonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <cmath>

namespace kelo::report {

namespace {

// Texts are measured at 1200 dots to the inch, where the fonts' hinting no longer
// rounds the advances: the widths are those of the printer and the PDF.
constexpr double kDpi = 1200;
constexpr double kPixelsPerMm = kDpi / 25.4;
constexpr double kSlack = 0.05; // mm: what rounding may add

const QFontMetricsF &Metrics(const FontSpec &spec) {
    static const QImage device = [] {
        InstallFontSubstitutions();
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(qRound(kDpi / 0.0254));
        image.setDotsPerMeterY(qRound(kDpi / 0.0254));
        return image;
    }();
    thread_local QHash<FontSpec, QFontMetricsF> cache;
    auto it = cache.constFind(spec);
    if (it == cache.constEnd())
        it = cache.insert(spec, QFontMetricsF(ToQFont(spec), &device));
    return *it;
}

// The size of the text as drawn: one line, or wrapped at blanks to width (mm).
QSizeF TextSize(const FontSpec &font, const QString &text, bool wrap, double width) {
    const QFontMetricsF &fm = Metrics(font);
    if (!wrap)
        return QSizeF(fm.horizontalAdvance(text), fm.height()) / kPixelsPerMm;
    const QRectF room(0, 0, width * kPixelsPerMm, 1e7);
    return fm.boundingRect(room, Qt::TextWordWrap, text).size() / kPixelsPerMm;
}

bool Fits(const FontSpec &font, const Primitive &p) {
    // Most texts are far narrower than their items: a bound on every character's advance
    // (fallback faces' included) spares shaping them.
    const QFontMetricsF &fm = Metrics(font);
    const double widest = std::max(fm.maxWidth(), fm.height()) / kPixelsPerMm;
    if (double(p.text.size()) * widest <= p.rect.width() && !p.text.contains(u'\n'))
        return true;
    const QSizeF size = TextSize(font, p.text, p.wordWrap, p.rect.width());
    if (size.width() > p.rect.width() + kSlack)
        return false;
    // A single line may stand taller than a low rectangle; wrapped lines must fit in it.
    return !p.wordWrap || size.height() <= p.rect.height() + kSlack ||
           size.height() <= Metrics(font).lineSpacing() / kPixelsPerMm + kSlack;
}

QString Elided(const FontSpec &font, const QString &text, double width) {
    return Metrics(font).elidedText(text, Qt::ElideRight, width * kPixelsPerMm, Qt::TextSingleLine);
}

// The words wrapped into the lines that the height holds, each cut to the width; the last
// line holds the rest of the text, cut.
QString CutLines(const FontSpec &font, const QString &text, double width, double height) {
    const QFontMetricsF &fm = Metrics(font);
    const double limit = width * kPixelsPerMm;
    QStringList lines;
    QString line;
    for (const QString &word : text.simplified().split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + u' ' + word;
        if (line.isEmpty() || fm.horizontalAdvance(longer) <= limit) {
            line = longer;
            continue;
        }
        lines << line;
        line = word;
    }
    if (!line.isEmpty())
        lines << line;
    const int room =
        std::max(1, int(std::floor((height + kSlack) * kPixelsPerMm / fm.lineSpacing())));
    if (lines.size() > room) {
        const QString rest = lines.mid(room - 1).join(u' ');
        lines = lines.mid(0, room - 1);
        lines << rest;
    }
    for (QString &l : lines)
        l = Elided(font, l, width);
    return lines.join(u'\n');
}

// Digits with their separators, sign, decimal point, brackets and "%".
bool IsFigure(const QString &text) {
    bool digit = false;
    for (QChar c : text) {
        if (c.isDigit())
            digit = true;
        else if (!QStringView(u",.-+%() ").contains(c))
            return false;
    }
    return digit;
}

} // namespace

QFont ToQFont(const FontSpec &spec, double scale) {
    QFont f(spec.family);
    f.setPointSizeF(spec.pointSize * scale);
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    return f;
}

double TextWidth(const FontSpec &font, const QString &text) {
    return Metrics(font).horizontalAdvance(text) / kPixelsPerMm;
}

double LineHeight(const FontSpec &font) {
    return Metrics(font).height() / kPixelsPerMm;
}

QRectF TextBounds(const Primitive &text) {
    const QRectF &r = text.rect;
    const QSizeF size = TextSize(text.font, text.text, text.wordWrap, r.width());
    QRectF bounds(r.topLeft(), size);
    if (text.alignment & Qt::AlignRight)
        bounds.moveRight(r.right());
    else if (text.alignment & Qt::AlignHCenter)
        bounds.moveLeft(r.center().x() - size.width() / 2);
    if (text.alignment & Qt::AlignBottom)
        bounds.moveBottom(r.bottom());
    else if (text.alignment & Qt::AlignVCenter)
        bounds.moveTop(r.center().y() - size.height() / 2);
    return bounds;
}

void FitText(Primitive &text) {
    if (text.kind != Primitive::Kind::Text || text.text.isEmpty() || text.rect.width() <= 0 ||
        Fits(text.font, text))
        return;
    const double size = text.font.pointSize;
    const bool figure = IsFigure(text.text);
    const double smallest =
        std::min(size, figure ? kSmallestFigurePoints
                              : std::max(size * kSmallestFontShare, kSmallestFontPoints));
    FontSpec font = text.font;
    for (double points = size - 0.25; points >= smallest - 1e-9; points -= 0.25) {
        font.pointSize = points;
        if (Fits(font, text)) {
            text.font = font;
            return;
        }
    }
    font.pointSize = smallest;
    text.font = font;
    if (figure)
        return; // whole, however small: the back-ends cut what stands out
    text.text = text.wordWrap ? CutLines(font, text.text, text.rect.width(), text.rect.height())
                              : Elided(font, text.text, text.rect.width());
}

} // namespace kelo::report
