#include "report/pageview.h"

#include "report/render.h"

#include <QPaintEvent>
#include <QPainter>

namespace kelo::report {

namespace {

constexpr int kKeptImages = 12;

} // namespace

PageView::PageView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageView"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);
}

void PageView::setDocument(const Document *document, double dpi) {
    m_document = document;
    m_dpi = dpi;
    m_images.clear();
    m_tops.clear();
    const double k = dpi / 25.4;
    int width = 0, y = kGap;
    if (document)
        for (const Page &page : document->pages) {
            m_tops.push_back(y);
            y += qRound(page.height * k) + kGap;
            width = std::max(width, qRound(page.width * k));
        }
    setFixedSize(m_tops.empty() ? QSize(0, 0) : QSize(width + 2 * kGap, y));
    update();
}

QRect PageView::pageRect(int page) const {
    if (!m_document || page < 0 || page >= int(m_tops.size()))
        return QRect();
    const Page &p = m_document->pages[size_t(page)];
    const double k = m_dpi / 25.4;
    const QSize size(qRound(p.width * k), qRound(p.height * k));
    return QRect(QPoint((width() - size.width()) / 2, m_tops[size_t(page)]), size);
}

int PageView::pageAt(int y) const {
    const auto after = std::upper_bound(m_tops.begin(), m_tops.end(), y);
    return std::max(0, int(after - m_tops.begin()) - 1);
}

QRect PageView::toWidget(int page, const QRectF &mm) const {
    const double k = m_dpi / 25.4;
    const QRect paper = pageRect(page);
    return QRectF(paper.left() + mm.left() * k, paper.top() + mm.top() * k, mm.width() * k,
                  mm.height() * k)
        .toAlignedRect();
}

void PageView::setHits(const std::vector<TextHit> *hits, int current) {
    m_hits = hits;
    m_current = current;
    update();
}

void PageView::paintEvent(QPaintEvent *event) {
    if (!m_document || m_tops.empty())
        return;
    const qreal ratio = devicePixelRatioF();
    QPainter p(this);
    const int first = pageAt(event->rect().top() - kGap);
    int last = first;
    for (int i = first; i < int(m_tops.size()); ++i) {
        const QRect paper = pageRect(i);
        if (paper.top() > event->rect().bottom())
            break;
        last = i;
        QImage &image = m_images[i];
        if (image.isNull()) {
            image = RenderPage(m_document->pages[size_t(i)], m_dpi * ratio);
            image.setDevicePixelRatio(ratio);
        }
        p.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
        p.drawImage(paper.topLeft(), image);
    }
    // Pictures far from the pages in sight go.
    if (m_images.size() > kKeptImages)
        for (auto it = m_images.begin(); it != m_images.end();)
            it = it.key() < first - 2 || it.key() > last + 2 ? m_images.erase(it) : std::next(it);
    if (!m_hits)
        return;
    for (size_t i = 0; i < m_hits->size(); ++i) {
        const TextHit &hit = (*m_hits)[i];
        if (hit.page < first || hit.page > last)
            continue;
        const QRect r = toWidget(hit.page, hit.rect).adjusted(-1, -1, 1, 1);
        if (int(i) == m_current) {
            p.fillRect(r, QColor(255, 140, 0, 110));
            p.setPen(QPen(QColor(220, 90, 0), 2));
            p.drawRect(r);
        } else {
            p.fillRect(r, QColor(255, 230, 0, 90));
        }
    }
}

} // namespace kelo::report
