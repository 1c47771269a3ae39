#include "framework/statusbar.h"

#include <QFontMetrics>

namespace kelo {

PanelStatusBar::PanelStatusBar(int panels, QWidget *parent) : QFrame(parent) {
    for (int i = 0; i < panels; ++i) {
        auto *label = new QLabel(this);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setObjectName(QStringLiteral("panel%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        m_panels.push_back(label);
        m_widths.push_back(0);
    }
}

QString PanelStatusBar::panelText(int index) const {
    return m_panels.at(size_t(index))->text();
}

void PanelStatusBar::setPanelText(int index, const QString &text) {
    m_panels.at(size_t(index))->setText(text);
}

int PanelStatusBar::panelWidth(int index) const {
    return m_widths.at(size_t(index));
}

void PanelStatusBar::setPanelWidth(int index, int width) {
    m_widths.at(size_t(index)) = std::max(0, width);
    layoutPanels();
}

void PanelStatusBar::setPanelAlignment(int index, Qt::Alignment alignment) {
    m_panels.at(size_t(index))->setAlignment(alignment | Qt::AlignVCenter);
}

int PanelStatusBar::textWidth(const QString &text) const {
    return QFontMetrics(font()).horizontalAdvance(text);
}

void PanelStatusBar::resizeEvent(QResizeEvent *event) {
    QFrame::resizeEvent(event);
    layoutPanels();
}

void PanelStatusBar::layoutPanels() {
    // Panels side by side from the left, each as wide as set; a panel of width 0 is not shown.
    int x = 0;
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i]->setGeometry(x, 0, m_widths[i], height());
        m_panels[i]->setVisible(m_widths[i] > 0);
        x += m_widths[i];
    }
}

} // namespace kelo
