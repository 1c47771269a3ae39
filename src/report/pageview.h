#pragma once

#include "report/document.h"

#include <QImage>
#include <QWidget>

namespace kelo::report {

// One page of a document drawn at a scale, with a shadow on grey: the page area of the
// preview window and of the report viewer control. The page must outlive its showing.
class PageView : public QWidget {
public:
    explicit PageView(QWidget *parent);

    // dpi: device-independent pixels to the inch (96 is the paper's real size).
    void setPage(const Page *page, double dpi);

    static constexpr int kGap = 12;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    const Page *m_page = nullptr;
    double m_dpi = 96;
    QImage m_image;
};

} // namespace kelo::report
