#include "report/pagebrowser.h"

#include "report/pageview.h"
#include "report/render.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace kelo::report {

namespace {

const int kZoomLevels[] = {50, 75, 90, 100, 125, 130, 150, 200};
constexpr double kMinZoom = 0.1, kMaxZoom = 8.0;
constexpr double kThumbDpi = 14;
constexpr int kThumbsPerTick = 4;

} // namespace

QToolButton *ToolButton(QWidget *parent, const char *name, const QString &text,
                        const QString &tip) {
    auto *b = new QToolButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setText(text);
    b->setToolTip(tip);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    return b;
}

PageBrowser::PageBrowser(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlPages"));

    edtPage = new QLineEdit(this);
    edtPage->setObjectName(QStringLiteral("edtPage"));
    edtPage->setAlignment(Qt::AlignRight);
    edtPage->setFixedWidth(48);
    edtPage->setValidator(new QIntValidator(1, 999999, edtPage));
    edtPage->setToolTip(QStringLiteral("페이지 번호 (Enter: 이동)"));
    lblPageCount = new QLabel(this);
    lblPageCount->setObjectName(QStringLiteral("lblPageCount"));
    lblPageCount->setMinimumWidth(40);
    cboZoom = new QComboBox(this);
    cboZoom->setObjectName(QStringLiteral("cboZoom"));
    cboZoom->setEditable(true);
    cboZoom->setInsertPolicy(QComboBox::NoInsert);
    cboZoom->setFocusPolicy(Qt::ClickFocus);
    cboZoom->setToolTip(QStringLiteral("배율 (Ctrl+휠)"));
    cboZoom->setMinimumContentsLength(5);
    for (int z : kZoomLevels)
        cboZoom->addItem(QStringLiteral("%1%").arg(z), z);
    bbtThumbs =
        ToolButton(this, "bbtThumbs", QStringLiteral("썸네일"), QStringLiteral("썸네일 (Ctrl+T)"));
    bbtThumbs->setCheckable(true);
    bbtFind = ToolButton(this, "bbtFind", QStringLiteral("찾기"), QStringLiteral("찾기 (Ctrl+F)"));

    pnlFind = new QWidget(this);
    pnlFind->setObjectName(QStringLiteral("pnlFind"));
    auto *findBar = new QHBoxLayout(pnlFind);
    findBar->setContentsMargins(6, 2, 6, 2);
    findBar->setSpacing(4);
    edtFind = new QLineEdit(pnlFind);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    edtFind->setPlaceholderText(QStringLiteral("찾을 내용"));
    edtFind->setClearButtonEnabled(true);
    edtFind->setMaximumWidth(260);
    lblFind = new QLabel(pnlFind);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    lblFind->setMinimumWidth(80);
    bbtFindPrior = ToolButton(pnlFind, "bbtFindPrior", QStringLiteral("▲"),
                              QStringLiteral("이전 찾기 (Shift+Enter, Shift+F3)"));
    bbtFindNext = ToolButton(pnlFind, "bbtFindNext", QStringLiteral("▼"),
                             QStringLiteral("다음 찾기 (Enter, F3)"));
    bbtFindClose =
        ToolButton(pnlFind, "bbtFindClose", QStringLiteral("✕"), QStringLiteral("닫기 (Esc)"));
    findBar->addWidget(new QLabel(QStringLiteral("찾기"), pnlFind));
    findBar->addWidget(edtFind);
    findBar->addWidget(bbtFindPrior);
    findBar->addWidget(bbtFindNext);
    findBar->addWidget(lblFind);
    findBar->addStretch();
    findBar->addWidget(bbtFindClose);
    pnlFind->hide();

    lstThumbs = new QListWidget(this);
    lstThumbs->setObjectName(QStringLiteral("lstThumbs"));
    lstThumbs->setViewMode(QListView::ListMode);
    lstThumbs->setIconSize(QSize(120, 120));
    lstThumbs->setSpacing(4);
    lstThumbs->setFixedWidth(160);
    lstThumbs->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstThumbs->setFocusPolicy(Qt::NoFocus);
    lstThumbs->setUniformItemSizes(true);
    lstThumbs->hide();

    scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrPages"));
    scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll->setBackgroundRole(QPalette::Dark);
    scroll->setFocusPolicy(Qt::StrongFocus);
    view = new PageView(scroll);
    scroll->setWidget(view);
    scroll->installEventFilter(this);
    scroll->viewport()->installEventFilter(this);
    edtFind->installEventFilter(this);
    scroll->verticalScrollBar()->setSingleStep(40);

    auto *body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    body->addWidget(lstThumbs);
    body->addWidget(scroll, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlFind);
    layout->addLayout(body, 1);
    setFocusProxy(scroll);

    m_thumbTimer = new QTimer(this);
    m_thumbTimer->setInterval(0);
    connect(m_thumbTimer, &QTimer::timeout, this, [this] { renderSomeThumbnails(); });

    connect(scroll->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { pageFromScroll(); });
    connect(edtPage, &QLineEdit::returnPressed, this, [this] {
        showPage(edtPage->text().toInt() - 1);
        scroll->setFocus();
    });
    auto typedZoom = [this] {
        const QString digits =
            cboZoom->currentText().remove(QRegularExpression(QStringLiteral("[^0-9.]")));
        bool ok = false;
        const double percent = digits.toDouble(&ok);
        if (ok && percent > 0)
            userView(Fit::None, percent / 100);
        else
            updateControls();
        scroll->setFocus();
    };
    connect(cboZoom->lineEdit(), &QLineEdit::returnPressed, this, typedZoom);
    connect(cboZoom, &QComboBox::activated, this, [this](int index) {
        userView(Fit::None, cboZoom->itemData(index).toInt() / 100.0);
        scroll->setFocus();
    });
    connect(bbtThumbs, &QToolButton::toggled, this, [this](bool on) { setThumbnailsVisible(on); });
    connect(bbtFind, &QToolButton::clicked, this, [this] { openFind(); });
    connect(lstThumbs, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showPage(lstThumbs->row(item)); });
    connect(edtFind, &QLineEdit::textChanged, this, [this](const QString &text) { find(text); });
    connect(bbtFindNext, &QToolButton::clicked, this, [this] { findNext(); });
    connect(bbtFindPrior, &QToolButton::clicked, this, [this] { findPrevious(); });
    connect(bbtFindClose, &QToolButton::clicked, this, [this] { closeFind(); });

    auto key = [this](QKeySequence seq, auto fn) {
        auto *s = new QShortcut(seq, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, fn);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_F), [this] { openFind(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_T), [this] { setThumbnailsVisible(!thumbnailsVisible()); });

    setDocument(nullptr);
}

