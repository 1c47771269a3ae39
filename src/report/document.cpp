#include "report/document.h"

namespace kelo::report {

QString DrawnText(const QString &text) {
    if (text.size() <= kMaxDrawnText)
        return text;
    return text.left(kMaxDrawnText) + QChar(0x2026);
}

QMap<QString, QString> Page::bandTexts(int band) const {
    QMap<QString, QString> out;
    for (const Primitive &p : items)
        if (p.band == band && p.kind == Primitive::Kind::Text)
            out.insert(p.item, p.text);
    return out;
}

std::vector<int> Page::bandsNamed(const QString &name) const {
    std::vector<int> out;
    for (size_t i = 0; i < bands.size(); ++i)
        if (bands[i].name == name)
            out.push_back(int(i));
    return out;
}

QStringList Page::texts() const {
    QStringList out;
    for (const Primitive &p : items)
        if (p.kind == Primitive::Kind::Text)
            out << p.text;
    return out;
}

QStringList Document::texts() const {
    QStringList out;
    for (const Page &p : pages)
        out << p.texts();
    return out;
}

std::vector<TextHit> FindText(const Document &document, const QString &needle) {
    std::vector<TextHit> hits;
    if (needle.trimmed().isEmpty())
        return hits;
    for (size_t page = 0; page < document.pages.size(); ++page)
        for (const Primitive &p : document.pages[page].items)
            if (p.kind == Primitive::Kind::Text && p.text.contains(needle, Qt::CaseInsensitive))
                hits.push_back({int(page), p.rect});
    return hits;
}

} // namespace kelo::report
