#pragma once

// Reading a report's page document in tests: the prints of a band with their texts.

#include "report/document.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

namespace kelo::test {

// One print of a band: its page (from 1), its place and what it printed.
struct Print {
    int page = 0;
    report::PlacedBand band;
    QMap<QString, QString> texts;
    std::vector<report::Primitive> items; // copies: a print outlives its document

    QString text(const char *item) const { return texts.value(QLatin1String(item)); }
    // The text of a field's item, named "txt" + field.
    QString figure(const char *field) const {
        return texts.value(QStringLiteral("txt") + QLatin1String(field));
    }
    const report::Primitive *item(const QString &name) const {
        for (const report::Primitive &p : items)
            if (p.item == name)
                return &p;
        return nullptr;
    }
    const report::Primitive *item(const char *name) const { return item(QLatin1String(name)); }
    bool has(const char *name) const { return item(name) != nullptr; }
    // The band's own frame lines (not those of its items), as "top" and "bottom".
    QStringList rules() const {
        QStringList out;
        for (const report::Primitive &p : items)
            if (p.item == band.name && p.kind == report::Primitive::Kind::Line &&
                p.rect.height() == 0)
                out << (qFuzzyCompare(p.rect.top(), band.rect.top()) ? QStringLiteral("top")
                                                                     : QStringLiteral("bottom"));
        return out;
    }
};

// The prints of a band of a report in order.
inline std::vector<Print> Prints(const report::Document &doc, const QString &report,
                                 const QString &band) {
    std::vector<Print> out;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        const report::Page &page = doc.pages[p];
        for (int b : page.bandsNamed(band)) {
            if (page.bands[size_t(b)].report != report)
                continue;
            Print print{int(p) + 1, page.bands[size_t(b)], page.bandTexts(b), {}};
            for (const report::Primitive &item : page.items)
                if (item.band == b)
                    print.items.push_back(item);
            out.push_back(print);
        }
    }
    return out;
}

} // namespace kelo::test