PageBrowser::~PageBrowser() = default;

int PageBrowser::pageCount() const {
    return m_document ? int(m_document->pages.size()) : 0;
}

void PageBrowser::setDocument(const Document *document) {
    m_document = document;
    m_page = 0;
    m_hits.clear();
    m_hit = -1;
    view->setHits(nullptr, -1);
    lstThumbs->clear();
    m_thumbsDone = 0;
    QPixmap blank(1, 1);
    blank.fill(Qt::white);
    for (int i = 0; i < pageCount(); ++i) {
        auto *item = new QListWidgetItem(QString::number(i + 1), lstThumbs);
        item->setTextAlignment(Qt::AlignCenter);
        item->setSizeHint(QSize(140, 132));
    }
    if (lstThumbs->isVisible())
        m_thumbTimer->start();
    view->setDocument(nullptr, 96);
    applyView();
    if (!edtFind->text().isEmpty())
        find(edtFind->text());
}

void PageBrowser::showPage(int page) {
    m_page = std::clamp(page, 0, std::max(pageCount() - 1, 0));
    if (m_fit == Fit::Page)
        applyView(); // a page of the other orientation fits otherwise
    scrollToPage();
    updateControls();
    emit pageChanged(m_page);
}

void PageBrowser::setView(Fit fit, double zoom) {
    m_fit = fit;
    m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    applyView();
    emit viewChanged(false);
}

void PageBrowser::userView(Fit fit, double zoom) {
    m_fit = fit;
    m_zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    applyView();
    emit viewChanged(true);
}

