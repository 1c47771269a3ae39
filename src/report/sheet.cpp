#include "report/sheet.h"

#include "common/numbertext.h"

#include <QSet>
#include <algorithm>

namespace kelo::report {

namespace {

// Texts whose tops lie closer than this stand on one line; left edges closer than this are
// one column (mm).
constexpr double kLineTolerance = 2.0;
constexpr double kColumnTolerance = 1.0;

struct Line {
    bool heading = false;
    std::vector<const Primitive *> texts; // left to right
};

bool Kept(const Primitive &p) {
    return p.kind == Primitive::Kind::Text && !p.chart && !p.text.trimmed().isEmpty();
}

} // namespace

SheetLayout LayOutSheet(const Document &document) {
    // The lines, in page order: the bands as printed, the texts of each top to bottom.
    std::vector<Line> lines;
    QSet<QString> printedOnce;
    int headingLine = -1;
    bool headingSeen = false;
    for (const Page &page : document.pages) {
        std::vector<std::vector<const Primitive *>> byBand(page.bands.size());
        for (const Primitive &p : page.items)
            if (Kept(p) && p.band >= 0 && size_t(p.band) < byBand.size())
                byBand[size_t(p.band)].push_back(&p);
        for (size_t b = 0; b < page.bands.size(); ++b) {
            const PlacedBand &band = page.bands[b];
            if (band.kind == BandKind::PageFooter)
                continue;
            const bool once =
                band.kind == BandKind::PageHeader || band.kind == BandKind::ColumnHeader;
            if (once && !byBand[b].empty()) {
                const QString key = band.report + u'\x1f' + band.name;
                if (printedOnce.contains(key))
                    continue;
                printedOnce.insert(key);
            }
            std::vector<const Primitive *> &texts = byBand[b];
            std::stable_sort(texts.begin(), texts.end(),
                             [](auto *a, auto *c) { return a->rect.top() < c->rect.top(); });
            double top = 0;
            for (size_t i = 0; i < texts.size(); ++i) {
                if (i == 0 || texts[i]->rect.top() >= top + kLineTolerance) {
                    top = texts[i]->rect.top();
                    lines.push_back({band.kind == BandKind::ColumnHeader, {}});
                }
                lines.back().texts.push_back(texts[i]);
            }
            if (band.kind == BandKind::ColumnHeader && !texts.empty() && !headingSeen) {
                headingSeen = true;
                headingLine = int(lines.size()) - 1;
            }
        }
    }

    // The columns: the left edges of every text kept.
    std::vector<double> lefts;
    for (const Line &line : lines)
        for (const Primitive *p : line.texts)
            lefts.push_back(p->rect.left());
    std::sort(lefts.begin(), lefts.end());
    std::vector<double> starts;
    for (double left : lefts)
        if (starts.empty() || left > starts.back() + kColumnTolerance)
            starts.push_back(left);
    auto columnOf = [&starts](double left) {
        const auto at = std::upper_bound(starts.begin(), starts.end(), left + 1e-9);
        return std::max(0, int(at - starts.begin()) - 1);
    };

    SheetLayout sheet;
    sheet.rowCount = int(lines.size());
    sheet.headingRow = headingLine;
    std::vector<double> rights(starts.size(), 0);
    for (int row = 0; row < int(lines.size()); ++row) {
        std::vector<const Primitive *> texts = lines[size_t(row)].texts;
        std::stable_sort(texts.begin(), texts.end(),
                         [](auto *a, auto *c) { return a->rect.left() < c->rect.left(); });
        for (const Primitive *p : texts) {
            const int column = columnOf(p->rect.left());
            rights[size_t(column)] = std::max(rights[size_t(column)], p->rect.right());
            if (!sheet.cells.empty() && sheet.cells.back().row == row &&
                sheet.cells.back().column == column) {
                SheetCell &shared = sheet.cells.back();
                shared.text += u' ' + (p->wholeText.isEmpty() ? p->text : p->wholeText);
                shared.number = false;
                continue;
            }
            SheetCell cell;
            cell.row = row;
            cell.column = column;
            cell.text = p->wholeText.isEmpty() ? p->text : p->wholeText;
            cell.bold = p->font.bold;
            cell.alignment = p->alignment & Qt::AlignHorizontal_Mask;
            if (p->figure) {
                bool ok = false;
                const double value = ParseNumber(QString(cell.text).remove(u','), &ok);
                if (ok) {
                    cell.number = true;
                    cell.value = value;
                    cell.format = p->numberFormat;
                }
            }
            sheet.cells.push_back(std::move(cell));
        }
    }
    for (size_t c = 0; c < starts.size(); ++c) {
        const double next = c + 1 < starts.size() ? starts[c + 1] : rights[c];
        sheet.columnWidths.push_back(std::max(0.0, next - starts[c]));
    }
    return sheet;
}

SheetOutcome WriteSheet(const Document &document, const QString &path) {
    const SheetLayout layout = LayOutSheet(document);
    std::vector<int> widths; // pixels at 96 dots to the inch
    for (double mm : layout.columnWidths)
        widths.push_back(qRound(mm / 25.4 * 96));
    ExcelSheet sheet(path, document.title, layout.headingRow, widths);
    int row = -1;
    for (const SheetCell &cell : layout.cells) {
        if (cell.row != row) {
            row = cell.row;
            if (!sheet.startRow(row))
                break;
        }
        if (cell.number)
            sheet.number(cell.row, cell.column, cell.value, cell.format);
        else if (cell.bold)
            sheet.heading(cell.row, cell.column, cell.text, cell.alignment);
        else
            sheet.text(cell.row, cell.column, cell.text, cell.alignment);
    }
    SheetOutcome out;
    out.outcome = sheet.finish();
    out.error = sheet.error();
    return out;
}

} // namespace kelo::report
