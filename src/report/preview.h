#pragma once

#include "report/document.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace kelo::report {

class PageView;

// The preview of a page document: one page at a time, fitted to the width (as it opens)
// or the whole page, or at a zoom level; PgUp/PgDn, Home/End move between pages, Esc
// closes. Print sends the document to the default printer (or, without a printer, to
// a PDF in the report folder, which the user is told); "PDF 저장" asks for a file.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    enum class Fit { None, Width, Page };

    explicit PreviewWindow(Document document, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Shows the window and returns once it has been closed. The rest of the program
    // goes on handling its events meanwhile (a local event loop), so the main window
    // stays responsive and previews opened one after another appear in turn.
    void exec();

    const Document &document() const { return m_document; }
    int currentPage() const { return m_page; } // from 0
    double zoom() const { return m_zoom; }     // 1.0: the paper's real size
    Fit fit() const { return m_fit; }

    void showPage(int page);
    void setZoom(double zoom);
    void setFit(Fit fit);
    void print();
    void saveAsPdf();

    QPushButton *bbtFirst, *bbtPrior, *bbtNext, *bbtLast;
    QPushButton *bbtFitWidth, *bbtFitPage;
    QComboBox *cboZoom;
    QLabel *lblPage;
    QPushButton *bbtPrint, *bbtSavePdf, *bbtClose;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    // A fit follows the room the page has: the viewport's size, which the layout gives
    // only once the window is shown, and which scroll bars change.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyZoom();
    void updateControls();

    Document m_document;
    int m_page = 0;
    double m_zoom = 1.0;
    Fit m_fit = Fit::Width;
    int m_fitting = 0; // fits in progress: a fit's scroll bars may ask for one more
    QScrollArea *m_scroll;
    PageView *m_view;
};

} // namespace kelo::report