void PageBrowser::applyView() {
    const Page *page = pageCount() ? &m_document->pages[size_t(m_page)] : nullptr;
    const double screenDpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    if (page && m_fit != Fit::None) {
        double widest = 0;
        for (const Page &p : m_document->pages)
            widest = std::max(widest, p.width);
        const QSize room =
            scroll->viewport()->size() - QSize(2 * PageView::kGap + 4, 2 * PageView::kGap + 4);
        const double perMm = screenDpi / 25.4;
        double byWidth = room.width() / ((m_fit == Fit::Width ? widest : page->width) * perMm);
        const double byHeight = room.height() / (page->height * perMm);
        // A stack taller than the room brings the vertical scroll bar, whose width the
        // pages leave.
        if (m_fit == Fit::Width && !scroll->verticalScrollBar()->isVisible()) {
            double stack = 0;
            for (const Page &p : m_document->pages)
                stack += p.height * perMm * byWidth + PageView::kGap;
            if (stack + PageView::kGap > scroll->viewport()->height()) {
                const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
                byWidth = (room.width() - bar) / (widest * perMm);
            }
        }
        m_zoom = std::clamp(m_fit == Fit::Width ? byWidth : std::min(byWidth, byHeight), kMinZoom,
                            kMaxZoom);
    }
    const double dpi = screenDpi * m_zoom;
    if (view->document() != m_document || view->dpi() != dpi) {
        view->setDocument(m_document, dpi);
        view->setHits(&m_hits, m_hit);
        scrollToPage();
    }
    updateControls();
}

void PageBrowser::scrollToPage() {
    const QRect paper = view->pageRect(m_page);
    QScrollBar *bar = scroll->verticalScrollBar();
    // The scroll area learns the view's new size from its resize event, which a hidden
    // window gets only when shown: the range is set here at once.
    bar->setRange(0, std::max(0, view->height() - scroll->viewport()->height()));
    m_scrolling = true;
    bar->setValue(paper.isNull() ? 0 : paper.top() - PageView::kGap);
    m_scrolling = false;
}

void PageBrowser::pageFromScroll() {
    if (m_scrolling || !pageCount())
        return;
    QScrollBar *bar = scroll->verticalScrollBar();
    // At the end of the stack the last page is the one read, however short.
    const int page = bar->value() >= bar->maximum() && bar->maximum() > 0
                         ? pageCount() - 1
                         : view->pageAt(bar->value() + scroll->viewport()->height() / 3);
    if (page == m_page)
        return;
    m_page = page;
    updateControls();
    emit pageChanged(m_page);
}

void PageBrowser::openFind() {
    pnlFind->show();
    edtFind->setFocus();
    edtFind->selectAll();
}

void PageBrowser::closeFind() {
    pnlFind->hide();
    m_hits.clear();
    m_hit = -1;
    view->setHits(&m_hits, -1);
    lblFind->clear();
    scroll->setFocus();
}

void PageBrowser::find(const QString &text) {
    if (m_document)
        m_hits = FindText(*m_document, text);
    else
        m_hits.clear();
    m_hit = -1;
    // The first hit from the page in view on.
    for (size_t i = 0; i < m_hits.size() && m_hit < 0; ++i)
        if (m_hits[i].page >= m_page)
            m_hit = int(i);
    if (m_hit < 0 && !m_hits.empty())
        m_hit = 0;
    showHit(m_hit);
}

void PageBrowser::findNext() {
    if (!m_hits.empty())
        showHit((m_hit + 1) % int(m_hits.size()));
}

void PageBrowser::findPrevious() {
    if (!m_hits.empty())
        showHit((m_hit - 1 + int(m_hits.size())) % int(m_hits.size()));
}

