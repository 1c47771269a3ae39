#include "report/preview.h"

#include "common/dialogs.h"
#include "report/output.h"
#include "report/pageview.h"
#include "report/render.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace kelo::report {

namespace {

QPushButton *Button(QWidget *parent, const char *name, const QString &text,
                    const QString &tip = QString()) {
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    return b;
}

} // namespace

PreviewWindow::PreviewWindow(Document document, QWidget *parent)
    : QWidget(parent, Qt::Window), m_document(std::move(document)) {
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(m_document.title.isEmpty() ? QStringLiteral("미리보기")
                                              : m_document.title + QStringLiteral(" - 미리보기"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_browser = new PageBrowser(this);
    auto *bar = new QHBoxLayout;
    bbtFirst = Button(this, "bbtFirst", QStringLiteral("|◀"), QStringLiteral("첫 페이지 (Home)"));
    bbtPrior = Button(this, "bbtPrior", QStringLiteral("◀"), QStringLiteral("이전 페이지 (PgUp)"));
    edtPage = m_browser->edtPage;
    lblPage = m_browser->lblPageCount;
    bbtNext = Button(this, "bbtNext", QStringLiteral("▶"), QStringLiteral("다음 페이지 (PgDn)"));
    bbtLast = Button(this, "bbtLast", QStringLiteral("▶|"), QStringLiteral("끝 페이지 (End)"));
    bbtFitWidth = Button(this, "bbtFitWidth", QStringLiteral("폭 맞춤"));
    bbtFitPage = Button(this, "bbtFitPage", QStringLiteral("쪽 맞춤"));
    cboZoom = m_browser->cboZoom;
    bbtPrint = Button(this, "bbtPrint", QStringLiteral("인쇄"));
    bbtSavePdf = Button(this, "bbtSavePdf", QStringLiteral("PDF 저장"));
    bbtClose = Button(this, "bbtClose", QStringLiteral("닫기"), QStringLiteral("닫기 (Esc)"));
    for (QWidget *w : std::initializer_list<QWidget *>{
             bbtFirst, bbtPrior, edtPage, lblPage, bbtNext, bbtLast, bbtFitWidth, bbtFitPage,
             cboZoom, m_browser->bbtThumbs, m_browser->bbtFind})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(bbtPrint);
    bar->addWidget(bbtSavePdf);
    bar->addWidget(bbtClose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_browser, 1);

    connect(bbtFirst, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(bbtPrior, &QPushButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(bbtNext, &QPushButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(bbtLast, &QPushButton::clicked, this,
            [this] { showPage(int(m_document.pages.size()) - 1); });
    connect(bbtFitWidth, &QPushButton::clicked, this, [this] { setFit(Fit::Width); });
    connect(bbtFitPage, &QPushButton::clicked, this, [this] { setFit(Fit::Page); });
    connect(bbtPrint, &QPushButton::clicked, this, &PreviewWindow::print);
    connect(bbtSavePdf, &QPushButton::clicked, this, &PreviewWindow::saveAsPdf);
    connect(bbtClose, &QPushButton::clicked, this, &QWidget::close);
    connect(m_browser, &PageBrowser::pageChanged, this, [this] { updateControls(); });
    connect(m_browser, &PageBrowser::viewChanged, this, [this] { updateControls(); });

    auto key = [this](QKeySequence seq, auto fn) {
        auto *s = new QShortcut(seq, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, fn);
    };
    key(QKeySequence(Qt::Key_PageUp), [this] { showPage(currentPage() - 1); });
    key(QKeySequence(Qt::Key_PageDown), [this] { showPage(currentPage() + 1); });
    key(QKeySequence(Qt::Key_Home), [this] { showPage(0); });
    key(QKeySequence(Qt::Key_End), [this] { showPage(int(m_document.pages.size()) - 1); });
    key(QKeySequence(Qt::Key_Escape), [this] { close(); });

    resize(1000, 760);
    m_browser->setView(Fit::Width, 1.0);
    m_browser->setDocument(&m_document);
    m_browser->setFocus();
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::exec() {
    QEventLoop loop;
    connect(this, &PreviewWindow::closed, &loop, &QEventLoop::quit);
    show();
    raise();
    activateWindow();
    if (isVisible())
        loop.exec();
}

void PreviewWindow::closeEvent(QCloseEvent *event) {
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void PreviewWindow::showPage(int page) {
    m_browser->showPage(page);
}

void PreviewWindow::setZoom(double zoom) {
    m_browser->setZoom(zoom);
}

void PreviewWindow::setFit(Fit fit) {
    m_browser->setFit(fit);
}

void PreviewWindow::updateControls() {
    const int count = int(m_document.pages.size());
    const int page = currentPage();
    bbtFirst->setEnabled(page > 0);
    bbtPrior->setEnabled(page > 0);
    bbtNext->setEnabled(page + 1 < count);
    bbtLast->setEnabled(page + 1 < count);
    bbtPrint->setEnabled(count > 0);
    bbtSavePdf->setEnabled(count > 0);
}

void PreviewWindow::print() {
    const std::optional<PrintChoice> choice = AskPrint(m_document);
    if (!choice)
        return;
    try {
        const PrintOutcome outcome = PrintDocument(m_document, *choice);
        if (!outcome.pdfPath.isEmpty())
            ShowMessage(QStringLiteral("설치된 프린터가 없어 PDF 파일로 저장했습니다.\n") +
                        QDir::toNativeSeparators(outcome.pdfPath));
    } catch (const std::exception &e) {
        ShowError(QStringLiteral("인쇄하지 못했습니다.\n\n") + QString::fromStdString(e.what()));
    }
}

void PreviewWindow::saveAsPdf() {
    const QString suggested =
        QDir(PdfFolder())
            .filePath((m_document.title.isEmpty() ? QStringLiteral("report") : m_document.title) +
                      QStringLiteral(".pdf"));
    QString path = Dialogs::instance().getSaveFileName(QStringLiteral("PDF 저장"), suggested,
                                                       QStringLiteral("PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    try {
        WritePdf(m_document, path);
    } catch (const std::exception &e) {
        ShowError(QStringLiteral("PDF 파일을 저장하지 못했습니다.\n\n") +
                  QString::fromStdString(e.what()));
    }
}

} // namespace kelo::report
