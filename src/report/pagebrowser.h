#pragma once

#include "report/document.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QScrollArea;
class QTimer;
class QToolButton;

namespace kelo::report {

class PageView;

// The pages of a document as the preview window and the report viewer show them: stacked in
// a scroll area (the wheel scrolls through them, PgUp/PgDn and Home/End go page by page),
// fitted to the width or the whole page or at a zoom (Ctrl+wheel, the zoom box), a page
// number box, a find bar over the document's texts (Ctrl+F; Enter/F3 next, Shift+Enter/
// Shift+F3 previous, Esc closes) and a panel of page thumbnails (Ctrl+T) whose click goes to
// the page. The host puts the boxes and the thumbnail button into its toolbar.
// A flat button of the page tool bars (viewer and preview): named, with a tip, never taking
// the focus from the pages.
QToolButton *ToolButton(QWidget *parent, const char *name, const QString &text, const QString &tip);

class PageBrowser : public QWidget {
    Q_OBJECT
public:
    enum class Fit { None, Width, Page };

    explicit PageBrowser(QWidget *parent);
    ~PageBrowser() override;

    // The document shown (null: none); it must outlive its showing. Starts at its first page.
    void setDocument(const Document *document);
    const Document *document() const { return m_document; }
    int pageCount() const;

    int page() const { return m_page; } // from 0, the page at the top of the view
    void showPage(int page);            // clamped to the pages there are

    double zoom() const { return m_zoom; } // 1.0: the paper's real size
    Fit fit() const { return m_fit; }
    void setView(Fit fit, double zoom); // zoom counts for Fit::None only
    void setZoom(double zoom) { setView(Fit::None, zoom); }
    void setFit(Fit fit) { setView(fit, m_zoom); }

    // Find: the hits of the text, the current one (from 0, -1 without).
    void openFind();
    void closeFind();
    void find(const QString &text);
    void findNext();
    void findPrevious();
    const std::vector<TextHit> &hits() const { return m_hits; }
    int currentHit() const { return m_hit; }

    void setThumbnailsVisible(bool visible);
    bool thumbnailsVisible() const;

    // For the host's toolbar.
    QLineEdit *edtPage;   // the page number; Enter goes there
    QLabel *lblPageCount; // "/ 12"
    QComboBox *cboZoom;   // percent, editable
    QToolButton *bbtThumbs, *bbtFind;

    QWidget *pnlFind;
    QLineEdit *edtFind;
    QLabel *lblFind; // "3 / 17건"
    QToolButton *bbtFindPrior, *bbtFindNext, *bbtFindClose;
    QListWidget *lstThumbs;
    QScrollArea *scroll;
    PageView *view;

signals:
    void pageChanged(int page);
    // The zoom or the fit changed, by the user (userChoice) or by the program.
    void viewChanged(bool userChoice);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyView();
    void scrollToPage();
    void pageFromScroll();
    void showHit(int hit);
    void updateControls();
    void renderSomeThumbnails();
    void zoomBy(int steps);
    void userView(Fit fit, double zoom);

    const Document *m_document = nullptr;
    int m_page = 0;
    double m_zoom = 1.0;
    Fit m_fit = Fit::Width;
    int m_fitting = 0;        // fits in progress: a fit's scroll bars may ask for one more
    bool m_scrolling = false; // the view scrolls itself: the page stays as set
    std::vector<TextHit> m_hits;
    int m_hit = -1;
    int m_thumbsDone = 0;
    QTimer *m_thumbTimer;
};

} // namespace kelo::report
