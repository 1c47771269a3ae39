#pragma once

#include <QFrame>
#include <QLabel>
#include <vector>

namespace kelo {

// A status bar of four panels with set widths and alignments, as the work
// screens use it: program ID, message line, user, role.
class PanelStatusBar : public QFrame {
    Q_OBJECT
public:
    explicit PanelStatusBar(int panels, QWidget *parent = nullptr);

    int panelCount() const { return int(m_panels.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    int panelWidth(int index) const;
    void setPanelWidth(int index, int width);
    void setPanelAlignment(int index, Qt::Alignment alignment);
    // Width of a text in the status bar's font.
    int textWidth(const QString &text) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutPanels();
    std::vector<QLabel *> m_panels;
    std::vector<int> m_widths;
};

} // namespace kelo
