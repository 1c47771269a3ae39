#include "report/pageview.h"

#include "report/render.h"

#include <QPainter>

namespace kelo::report {

PageView::PageView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageView"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);
}

void PageView::setPage(const Page *page, double dpi) {
    m_page = page;
    m_dpi = dpi;
    m_image = QImage();
    const double k = dpi / 25.4;
    const QSize paper =
        page ? QSize(qRound(page->width * k), qRound(page->height * k)) : QSize(0, 0);
    setFixedSize(paper + QSize(2 * kGap, 2 * kGap));
    update();
}

void PageView::paintEvent(QPaintEvent *) {
    if (!m_page)
        return;
    const qreal ratio = devicePixelRatioF();
    if (m_image.isNull()) {
        m_image = RenderPage(*m_page, m_dpi * ratio);
        m_image.setDevicePixelRatio(ratio);
    }
    QPainter p(this);
    const QRect paper(QPoint(kGap, kGap), m_image.deviceIndependentSize().toSize());
    p.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
    p.drawImage(paper.topLeft(), m_image);
}

} // namespace kelo::report
