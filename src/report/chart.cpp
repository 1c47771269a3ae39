#include "report/chart.h"

#include "controls/formats.h"
#include "report/textfit.h"

#include <algorithm>
#include <cmath>

namespace kelo::report {

namespace {

const QColor kSeriesColours[] = {QColor(0x3b, 0x6e, 0xa8), QColor(0xe0, 0x8a, 0x2e),
                                 QColor(0x4e, 0x9a, 0x4e), QColor(0xc0, 0x3b, 0x3b),
                                 QColor(0x7d, 0x5b, 0xa6), QColor(0x8c, 0x6d, 0x46)};

constexpr double kAxisPoints = 6.5; // the figures of the value axis
constexpr double kAxisGap = 1.5;    // mm between a figure and the axis

QColor SeriesColour(int series) {
    return kSeriesColours[size_t(series) % std::size(kSeriesColours)];
}

} // namespace

double ChartStep(double top, int lines) {
    if (!(top > 0) || !std::isfinite(top) || lines < 1)
        return 1;
    const double raw = top / lines;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double f : {1.0, 2.0, 5.0, 10.0})
        if (f * power >= raw)
            return f * power;
    return 10 * power;
}

void AddChart(std::vector<Primitive> &out, const Item &item, const QRectF &rect, int band) {
    const ChartSpec &spec = item.chart;
    DataSet *set = item.dataSet;
    const int series = int(spec.series.size());
    if (!set || series == 0 || rect.width() <= 0 || rect.height() <= 0)
        return;

    auto text = [&](const QRectF &r, const QString &t, double size, Qt::Alignment align,
                    bool bold = false) {
        Primitive p;
        p.kind = Primitive::Kind::Text;
        p.rect = r;
        p.text = t;
        p.font = item.font;
        p.font.pointSize = size;
        p.font.bold = bold;
        p.color = item.color;
        p.alignment = align;
        p.band = band;
        p.item = item.name;
        p.chart = true;
        FitText(p);
        out.push_back(std::move(p));
    };
    auto line = [&](QPointF a, QPointF b, const QColor &colour, double width) {
        Primitive p;
        p.kind = Primitive::Kind::Line;
        p.rect = QRectF(a, b);
        p.pen = colour;
        p.penWidth = width;
        p.band = band;
        p.item = item.name;
        p.chart = true;
        out.push_back(std::move(p));
    };
    auto box = [&](const QRectF &r, const QColor &fill) {
        Primitive p;
        p.kind = Primitive::Kind::Rect;
        p.rect = r;
        p.brush = fill;
        p.band = band;
        p.item = item.name;
        p.chart = true;
        out.push_back(std::move(p));
    };

    // The rows: categories and values, the set's current row kept.
    QStringList categories;
    std::vector<std::vector<double>> values(static_cast<size_t>(series));
    const int keep = set->currentRow();
    for (int r = 0; r < set->rowCount(); ++r) {
        set->moveTo(r);
        categories << set->text(spec.category);
        for (int s = 0; s < series; ++s) {
            const double v = set->number(spec.series[s]);
            values[size_t(s)].push_back(std::isfinite(v) ? v : 0);
        }
    }
    if (keep >= 0)
        set->moveTo(keep);

    double top = 0, bottom = 0;
    for (const auto &v : values)
        for (double x : v) {
            top = std::max(top, x);
            bottom = std::min(bottom, x);
        }
    const double step = ChartStep(std::max(top - bottom, 1e-9), 5);
    top = step * std::ceil(top / step);
    bottom = step * std::floor(bottom / step);
    if (top - bottom < step)
        top = bottom + step;

    QRectF area = rect;
    if (!spec.title.isEmpty()) {
        text(QRectF(area.left(), area.top(), area.width(), 6), spec.title, item.font.pointSize + 1,
             Qt::AlignCenter, true);
        area.setTop(area.top() + 6);
    }
    // The legend: a swatch and a label per series, centred along the bottom.
    const double legendHeight = 5;
    {
        const double slot = std::min(40.0, area.width() / series);
        double x = area.center().x() - slot * series / 2;
        const double y = area.bottom() - legendHeight;
        for (int s = 0; s < series; ++s, x += slot) {
            box(QRectF(x + 1, y + 1.5, 3, 2), SeriesColour(s));
            const QString label = s < spec.labels.size() && !spec.labels[s].isEmpty()
                                      ? spec.labels[s]
                                      : spec.series[s];
            text(QRectF(x + 5, y, slot - 5, legendHeight), label, 7,
                 Qt::AlignLeft | Qt::AlignVCenter);
        }
        area.setBottom(y);
    }
    // The value axis' figures with separators; the axis is as wide as the widest of them.
    FontSpec axisFont = item.font;
    axisFont.pointSize = kAxisPoints;
    axisFont.bold = false;
    std::vector<std::pair<double, QString>> ticks;
    double widest = 0;
    for (int i = 0; bottom + i * step <= top + step / 2 && i <= 100; ++i) {
        const double v = bottom + i * step;
        ticks.emplace_back(v, controls::FormatNumberText(QVariant(v), QStringLiteral("#,##0")));
        widest = std::max(widest, TextWidth(axisFont, ticks.back().second));
    }
    const double axisWidth = std::min(widest + kAxisGap + 0.5, area.width() / 3);
    const double categoryHeight = 5;
    const QRectF plot(area.left() + axisWidth, area.top() + 2, area.width() - axisWidth,
                      area.height() - categoryHeight - 2);
    if (plot.width() <= 0 || plot.height() <= 0)
        return;
    auto yOf = [&](double v) {
        return plot.bottom() - (v - bottom) / (top - bottom) * plot.height();
    };

    // The value axis: grid lines and figures.
    const QColor grid(0xd0, 0xd0, 0xd0);
    for (const auto &[v, label] : ticks) {
        const double y = yOf(v);
        line(QPointF(plot.left(), y), QPointF(plot.right(), y), v == 0 ? Qt::black : grid,
             v == 0 ? 0.25 : 0.1);
        text(QRectF(area.left(), y - 2, axisWidth - kAxisGap, 4), label, kAxisPoints,
             Qt::AlignRight | Qt::AlignVCenter);
    }
    line(plot.topLeft(), plot.bottomLeft(), Qt::black, 0.25);

    const int count = int(categories.size());
    if (count == 0)
        return;
    const double slot = plot.width() / count;
    const double zero = yOf(0);
    for (int c = 0; c < count; ++c)
        text(QRectF(plot.left() + c * slot, plot.bottom() + 0.5, slot, categoryHeight - 0.5),
             categories[c], 6.5, Qt::AlignHCenter | Qt::AlignTop);

    if (spec.type == ChartSpec::Type::Bars) {
        // Bars at most 12 mm wide, a category's bars centred in its slot.
        const double barWidth = std::min(slot * 0.8 / series, 12.0);
        const double inset = (slot - barWidth * series) / 2;
        for (int c = 0; c < count; ++c)
            for (int s = 0; s < series; ++s) {
                const double v = values[size_t(s)][size_t(c)];
                const double x = plot.left() + c * slot + inset + s * barWidth;
                const double y = yOf(v);
                box(QRectF(QPointF(x, std::min(y, zero)), QPointF(x + barWidth, std::max(y, zero))),
                    SeriesColour(s));
            }
        return;
    }
    for (int s = 0; s < series; ++s) {
        QPointF previous;
        for (int c = 0; c < count; ++c) {
            const QPointF point(plot.left() + (c + 0.5) * slot, yOf(values[size_t(s)][size_t(c)]));
            if (c > 0)
                line(previous, point, SeriesColour(s), 0.5);
            box(QRectF(point.x() - 0.7, point.y() - 0.7, 1.4, 1.4), SeriesColour(s));
            previous = point;
        }
    }
}

} // namespace kelo::report
