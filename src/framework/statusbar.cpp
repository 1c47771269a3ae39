#include "framework/statusbar.h"

#include <QFontMetrics>
#include <QHBoxLayout>

namespace kelo {

PanelStatusBar::PanelStatusBar(int panels, QWidget *parent) : QFrame(parent) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < panels; ++i) {
        auto *label = new QLabel(this);
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setObjectName(QStringLiteral("panel%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label);
        m_panels.push_back(label);
    }
    layout->addStretch(1);
}

QString PanelStatusBar::panelText(int index) const {
    return m_panels.at(size_t(index))->text();
}

void PanelStatusBar::setPanelText(int index, const QString &text) {
    m_panels.at(size_t(index))->setText(text);
}

int PanelStatusBar::panelWidth(int index) const {
    return m_panels.at(size_t(index))->minimumWidth();
}

void PanelStatusBar::setPanelWidth(int index, int width) {
    QLabel *label = m_panels.at(size_t(index));
    label->setFixedWidth(std::max(0, width));
    label->setVisible(width > 0);
}

void PanelStatusBar::setPanelAlignment(int index, Qt::Alignment alignment) {
    m_panels.at(size_t(index))->setAlignment(alignment | Qt::AlignVCenter);
}

int PanelStatusBar::textWidth(const QString &text) const {
    return QFontMetrics(font()).horizontalAdvance(text);
}

} // namespace kelo