void PageBrowser::showHit(int hit) {
    m_hit = hit;
    view->setHits(&m_hits, m_hit);
    if (m_hits.empty()) {
        lblFind->setText(edtFind->text().trimmed().isEmpty()
                             ? QString()
                             : QStringLiteral("찾는 내용이 없습니다"));
        return;
    }
    lblFind->setText(QStringLiteral("%1 / %2건").arg(m_hit + 1).arg(m_hits.size()));
    const TextHit &h = m_hits[size_t(m_hit)];
    if (h.page != m_page)
        showPage(h.page);
    const QRect r = view->toWidget(h.page, h.rect);
    m_scrolling = true;
    scroll->ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 40, r.height() / 2 + 60);
    m_scrolling = false;
}

void PageBrowser::setThumbnailsVisible(bool visible) {
    lstThumbs->setVisible(visible);
    bbtThumbs->setChecked(visible);
    if (visible) {
        m_thumbTimer->start();
        lstThumbs->setCurrentRow(m_page);
    }
    if (m_fit != Fit::None)
        applyView();
}

bool PageBrowser::thumbnailsVisible() const {
    return !lstThumbs->isHidden();
}

void PageBrowser::renderSomeThumbnails() {
    if (lstThumbs->isHidden() || m_thumbsDone >= pageCount()) {
        m_thumbTimer->stop();
        return;
    }
    for (int n = 0; n < kThumbsPerTick && m_thumbsDone < pageCount(); ++n, ++m_thumbsDone) {
        const QImage image = RenderPage(m_document->pages[size_t(m_thumbsDone)], kThumbDpi);
        QPixmap framed(image.size() + QSize(2, 2));
        framed.fill(QColor(96, 96, 96));
        QPainter(&framed).drawImage(1, 1, image);
        lstThumbs->item(m_thumbsDone)->setIcon(QIcon(framed));
    }
}

void PageBrowser::zoomBy(int steps) {
    double z = m_zoom;
    for (int i = 0; i < std::abs(steps); ++i)
        z = steps > 0 ? z * 1.1 : z / 1.1;
    userView(Fit::None, std::round(z * 100) / 100);
}

void PageBrowser::updateControls() {
    const int count = pageCount();
    edtPage->setText(count ? QString::number(m_page + 1) : QString());
    edtPage->setEnabled(count > 0);
    lblPageCount->setText(QStringLiteral("/ %1").arg(count));
    if (!cboZoom->hasFocus()) {
        const int percent = qRound(m_zoom * 100);
        const int level = cboZoom->findData(percent);
        cboZoom->setCurrentIndex(level);
        cboZoom->setEditText(QStringLiteral("%1%").arg(percent));
    }
    if (!lstThumbs->isHidden() && m_page < lstThumbs->count()) {
        const QSignalBlocker block(lstThumbs);
        lstThumbs->setCurrentRow(m_page);
    }
}

bool PageBrowser::eventFilter(QObject *watched, QEvent *event) {
    if (watched == edtFind &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool shift = key->modifiers() & Qt::ShiftModifier;
        const int k = key->key();
        // The screen's own F3 (search) and Esc wait while the find bar has the keys.
        if (k != Qt::Key_Return && k != Qt::Key_Enter && k != Qt::Key_F3 && k != Qt::Key_Escape)
            return QWidget::eventFilter(watched, event);
        event->accept();
        if (event->type() == QEvent::ShortcutOverride)
            return true;
        if (k == Qt::Key_Escape)
            closeFind();
        else if (shift)
            findPrevious();
        else
            findNext();
        return true;
    }
    if (watched == scroll && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_PageDown:
            showPage(m_page + 1);
            return true;
        case Qt::Key_PageUp:
            // Back to the top of the page read, then to the one before.
            showPage(view->pageRect(m_page).top() - PageView::kGap <
                             scroll->verticalScrollBar()->value()
                         ? m_page
                         : m_page - 1);
            return true;
        case Qt::Key_Home:
            showPage(0);
            return true;
        case Qt::Key_End:
            showPage(pageCount() - 1);
            return true;
        default:
            break;
        }
    }
    if (watched == scroll->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int steps = wheel->angleDelta().y() / 120;
            if (steps != 0)
                zoomBy(steps);
            return true;
        }
    }
    if (watched == scroll->viewport() && event->type() == QEvent::Resize && m_fit != Fit::None &&
        m_fitting < 2) {
        ++m_fitting;
        applyView();
        --m_fitting;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kelo::report
