#include "report/render.h"

#include "common/fonts.h"
#include "common/outputfile.h"
#include "report/textfit.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <stdexcept>

namespace kelo::report {

namespace {

// Primitives in millimetres onto a device in pixels. Fonts and pens are set only when
// they change: a page has a few fonts and thousands of texts.
class PageDrawer {
public:
    PageDrawer(QPainter &painter, double dpi) : m_p(painter), m_scale(dpi / 25.4) {
        InstallFontSubstitutions();
        const int deviceDpi = painter.device() ? painter.device()->logicalDpiY() : 96;
        m_fontScale = dpi / (deviceDpi > 0 ? deviceDpi : 96);
    }

    void draw(const Page &page) {
        m_p.save();
        m_p.setRenderHint(QPainter::Antialiasing, true);
        m_p.setRenderHint(QPainter::TextAntialiasing, true);
        for (const Primitive &item : page.items)
            draw(item);
        m_p.restore();
        m_hasFont = false;
        m_penIsText = false;
    }

private:
    QRectF px(const QRectF &mm) const {
        return QRectF(mm.left() * m_scale, mm.top() * m_scale, mm.width() * m_scale,
                      mm.height() * m_scale);
    }

    void setPen(const QColor &color, double widthMm) {
        m_penIsText = false;
        if (color.alpha() == 0) {
            m_p.setPen(Qt::NoPen);
            return;
        }
        QPen pen(color, std::max(widthMm * m_scale, 1.0));
        pen.setCapStyle(Qt::FlatCap);
        m_p.setPen(pen);
    }

    void setFont(const FontSpec &spec) {
        if (m_hasFont && m_font == spec)
            return;
        auto it = m_fonts.find(spec);
        if (it == m_fonts.end()) {
            it = m_fonts.insert(spec, ToQFont(spec, m_fontScale));
            m_metrics.insert(spec, QFontMetricsF(*it, m_p.device()));
        }
        m_p.setFont(*it);
        m_font = spec;
        m_hasFont = true;
    }

    void draw(const Primitive &item) {
        switch (item.kind) {
        case Primitive::Kind::Rect:
            setPen(item.pen, item.penWidth);
            m_p.setBrush(item.brush.alpha() ? QBrush(item.brush) : QBrush(Qt::NoBrush));
            m_p.drawRect(px(item.rect));
            return;
        case Primitive::Kind::Line: {
            setPen(item.pen, item.penWidth);
            const QRectF r = px(item.rect);
            m_p.drawLine(r.topLeft(), r.bottomRight());
            return;
        }
        case Primitive::Kind::Image: {
            const QRectF r = px(item.rect);
            QSizeF size = QSizeF(item.image.size()).scaled(r.size(), Qt::KeepAspectRatio);
            QRectF target(QPointF(), size);
            target.moveCenter(r.center());
            m_p.drawImage(target, item.image);
            return;
        }
        case Primitive::Kind::Text: {
            setFont(item.font);
            if (!m_penIsText || m_textColor != item.color) {
                m_p.setPen(item.color);
                m_textColor = item.color;
                m_penIsText = true;
            }
            const QRectF r = px(item.rect);
            // Qt's text layout fails on texts of hundreds of millions of characters; no
            // item shows more than kMaxDrawnText of them (the paginator cuts them already).
            const QString text = DrawnText(item.text);
            if (item.wordWrap) {
                m_p.drawText(r, int(item.alignment) | Qt::TextWordWrap, text);
                return;
            }
            // The layout fitted the line to its rectangle at the printer's resolution; a
            // coarse device's rounded advances may make it a little wider here. Such a line
            // is drawn narrowed to the rectangle, neither cut (a figure would lose a digit)
            // nor over the next column.
            const double total = m_metrics.constFind(m_font)->horizontalAdvance(text);
            const bool narrowed = total > r.width() + 0.5 && total * kNarrowest <= r.width();
            QRectF line = r;
            if (narrowed) {
                m_p.save();
                m_p.translate(r.left(), 0);
                m_p.scale(r.width() / total, 1);
                m_p.translate(-r.left(), 0);
                line.setWidth(total);
            }
            if (text.contains(u' '))
                drawWords(line, item.alignment, text, total);
            else
                m_p.drawText(line, int(item.alignment) | Qt::TextSingleLine, text);
            if (narrowed)
                m_p.restore();
            return;
        }
        }
    }

    // The most a line is narrowed to its rectangle: what rounding adds, not more.
    static constexpr double kNarrowest = 0.85;

