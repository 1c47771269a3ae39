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
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

namespace kelo::report {

namespace {

const double kZoomLevels[] = {0.5, 0.75, 1.0, 1.25, 1.5, 2.0};

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

    auto *bar = new QHBoxLayout;
    bbtFirst = Button(this, "bbtFirst", QStringLiteral("|◀"), QStringLiteral("첫 페이지 (Home)"));
    bbtPrior = Button(this, "bbtPrior", QStringLiteral("◀"), QStringLiteral("이전 페이지 (PgUp)"));
    lblPage = new QLabel(this);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblPage->setMinimumWidth(70);
    lblPage->setAlignment(Qt::AlignCenter);
    bbtNext = Button(this, "bbtNext", QStringLiteral("▶"), QStringLiteral("다음 페이지 (PgDn)"));
    bbtLast = Button(this, "bbtLast", QStringLiteral("▶|"), QStringLiteral("끝 페이지 (End)"));
    bbtFitWidth = Button(this, "bbtFitWidth", QStringLiteral("폭 맞춤"));
    bbtFitPage = Button(this, "bbtFitPage", QStringLiteral("쪽 맞춤"));
    cboZoom = new QComboBox(this);
    cboZoom->setObjectName(QStringLiteral("cboZoom"));
    cboZoom->setFocusPolicy(Qt::NoFocus);
    for (double z : kZoomLevels)
        cboZoom->addItem(QStringLiteral("%1%").arg(qRound(z * 100)), z);
    bbtPrint = Button(this, "bbtPrint", QStringLiteral("인쇄"));
    bbtSavePdf = Button(this, "bbtSavePdf", QStringLiteral("PDF 저장"));
    bbtClose = Button(this, "bbtClose", QStringLiteral("닫기"), QStringLiteral("닫기 (Esc)"));
    for (QWidget *w : std::initializer_list<QWidget *>{bbtFirst, bbtPrior, lblPage, bbtNext,
                                                       bbtLast, bbtFitWidth, bbtFitPage, cboZoom})
        bar->addWidget(w);
    bar->addStretch();
    bar->addWidget(bbtPrint);
    bar->addWidget(bbtSavePdf);
    bar->addWidget(bbtClose);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrPages"));
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_view = new PageView(m_scroll);
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(bbtFirst, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(bbtPrior, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(bbtNext, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(bbtLast, &QPushButton::clicked, this,
            [this] { showPage(int(m_document.pages.size()) - 1); });
    connect(bbtFitWidth, &QPushButton::clicked, this, [this] { setFit(Fit::Width); });
    connect(bbtFitPage, &QPushButton::clicked, this, [this] { setFit(Fit::Page); });
    connect(cboZoom, &QComboBox::activated, this,
            [this](int index) { setZoom(cboZoom->itemData(index).toDouble()); });
    connect(bbtPrint, &QPushButton::clicked, this, &PreviewWindow::print);
    connect(bbtSavePdf, &QPushButton::clicked, this, &PreviewWindow::saveAsPdf);
    connect(bbtClose, &QPushButton::clicked, this, &QWidget::close);

    auto key = [this](QKeySequence seq, auto fn) {
        auto *s = new QShortcut(seq, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, fn);
    };
    key(QKeySequence(Qt::Key_PageUp), [this] { showPage(m_page - 1); });
    key(QKeySequence(Qt::Key_PageDown), [this] { showPage(m_page + 1); });
    key(QKeySequence(Qt::Key_Home), [this] { showPage(0); });
    key(QKeySequence(Qt::Key_End), [this] { showPage(int(m_document.pages.size()) - 1); });
    key(QKeySequence(Qt::Key_Escape), [this] { close(); });

    resize(1000, 760);
    applyZoom();
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

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize && m_fit != Fit::None &&
        m_fitting < 2) {
        ++m_fitting;
        applyZoom();
        --m_fitting;
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewWindow::showPage(int page) {
    const int count = int(m_document.pages.size());
    page = std::clamp(page, 0, std::max(count - 1, 0));
    if (page == m_page && m_view->isVisible())
        return;
    m_page = page;
    applyZoom();
    m_scroll->verticalScrollBar()->setValue(0);
}

void PreviewWindow::setZoom(double zoom) {
    m_fit = Fit::None;
    m_zoom = std::clamp(zoom, 0.1, 8.0);
    applyZoom();
}

void PreviewWindow::setFit(Fit fit) {
    m_fit = fit;
    applyZoom();
}

void PreviewWindow::applyZoom() {
    const Page *page = m_document.pages.empty() ? nullptr : &m_document.pages[size_t(m_page)];
    const double screenDpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    if (page && m_fit != Fit::None) {
        const QSize room =
            m_scroll->viewport()->size() - QSize(2 * PageView::kGap + 4, 2 * PageView::kGap + 4);
        const double perMm = screenDpi / 25.4;
        const double byWidth = room.width() / (page->width * perMm);
        const double byHeight = room.height() / (page->height * perMm);
        const double z = m_fit == Fit::Width ? byWidth : std::min(byWidth, byHeight);
        m_zoom = std::clamp(z, 0.1, 8.0);
    }
    m_view->setPage(page, screenDpi * m_zoom);
    updateControls();
}

void PreviewWindow::updateControls() {
    const int count = int(m_document.pages.size());
    lblPage->setText(QStringLiteral("%1 / %2").arg(count ? m_page + 1 : 0).arg(count));
    bbtFirst->setEnabled(m_page > 0);
    bbtPrior->setEnabled(m_page > 0);
    bbtNext->setEnabled(m_page + 1 < count);
    bbtLast->setEnabled(m_page + 1 < count);
    bbtPrint->setEnabled(count > 0);
    bbtSavePdf->setEnabled(count > 0);
    const int level = cboZoom->findData(m_zoom);
    if (level >= 0) {
        cboZoom->setCurrentIndex(level);
    } else {
        cboZoom->setEditable(false);
        cboZoom->setCurrentIndex(-1);
        cboZoom->setPlaceholderText(QStringLiteral("%1%").arg(qRound(m_zoom * 100)));
    }
}

void PreviewWindow::print() {
    try {
        const PrintOutcome outcome = PrintDocument(m_document, DefaultPrinter());
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
