#include "report/paginator.h"

#include "common/clock.h"
#include "common/numbertext.h"
#include "controls/formats.h"
#include "report/chart.h"
#include "report/textfit.h"

#include <QHash>
#include <optional>
#include <stdexcept>

namespace kelo::report {

namespace {

constexpr double kEpsilon = 0.001; // mm

bool IsBody(BandKind kind) {
    switch (kind) {
    case BandKind::GroupHeader:
    case BandKind::Detail:
    case BandKind::SubDetail:
    case BandKind::GroupFooter:
    case BandKind::Summary:
        return true;
    default:
        return false;
    }
}

bool Visible(const QColor &c) {
    return c.isValid() && c.alpha() > 0;
}

// The rows of a sub-detail's data set by the text of its key fields.
using RowIndex = QHash<QString, std::vector<int>>;

QString KeyOf(const DataSet &set, const QStringList &fields) {
    QString key;
    for (const QString &f : fields) {
        key += set.text(f);
        key += QChar(0x1f);
    }
    return key;
}

bool IsNull(const QVariant &v) {
    return !v.isValid() || v.isNull();
}

// A value as a number: numbers, and texts that read as one (an engine's decimals).
std::optional<double> NumberOf(const QVariant &v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return v.toDouble();
    case QMetaType::QString: {
        bool ok = false;
        const double d = ParseNumber(v.toString(), &ok);
        if (ok)
            return d;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// A value through a display format, as a field prints; a NULL prints nothing.
QString FormatValue(const QVariant &v, const QString &format) {
    if (IsNull(v))
        return QString();
    if (format.isEmpty())
        return db::ValueText(v);
    return controls::FormatNumberText(v, format);
}

// Whether a rule's condition holds for the value: numbers compared as numbers, anything
// else as texts; a NULL holds none.
bool Holds(const StyleRule &rule, const QVariant &value) {
    if (IsNull(value))
        return false;
    int order = 0;
    bool ok = false;
    const double constant = ParseNumber(rule.constant, &ok);
    const std::optional<double> number = NumberOf(value);
    if (number && ok)
        order = *number < constant ? -1 : *number > constant ? 1 : 0;
    else
        order = db::ValueText(value).compare(rule.constant);
    switch (rule.comparison) {
    case Comparison::Less:
        return order < 0;
    case Comparison::LessOrEqual:
        return order <= 0;
    case Comparison::Equal:
        return order == 0;
    case Comparison::NotEqual:
        return order != 0;
    case Comparison::GreaterOrEqual:
        return order >= 0;
    case Comparison::Greater:
        return order > 0;
    }
    return false;
}

QString AggregateName(Aggregate a) {
    switch (a) {
    case Aggregate::Sum:
        return QStringLiteral("sum");
    case Aggregate::Count:
        return QStringLiteral("count");
    case Aggregate::Avg:
        return QStringLiteral("avg");
    case Aggregate::Min:
        return QStringLiteral("min");
    case Aggregate::Max:
        return QStringLiteral("max");
    case Aggregate::None:
        break;
    }
    return QString();
}

} // namespace

struct Paginator::State {
    Document doc;
    QDateTime printedAt;

    ReportDefinition *report = nullptr;
    bool reportStarted = false; // its title has been placed
    int reportFirstPage = 0;    // index of the page it began on
    PageSetup setup;            // of the current page
    double y = 0;               // mm from the paper's top
    double bottom = 0;          // where the body must end on this page
    bool bodyOnPage = false;    // a body band stands on the current page
    QHash<const Band *, RowIndex> indexes;
    // The rows of the main data set that the footer being placed closes (its group's, or
    // every row for the summary); aggregates compute over them.
    bool closing = false;
    int closingFirst = 0, closingLast = -1;

    Page &page() { return doc.pages.back(); }
    int pageNumber() const { return int(doc.pages.size()); }

    std::vector<Band *> bandsOf(BandKind kind) {
        std::vector<Band *> out;
        for (Band &b : report->bands())
            if (b.kind == kind && b.enabled)
                out.push_back(&b);
        return out;
    }
    Band *firstBand(BandKind kind) {
        const auto bands = bandsOf(kind);
        return bands.empty() ? nullptr : bands.front();
    }
    double footerHeight() {
        Band *f = firstBand(BandKind::PageFooter);
        return f ? f->height : 0;
    }

    void startPage() {
        Page p;
        p.width = report->page.width();
        p.height = report->page.height();
        doc.pages.push_back(std::move(p));
        setup = report->page;
        y = setup.topMargin;
        bodyOnPage = false;
        startPageBands();
    }

    // The bands at the top of each page of the report: the page header, and after the
    // report's start the column header.
    void startPageBands() {
        bottom = setup.height() - setup.bottomMargin - footerHeight();
        if (Band *h = firstBand(BandKind::PageHeader))
            if (pageNumber() - 1 > reportFirstPage || report->pageHeaderOnFirstPage)
                placeNow(*h, -1);
        if (reportStarted)
            if (Band *c = firstBand(BandKind::ColumnHeader))
                placeNow(*c, -1);
    }

    void endPage(bool last) {
        Band *f = firstBand(BandKind::PageFooter);
        if (!f || (last && !report->pageFooterOnLastPage))
            return;
        BandPrint bp{*f, true, false, pageNumber()};
        if (f->beforePrint)
            f->beforePrint(bp);
        if (!bp.print)
            return;
        y = setup.height() - setup.bottomMargin - f->height;
        emitBand(*f, -1);
    }

    void newPage() {
        endPage(false);
        startPage();
    }

    // Places a band where the page stands, without a page break (page-top bands).
    void placeNow(Band &band, int row) {
        BandPrint bp{band, true, false, pageNumber()};
        if (band.beforePrint)
            band.beforePrint(bp);
        if (bp.print)
            emitBand(band, row);
    }

    // Places a band, on a new page when it asks for one or does not fit.
    void place(Band &band, int row) {
        if (!band.enabled)
            return;
        BandPrint bp{band, true, false, pageNumber()};
        if (band.beforePrint)
            band.beforePrint(bp);
        if (!bp.print)
            return;
        const bool asked = (bp.newPage || band.forceNewPage) && bodyOnPage;
        // A band taller than an empty page goes on it all the same.
        const bool full = y + band.height > bottom + kEpsilon && bodyOnPage;
        if (asked || full)
            newPage();
        emitBand(band, row);
        if (IsBody(band.kind))
            bodyOnPage = true;
    }

    // Places a group footer or the summary over the rows first..last of the main data set.
    void placeClosing(Band &band, int row, int first, int last) {
        closing = true;
        closingFirst = first;
        closingLast = last;
        place(band, row);
        closing = false;
    }

    // An item's aggregate over the rows its footer closes; a NULL when there is no value
    // (a count is 0 then).
    QVariant aggregate(const Item &item) {
        if (!closing)
            throw std::logic_error(QStringLiteral("item %1: a %2 prints only in a group footer "
                                                  "or the summary")
                                       .arg(item.name, AggregateName(item.aggregate))
                                       .toStdString());
        DataSet &set = *item.dataSet;
        std::vector<QVariant> values;
        const int keep = set.currentRow();
        for (int r = closingFirst; r <= closingLast && r < set.rowCount(); ++r) {
            set.moveTo(r);
            QVariant v = set.value(item.field);
            if (!IsNull(v))
                values.push_back(std::move(v));
        }
        if (keep >= 0)
            set.moveTo(keep);
        if (item.aggregate == Aggregate::Count)
            return QVariant(qlonglong(values.size()));
        if (values.empty())
            return QVariant();
        if (item.aggregate == Aggregate::Sum || item.aggregate == Aggregate::Avg) {
            double sum = 0;
            for (const QVariant &v : values) {
                const std::optional<double> n = NumberOf(v);
                if (!n)
                    throw std::logic_error(QStringLiteral("item %1: the %2 of %3 meets a value "
                                                          "that is not a number: \"%4\"")
                                               .arg(item.name, AggregateName(item.aggregate),
                                                    item.field, db::ValueText(v).left(40))
                                               .toStdString());
                sum += *n;
            }
            return item.aggregate == Aggregate::Sum ? sum : sum / double(values.size());
        }
        bool numbers = true;
        for (const QVariant &v : values)
            numbers = numbers && NumberOf(v).has_value();
        const bool wantMin = item.aggregate == Aggregate::Min;
        const QVariant *best = &values.front();
        for (const QVariant &v : values) {
            const bool less = numbers ? *NumberOf(v) < *NumberOf(*best)
                                      : db::ValueText(v).compare(db::ValueText(*best)) < 0;
            const bool greater = numbers ? *NumberOf(v) > *NumberOf(*best)
                                         : db::ValueText(v).compare(db::ValueText(*best)) > 0;
            if (wantMin ? less : greater)
                best = &v;
        }
        return *best;
    }

    // The value a rule compares: a field of the row printed, or the item's own value.
    QVariant ruleValue(const StyleRule &rule, const Band &band, const Item *item,
                       const QVariant &own) {
        if (rule.field.isEmpty())
            return own;
        DataSet *set = rule.dataSet            ? rule.dataSet
                       : item && item->dataSet ? item->dataSet
                       : band.dataSet          ? band.dataSet
                                               : report->mainData;
        if (!set)
            throw std::logic_error(QStringLiteral("band %1: the style's field %2 has no data set")
                                       .arg(band.name, rule.field)
                                       .toStdString());
        return set->value(rule.field);
    }

    // The item's text; own receives the value it prints (a field's value before its format,
    // an aggregate's result), invalid for items that print no value.
    QString itemText(Item &item, QVariant &own) {
        switch (item.kind) {
        case ItemKind::Label:
            return item.text;
        case ItemKind::DataText:
            if (!item.dataSet)
                throw std::logic_error(
                    QStringLiteral("item %1 has no data set").arg(item.name).toStdString());
            if (item.dataSet->isOpen() && !item.dataSet->hasField(item.field))
                throw std::logic_error(QStringLiteral("item %1: data set %2 has no field %3")
                                           .arg(item.name, item.dataSet->name(), item.field)
                                           .toStdString());
            if (item.aggregate != Aggregate::None) {
                own = aggregate(item);
                return FormatValue(own, item.displayFormat.isEmpty()
                                            ? item.dataSet->displayFormat(item.field)
                                            : item.displayFormat);
            }
            own = item.dataSet->value(item.field);
            return item.dataSet->displayText(item.field, item.displayFormat);
        case ItemKind::SystemData:
            switch (item.system) {
            case SystemField::Date:
                return item.text + printedAt.toString(QStringLiteral("yyyy-MM-dd"));
            case SystemField::Time:
                return item.text + printedAt.toString(QStringLiteral("HH:mm:ss"));
            case SystemField::DateTime:
                return item.text + printedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            case SystemField::PageNumber:
                return item.text + QString::number(pageNumber());
            case SystemField::PageCount:
                return item.text;
            }
            return QString();
        default:
            return QString();
        }
    }

    void emitBand(Band &band, int row) {
        Page &pg = page();
        const double left = setup.leftMargin;
        const int index = int(pg.bands.size());
        const QRectF bandRect(left, y, setup.bandWidth(), band.height);
        QColor bandColor = band.color, textColor;
        bool bold = false;
        for (const StyleRule &rule : band.styles) {
            if (!Holds(rule, ruleValue(rule, band, nullptr, QVariant())))
                continue;
            if (rule.background.isValid())
                bandColor = rule.background;
            if (rule.color.isValid())
                textColor = rule.color;
            bold = bold || rule.bold;
        }
        pg.bands.push_back({report->name, band.name, band.kind, bandRect, bandColor, row});

        if (Visible(bandColor) && bandColor != QColor(Qt::white)) {
            Primitive r;
            r.kind = Primitive::Kind::Rect;
            r.rect = bandRect;
            r.brush = bandColor;
            r.band = index;
            r.item = band.name;
            pg.items.push_back(std::move(r));
        }
        for (Item &item : band.items) {
            if (!item.enabled)
                continue;
            QVariant own;
            QString text = itemText(item, own);
            if (item.onPrint)
                item.onPrint(item, text);
            if (!item.enabled)
                continue;
            if (item.kind != ItemKind::DataText)
                own = text;
            const QRectF rect = item.rect.translated(left, y);
            if (item.styles.empty() && !textColor.isValid() && !bold) {
                emitItem(item, text, own, rect, index);
                continue;
            }
            // The style of this print only: the item keeps its own for the next.
            Item shown = item;
            if (textColor.isValid())
                shown.color = textColor;
            shown.font.bold = shown.font.bold || bold;
            for (const StyleRule &rule : item.styles) {
                if (!Holds(rule, ruleValue(rule, band, &item, own)))
                    continue;
                if (rule.color.isValid())
                    shown.color = rule.color;
                if (rule.background.isValid())
                    shown.background = rule.background;
                shown.font.bold = shown.font.bold || rule.bold;
            }
            emitItem(shown, text, own, rect, index);
        }
        emitFrame(band.frame, bandRect, index, band.name);
        y += band.height;
    }

    void emitItem(const Item &item, const QString &text, const QVariant &own, const QRectF &rect,
                  int band) {
        Page &pg = page();
        Primitive p;
        p.band = band;
        p.item = item.name;
        switch (item.kind) {
        case ItemKind::Shape:
            if (item.shape == ShapeKind::Rectangle) {
                p.kind = Primitive::Kind::Rect;
                p.rect = rect;
                p.pen = item.pen;
                p.penWidth = item.penWidth;
                p.brush = item.brush;
            } else {
                p.kind = Primitive::Kind::Line;
                const QPointF c = rect.center();
                p.rect = item.shape == ShapeKind::HorizontalLine
                             ? QRectF(QPointF(rect.left(), c.y()), QPointF(rect.right(), c.y()))
                             : QRectF(QPointF(c.x(), rect.top()), QPointF(c.x(), rect.bottom()));
                p.pen = item.pen;
                p.penWidth = item.penWidth;
            }
            pg.items.push_back(std::move(p));
            return;
        case ItemKind::Picture:
            if (item.picture.isNull())
                return;
            p.kind = Primitive::Kind::Image;
            p.rect = rect;
            p.image = item.picture;
            pg.items.push_back(std::move(p));
            return;
        case ItemKind::Chart:
            AddChart(pg.items, item, rect, band);
            return;
        default:
            break;
        }
        if (Visible(item.background)) {
            Primitive r;
            r.kind = Primitive::Kind::Rect;
            r.rect = rect;
            r.brush = item.background;
            r.band = band;
            r.item = item.name;
            pg.items.push_back(std::move(r));
        }
        const bool pageCount =
            item.kind == ItemKind::SystemData && item.system == SystemField::PageCount;
        if (!text.isEmpty() || pageCount) {
            p.kind = Primitive::Kind::Text;
            p.rect = rect;
            p.text = DrawnText(text);
            if (p.text.size() != text.size())
                ++doc.cutTexts;
            p.font = item.font;
            p.color = item.color;
            p.alignment = item.alignment;
            p.wordWrap = item.wordWrap;
            p.pageCount = pageCount;
            markFigure(item, own, p);
            if (!pageCount) {
                const QString whole = p.text;
                FitText(p);
                if (p.text != whole)
                    p.wholeText = whole;
            }
            pg.items.push_back(std::move(p));
        }
        emitFrame(item.frame, rect, band, item.name);
    }

    // A field printed through a number format, or a number printed without one, is a figure.
    static void markFigure(const Item &item, const QVariant &own, Primitive &p) {
        if (!item.dataSet || item.field.isEmpty())
            return;
        const QString format = item.displayFormat.isEmpty()
                                   ? item.dataSet->displayFormat(item.field)
                                   : item.displayFormat;
        if (controls::IsNumberFormat(format)) {
            p.figure = true;
            p.numberFormat = format;
            return;
        }
        if (item.kind != ItemKind::DataText)
            return;
        switch (own.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Double:
            p.figure = true;
            break;
        default:
            break;
        }
    }

    void emitFrame(const Frame &frame, const QRectF &r, int band, const QString &name) {
        if (!frame.any())
            return;
        auto line = [&](QPointF a, QPointF b) {
            Primitive p;
            p.kind = Primitive::Kind::Line;
            p.rect = QRectF(a, b);
            p.pen = frame.color;
            p.penWidth = frame.width;
            p.band = band;
            p.item = name;
            page().items.push_back(std::move(p));
        };
        if (frame.top)
            line(r.topLeft(), r.topRight());
        if (frame.bottom)
            line(r.bottomLeft(), r.bottomRight());
        if (frame.left)
            line(r.topLeft(), r.bottomLeft());
        if (frame.right)
            line(r.topRight(), r.bottomRight());
    }

    const RowIndex &indexOf(const Band &band) {
        auto it = indexes.find(&band);
        if (it != indexes.end())
            return *it;
        RowIndex index;
        DataSet &set = *band.dataSet;
        const int keep = set.currentRow();
        for (int r = 0; r < set.rowCount(); ++r) {
            set.moveTo(r);
            index[KeyOf(set, band.detailFields)].push_back(r);
        }
        if (keep >= 0)
            set.moveTo(keep);
        return *indexes.insert(&band, std::move(index));
    }

    void subDetails(const std::vector<Band *> &bands) {
        for (Band *b : bands) {
            if (!b->dataSet)
                throw std::logic_error(
                    QStringLiteral("sub-detail %1 has no data set").arg(b->name).toStdString());
            if (b->dataSet->isEmpty())
                continue;
            const QString key =
                report->mainData ? KeyOf(*report->mainData, b->masterFields) : QString();
            const RowIndex &index = indexOf(*b);
            const auto it = index.constFind(key);
            if (it == index.constEnd())
                continue;
            for (int r : *it) {
                b->dataSet->moveTo(r);
                place(*b, r);
            }
        }
    }

    // The height of a detail band with the sub-detail rows linked to the main row.
    double blockHeight(const Band &detail, const std::vector<Band *> &subs) {
        double height = detail.height;
        for (Band *b : subs) {
            if (!b->dataSet || b->dataSet->isEmpty())
                continue;
            const QString key =
                report->mainData ? KeyOf(*report->mainData, b->masterFields) : QString();
            const RowIndex &index = indexOf(*b);
            const auto it = index.constFind(key);
            if (it != index.constEnd())
                height += b->height * double(it->size());
        }
        return height;
    }

    // The room for body bands on a new page of the report.
    double bodyRoom() {
        double top = setup.topMargin;
        if (Band *h = firstBand(BandKind::PageHeader))
            top += h->height;
        if (Band *c = firstBand(BandKind::ColumnHeader))
            top += c->height;
        return setup.height() - setup.bottomMargin - footerHeight() - top;
    }

    // A detail band kept together with its sub-details begins a new page when the block
    // fits there but not below what this page holds.
    void keepTogether(const Band &detail, const std::vector<Band *> &subs) {
        if (!detail.keepTogether || !detail.enabled || !bodyOnPage)
            return;
        const double need = blockHeight(detail, subs);
        if (y + need > bottom + kEpsilon && need <= bodyRoom() + kEpsilon)
            newPage();
    }

    // The title and the column header at the report's start, kept together with the
    // first body band.
    void startReport() {
        Band *title = firstBand(BandKind::Title);
        Band *header = firstBand(BandKind::ColumnHeader);
        Band *detail = firstBand(BandKind::Detail);
        const double need = (title ? title->height : 0) + (header ? header->height : 0) +
                            (detail ? detail->height : 0);
        const bool fresh = doc.pages.empty() || report->startOnNewPage ||
                           !(report->page == setup) || (y + need > bottom + kEpsilon);
        if (fresh) {
            if (!doc.pages.empty())
                endPage(false);
            reportFirstPage = int(doc.pages.size());
            startPage();
        } else {
            reportFirstPage = pageNumber() - 1;
            bottom = setup.height() - setup.bottomMargin - footerHeight();
        }
        reportStarted = true;
        if (title)
            placeNow(*title, -1);
        if (header)
            placeNow(*header, -1);
    }

    void run(ReportDefinition &r) {
        report = &r;
        reportStarted = false;
        indexes.clear();
        if (r.beforePrint)
            r.beforePrint();
        DataSet *main = r.mainData;
        if (main && main->isEmpty() && !r.printIfEmpty)
            return;
        startReport();

        const std::vector<Band *> headers = bandsOf(BandKind::GroupHeader);
        std::vector<Band *> footers;
        for (Band *h : headers) {
            Band *match = nullptr;
            for (Band *f : bandsOf(BandKind::GroupFooter))
                if (f->groupField == h->groupField)
                    match = f;
            footers.push_back(match);
        }
        const std::vector<Band *> details = bandsOf(BandKind::Detail);
        const std::vector<Band *> subs = bandsOf(BandKind::SubDetail);

        const int rows = main ? main->rowCount() : 1;
        std::vector<int> groupFirst(headers.size(), 0); // the first row of each open group
        QStringList previous;
        for (int row = 0; row < rows; ++row) {
            if (main)
                main->moveTo(row);
            QStringList keys;
            for (Band *h : headers)
                keys << (main ? main->text(h->groupField) : QString());
            int changed = 0;
            if (row > 0) {
                while (changed < int(keys.size()) && keys[changed] == previous[changed])
                    ++changed;
                if (changed < int(keys.size())) {
                    main->moveTo(row - 1);
                    for (int g = int(footers.size()) - 1; g >= changed; --g)
                        if (footers[size_t(g)])
                            placeClosing(*footers[size_t(g)], row - 1, groupFirst[size_t(g)],
                                         row - 1);
                    main->moveTo(row);
                }
            }
            for (int g = changed; g < int(headers.size()); ++g)
                if (row == 0 || changed < int(keys.size())) {
                    groupFirst[size_t(g)] = row;
                    place(*headers[size_t(g)], row);
                }
            previous = keys;
            for (Band *d : details) {
                keepTogether(*d, subs);
                place(*d, main ? row : -1);
            }
            subDetails(subs);
        }
        if (rows > 0) {
            if (main)
                main->moveTo(rows - 1);
            for (int g = int(footers.size()) - 1; g >= 0; --g)
                if (footers[size_t(g)])
                    placeClosing(*footers[size_t(g)], rows - 1, groupFirst[size_t(g)], rows - 1);
        }
        for (Band *s : bandsOf(BandKind::Summary))
            placeClosing(*s, -1, 0, main ? rows - 1 : -1);
    }
};

Paginator::Paginator(const QString &title, const QDateTime &printedAt)
    : d(std::make_unique<State>()) {
    d->doc.title = title;
    d->printedAt = printedAt;
}

Paginator::~Paginator() = default;

void Paginator::add(ReportDefinition &report) {
    d->run(report);
}

Document Paginator::finish() {
    if (d->report && !d->doc.pages.empty())
        d->endPage(true);
    const QString count = QString::number(d->doc.pages.size());
    for (Page &p : d->doc.pages)
        for (Primitive &item : p.items)
            if (item.pageCount) {
                item.text += count;
                item.pageCount = false;
            }
    d->report = nullptr;
    return std::move(d->doc);
}

Document Paginate(ReportDefinition &report) {
    Paginator p(report.name, Now());
    p.add(report);
    return p.finish();
}

Document Paginate(const std::vector<ReportDefinition *> &reports, const QString &title) {
    Paginator p(title, Now());
    for (ReportDefinition *r : reports)
        p.add(*r);
    return p.finish();
}

} // namespace kelo::report
