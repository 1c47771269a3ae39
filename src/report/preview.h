#pragma once

#include "report/document.h"

#include <QWidget>

#include "report/pagebrowser.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kelo::report {

// The preview of a page document in a PageBrowser: the pages stacked, fitted to the width
// (as it opens) or the whole page, or at a zoom; PgUp/PgDn, Home/End move between pages,
// the page box goes to a page, Ctrl+F finds a text, Ctrl+T shows the thumbnails, Esc
// closes. Print asks for the printer, the pages and the copies (the print dialog of the
// dialogs service) and sends them there (or, without a printer, to a PDF in the report
// folder, which the user is told); "PDF 저장" asks for a file.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    using Fit = PageBrowser::Fit;

    explicit PreviewWindow(Document document, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Shows the window and returns once it has been closed. The rest of the program
    // goes on handling its events meanwhile (a local event loop), so the main window
    // stays responsive and previews opened one after another appear in turn.
    void exec();

    const Document &document() const { return m_document; }
    int currentPage() const { return m_browser->page(); } // from 0
    double zoom() const { return m_browser->zoom(); }     // 1.0: the paper's real size
    Fit fit() const { return m_browser->fit(); }
    PageBrowser *browser() const { return m_browser; }

    void showPage(int page);
    void setZoom(double zoom);
    void setFit(Fit fit);
    void print();
    void saveAsPdf();

    QPushButton *bbtFirst, *bbtPrior, *bbtNext, *bbtLast;
    QPushButton *bbtFitWidth, *bbtFitPage;
    QComboBox *cboZoom; // percent
    QLineEdit *edtPage;
    QLabel *lblPage; // "/ 12"
    QPushButton *bbtPrint, *bbtSavePdf, *bbtClose;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateControls();

    Document m_document;
    PageBrowser *m_browser;
};

} // namespace kelo::report