    // A text with blanks is drawn word by word at the places the whole line gives them.
    // The blank glyph of some faces (the Nanum ones among them) is also the glyph of a
    // control character, which PDF viewers then copy out in place of the blank; drawn
    // this way the words are separated by their distance, which viewers read as blanks.
    void drawWords(const QRectF &r, Qt::Alignment alignment, const QString &text, double total) {
        const QFontMetricsF &fm = *m_metrics.constFind(m_font);
        double x = r.left();
        if (alignment & Qt::AlignRight)
            x = r.right() - total;
        else if (alignment & Qt::AlignHCenter)
            x = r.center().x() - total / 2;
        const int vertical = int(alignment & Qt::AlignVertical_Mask);
        const double blank = fm.horizontalAdvance(u' ');
        // What stands out further is cut there, as drawText cuts a text without blanks.
        const bool clip = total > r.width() + 0.5;
        if (clip) {
            m_p.save();
            m_p.setClipRect(r, Qt::IntersectClip);
        }
        const QStringList words = text.split(u' ');
        for (qsizetype i = 0; i < words.size(); ++i) {
            const QString &word = words[i];
            const double w = fm.horizontalAdvance(word);
            if (!word.isEmpty())
                m_p.drawText(QRectF(x, r.top(), w + blank, r.height()),
                             vertical | Qt::AlignLeft | Qt::TextSingleLine, word);
            x += w + blank;
        }
        if (clip)
            m_p.restore();
    }

    QPainter &m_p;
    double m_scale;
    double m_fontScale;
    QHash<FontSpec, QFont> m_fonts;
    QHash<FontSpec, QFontMetricsF> m_metrics;
    FontSpec m_font;
    bool m_hasFont = false;
    QColor m_textColor;
    bool m_penIsText = false;
};

QPageLayout LayoutOf(const Page &page) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       page.width > page.height ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace

void DrawPage(QPainter &painter, const Page &page, double dpi) {
    PageDrawer(painter, dpi).draw(page);
}

QImage RenderPage(const Page &page, double dpi) {
    const double k = dpi / 25.4;
    QImage image(qRound(page.width * k), qRound(page.height * k), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter p(&image);
    DrawPage(p, page, dpi);
    return image;
}

void WritePdf(const Document &document, QIODevice &device) {
    QPdfWriter writer(&device);
    writer.setCreator(QStringLiteral("Kelo_S"));
    writer.setTitle(document.title);
    writer.setResolution(600);
    if (!document.pages.empty())
        writer.setPageLayout(LayoutOf(document.pages.front()));
    QPainter painter;
    if (!painter.begin(&writer))
        throw std::runtime_error("the PDF could not be started");
    for (size_t i = 0; i < document.pages.size(); ++i) {
        const Page &page = document.pages[i];
        if (i > 0) {
            writer.setPageLayout(LayoutOf(page));
            writer.newPage();
        }
        DrawPage(painter, page, writer.resolution());
    }
    painter.end();
}

void WritePdf(const Document &document, const QString &path) {
    OutputFile file(path);
    if (!file.open())
        throw std::runtime_error(file.errorString().toStdString());
    try {
        WritePdf(document, file.device());
    } catch (const std::exception &e) {
        throw std::runtime_error(
            QStringLiteral("%1: %2").arg(path, QString::fromUtf8(e.what())).toStdString());
    }
    if (!file.commit())
        throw std::runtime_error(file.errorString().toStdString());
}

void PrintPages(const Document &document, QPrinter &printer) {
    printer.setFullPage(true);
    printer.setDocName(document.title);
    if (!document.pages.empty())
        printer.setPageLayout(LayoutOf(document.pages.front()));
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error(QStringLiteral("The printer %1 could not start the job.")
                                     .arg(printer.printerName())
                                     .toStdString());
    for (size_t i = 0; i < document.pages.size(); ++i) {
        const Page &page = document.pages[i];
        if (i > 0) {
            printer.setPageLayout(LayoutOf(page));
            if (!printer.newPage())
                throw std::runtime_error(QStringLiteral("The printer %1 stopped the job.")
                                             .arg(printer.printerName())
                                             .toStdString());
        }
        DrawPage(painter, page, printer.resolution());
    }
    if (!painter.end())
        throw std::runtime_error(QStringLiteral("The printer %1 did not finish the job.")
                                     .arg(printer.printerName())
                                     .toStdString());
}

} // namespace kelo::report
