#pragma once

// Reading a report's page document in tests: the prints of a band with their texts.

#include "report/document.h"

#include <QMap>
#include <QString>
#include <vector>

namespace kelo::test {

// One print of a band: its page (from 1), its place and what it printed.
struct Print {
    int page = 0;
    report::PlacedBand band;
    QMap<QString, QString> texts;
    std::vector<report::Primitive> items; // copies: a print outlives its document

    QString text(const char *item) const { return texts.value(QLatin1String(item)); }
    const report::Primitive *item(const char *name) const {
        for (const report::Primitive &p : items)
            if (p.item == QLatin1String(name))
                return &p;
        return nullptr;
    }
    bool has(const char *name) const { return item(name) != nullptr; }
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
