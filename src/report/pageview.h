#pragma once

#include "report/document.h"

#include <QHash>
#include <QImage>
#include <QWidget>

namespace kelo::report {

// The pages of a document stacked top to bottom at one scale, each with a shadow on grey:
// the page area of the preview window and of the report viewer control, inside their
// scroll area. Only the pages in sight are drawn (a few are kept as pictures). Text hits of
// a search are shaded on their pages, the current one stronger. The document must outlive
// its showing.
class PageView : public QWidget {
public:
    explicit PageView(QWidget *parent);

    // dpi: device-independent pixels to the inch (96 is the paper's real size).
    void setDocument(const Document *document, double dpi);
    const Document *document() const { return m_document; }
    double dpi() const { return m_dpi; }

    // The paper of a page (from 0) in the widget's coordinates; empty without it.
    QRect pageRect(int page) const;
    // The page at a height of the widget: the last whose top is above it.
    int pageAt(int y) const;
    // A rectangle of a page in mm, in the widget's coordinates.
    QRect toWidget(int page, const QRectF &mm) const;

    void setHits(const std::vector<TextHit> *hits, int current);

    static constexpr int kGap = 12;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const Document *m_document = nullptr;
    double m_dpi = 96;
    std::vector<int> m_tops; // of each page's paper
    QHash<int, QImage> m_images;
    const std::vector<TextHit> *m_hits = nullptr;
    int m_current = -1;
};

} // namespace kelo::report
