#include "framework/inquiry.h"

#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/keystroke.h"
#include "common/silentstop.h"
#include "controls/formats.h"
#include "framework/screenhelpers.h"
#include "framework/xlsexport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

namespace kelo {

namespace {

// The grid a page shows: the one holding the focus, else the first visible one with rows.
controls::Grid *ShownGrid(QWidget *page) {
    const QList<controls::Grid *> grids = page->findChildren<controls::Grid *>();
    for (controls::Grid *grid : grids)
        if (grid->isVisible() && grid->isAncestorOf(QApplication::focusWidget()))
            return grid;
    for (controls::Grid *grid : grids)
        if (grid->isVisible() && grid->gridModel()->rowCount() > 0)
            return grid;
    return nullptr;
}

} // namespace

// ---- TfrmZZS010 ---------------------------------------------------------------------

TfrmZZS010::TfrmZZS010(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZI000(connection, name, parent) {
    const SearchPanel search = BuildSearchPanel(this, m_rows);
    panSearch = search.panel;
    m_searchRow = search.row;
    bbtSearch = search.search;
    bbtPrint = FormButton(panButtons, "bbtPrint", QStringLiteral("출력(F11)"));
    bbtPreview = FormButton(panButtons, "bbtPreview", QStringLiteral("미리보기"));
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtClose), bbtPrint);
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtClose), bbtPreview);
    connect(bbtSearch, &QPushButton::clicked, this, [this] { bbtSearchClick(); });
    connect(bbtPrint, &QPushButton::clicked, this, [this] { bbtPrintClick(); });
    connect(bbtPreview, &QPushButton::clicked, this, [this] { bbtPreviewClick(); });
    addHotkey(QKeySequence(Qt::Key_F3), [this] { bbtSearchClick(); });
    addHotkey(QKeySequence(Qt::Key_F11), [this] { bbtPrintClick(); });
    addHotkey(QKeySequence(Qt::SHIFT | Qt::Key_F11), [this] { bbtPreviewClick(); });
}

void TfrmZZS010::bbtSearchClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtSearch);
}

void TfrmZZS010::bbtPrintClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtPrint);
}

void TfrmZZS010::bbtPreviewClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtPreview);
}

// ---- TfrmZZS020 ---------------------------------------------------------------------

TfrmZZS020::TfrmZZS020(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZS010(connection, name, parent) {
    controls::GridOptions o = ResultGrid::BaseOptions();
    o.columnSizing = true;
    m_result = std::make_unique<ResultGrid>(connection, panMain, QBoxLayout::LeftToRight, 1, o);
    rgrGrid = m_result->grid;
    cdsQuery = m_result->rows;
    qryQuery = &cdsQuery->query(); // the result query feeds the client-side result set
    registerQuery(qryQuery);
    panInfo = new QWidget(panMain);
    panInfo->setObjectName(QStringLiteral("panInfo"));
    panInfo->hide();
    m_result->layout->addWidget(panInfo);

    popGrid = new QMenu(this);
    popGrid->setObjectName(QStringLiteral("popGrid"));
    rgrGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(rgrGrid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { popGridPopup(p); });
    connect(popGrid, &QMenu::triggered, this, [this](QAction *a) { popGridClick(a); });

    std::tie(sbtFirst, sbtPrior, sbtNext, sbtLast) =
        m_result->addNavigation(panButtons, m_buttonRow, QSize(25, 25));
    bbtExcel = FormButton(panButtons, "bbtExcel", QStringLiteral("Excel"));
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtPrint), bbtExcel);
    connect(bbtExcel, &QPushButton::clicked, this, [this] { bbtExcelClick(); });
    addHotkey(QKeySequence(Qt::CTRL | Qt::Key_F11), [this] { bbtExcelClick(); });
}

TfrmZZS020::~TfrmZZS020() = default;

void TfrmZZS020::rebuildColumnChooser() {
    popGrid->clear();
    for (int c = 0; c < int(rgrGrid->columns().size()); ++c) {
        QAction *item = popGrid->addAction(rgrGrid->columns()[size_t(c)].title);
        item->setCheckable(true);
        item->setChecked(!rgrGrid->isColumnHidden(c));
        item->setData(c);
    }
}

void TfrmZZS020::bbtSearchClick() {
    TfrmZZS010::bbtSearchClick();
    rebuildColumnChooser();
}

void TfrmZZS020::popGridPopup(const QPoint &position) {
    if (rgrGrid->headerLevels() > 1)
        return; // no chooser in group mode
    popGrid->popup(rgrGrid->viewport()->mapToGlobal(position));
}

void TfrmZZS020::popGridClick(QAction *item) {
    const int column = item->data().toInt();
    rgrGrid->setColumnHidden(column, !item->isChecked());
    rgrGrid->column(column).visible = item->isChecked();
}

void TfrmZZS020::bbtExcelClick() {
    SaveResultToExcel();
}

QString TfrmZZS020::SaveResultToExcel() {
    ShowStatusMessage(QString());
    RequireActive(bbtExcel);
    return ExportResult();
}

QString TfrmZZS020::ExportResult() {
    BusyCursor busy;
    if (!isResultOpen()) {
        ShowStatusMessage(QStringLiteral("조회 결과가 없습니다. 조회를 먼저 하십시오."));
        return QString();
    }
    QString name = Dialogs::instance().getSaveFileName(ApplicationTitle(), stbMessage->panelText(0),
                                                       ExcelFileFilter());
    if (name.isEmpty()) {
        ShowStatusMessage(QStringLiteral("저장할 파일 이름을 지정하지 않았습니다."));
        return QString();
    }
    name = ExcelFileName(name);
    if (QFileInfo::exists(name) &&
        !AskYesNo(QStringLiteral("이미 존재하는 파일입니다.\r새 내용으로 덮어쓸까요?")))
        return QString();
    const int current = rgrGrid->currentRow();
    rgrGrid->setUpdatesEnabled(false);
    auto restore = qScopeGuard([&] {
        if (current >= 0)
            rgrGrid->setCurrentIndex(
                rgrGrid->model()->index(current, std::max(0, rgrGrid->currentColumn())));
        rgrGrid->setUpdatesEnabled(true);
    });
    const QString refused = WriteInquiryExcel(name, rgrGrid, windowTitle());
    if (!refused.isEmpty()) {
        ShowError(refused);
        return QString();
    }
    restore.dismiss();
    if (current >= 0)
        rgrGrid->setCurrentIndex(
            rgrGrid->model()->index(current, std::max(0, rgrGrid->currentColumn())));
    rgrGrid->setUpdatesEnabled(true);
    if (AskYesNo(QStringLiteral("저장한 파일(") + QFileInfo(name).fileName() +
                 QStringLiteral(")을 Excel로 불러올까요?")))
        QDesktopServices::openUrl(QUrl::fromLocalFile(name));
    return name;
}

void ShowFooterTotals(controls::Grid *grid, db::Query *footer) {
    std::vector<int> totals;
    for (int c = 0; c < int(grid->columns().size()); ++c)
        if (grid->columns()[size_t(c)].footer.style == controls::FooterStyle::Down) {
            totals.push_back(c);
            grid->setFooterText(c, QStringLiteral("0"));
        }
    if (footer->sql().trimmed().isEmpty())
        return;
    auto closeFooter = qScopeGuard([footer] { footer->close(); });
    footer->open();
    int n = 0;
    for (int c : totals) {
        if (n < footer->fieldCount() && !footer->eof() && !footer->isNull(n))
            grid->setFooterText(
                c, controls::FormatNumberText(footer->number(n), QStringLiteral(",0")));
        ++n;
    }
}

void TfrmZZS020::runTotalsSearch(db::Query *footer, const QString &saleDate, bool withDate) {
    TfrmZZS020::bbtSearchClick();
    for (db::Query *q : {qryQuery, footer})
        if (q->isActive())
            q->close();
    rgrGrid->setRowSet(nullptr);
    cdsQuery->close();
    if (qryQuery->sql().trimmed().isEmpty()) {
        ShowError(QStringLiteral("그리드용 조회쿼리가 없습니다."));
        throw SilentStop();
    }
    if (footer->sql().trimmed().isEmpty()) {
        ShowError(QStringLiteral("합계용 조회쿼리가 없습니다."));
        throw SilentStop();
    }
    BusyCursor busy;
    try {
        if (withDate && qryQuery->hasParam(QStringLiteral("ASALE_DATE")))
            qryQuery->setParam(QStringLiteral("ASALE_DATE"), saleDate);
        OpenResult();
        if (withDate && footer->hasParam(QStringLiteral("ASALE_DATE")))
            footer->setParam(QStringLiteral("ASALE_DATE"), saleDate);
        ShowFooterTotals(rgrGrid, footer);
    } catch (const std::exception &e) {
        ShowErrorReport(e);
    }
}

// ---- TfrmSZS010, TfrmSZS020 -------------------------------------------------------------

namespace {
void hideBars(TfrmZZI000 *screen) {
    screen->panButtons->setEnabled(false);
    screen->panButtons->hide();
    screen->stbMessage->setEnabled(false);
    screen->stbMessage->hide();
}
} // namespace

TfrmSZS010::TfrmSZS010(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZS020(connection, name, parent), m_footer(std::make_unique<db::Query>(connection)) {
    qryFooter = m_footer.get();
    registerQuery(qryFooter);
    const SaleDateField date = AddSaleDateField(panSearch, m_searchRow);
    lblSaleDate = date.label;
    dedSaleDate = date.edit;
    bbtSearch->setFixedSize(110, 36);
    connect(dedSaleDate, &controls::DateEdit::closeUp, this, [this] { dedSaleDateCloseUp(); });
    dedSaleDate->installEventFilter(this);
    controls::GridOptions o = rgrGrid->options();
    o.footerHeight = 25;
    rgrGrid->setOptions(o);
    StyleForm(this);
    hideBars(this);
}

void TfrmSZS010::bbtSearchClick() {
    runTotalsSearch(qryFooter, DisplayToYmd(dedSaleDate->displayText()), true);
}

void TfrmSZS010::dedSaleDateCloseUp() {
    bbtSearch->click();
}

bool TfrmSZS010::eventFilter(QObject *watched, QEvent *event) {
    // Enter in the business date searches, whatever follows the date on the panel.
    if (watched == dedSaleDate && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            bbtSearch->click();
            return true;
        }
    }
    if (watched == dedSaleDate && HandleConditionFieldEvent(dedSaleDate, event, bbtSearch))
        return true;
    return TfrmZZS020::eventFilter(watched, event);
}

TfrmSZS020::TfrmSZS020(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZS020(connection, name, parent), m_footer(std::make_unique<db::Query>(connection)) {
    qryFooter = m_footer.get();
    registerQuery(qryFooter);
    bbtSearch->setFixedSize(110, 36);
    controls::GridOptions o = rgrGrid->options();
    o.footerHeight = 25;
    rgrGrid->setOptions(o);
    StyleForm(this);
    hideBars(this);
}

void TfrmSZS020::bbtSearchClick() {
    runTotalsSearch(qryFooter, QString(), false);
}

// ---- TfrmSZS030 -----------------------------------------------------------------------

bool HandleConditionEnter(QWidget *field, QPushButton *searchButton) {
    QWidget *next = field->nextInFocusChain();
    while (next && next != field &&
           (!(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled() || !next->isVisible()))
        next = next->nextInFocusChain();
    if (!next || next == field)
        return false;
    if (next == searchButton) {
        searchButton->click();
        return true;
    }
    if (next->parentWidget() != field->parentWidget()) {
        // The focus wraps to the first field of the same panel.
        for (QWidget *w = field->parentWidget()->nextInFocusChain();
             w && w != field->parentWidget(); w = w->nextInFocusChain()) {
            if (w->parentWidget() == field->parentWidget() && w->isEnabled() && w->isVisible() &&
                (w->focusPolicy() & Qt::TabFocus)) {
                w->setFocus(Qt::TabFocusReason);
                return true;
            }
        }
        return true;
    }
    next->setFocus(Qt::TabFocusReason);
    return true;
}

bool HandleConditionFieldEvent(QWidget *field, QEvent *event, QPushButton *searchButton) {
    switch (event->type()) {
    case QEvent::FocusIn:
        SetInputColor(field, true);
        return false;
    case QEvent::FocusOut:
        SetInputColor(field, false);
        return false;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        return (key == Qt::Key_Return || key == Qt::Key_Enter) &&
               HandleConditionEnter(field, searchButton);
    }
    default:
        return false;
    }
}

TfrmSZS030::TfrmSZS030(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZS010(connection, name, parent) {
    StyleForm(this);
    hideBars(this);
    bbtPrint->hide();
    bbtPreview->hide();
}

void TfrmSZS030::attachConditionField(QWidget *field) {
    field->installEventFilter(this);
}

bool TfrmSZS030::eventFilter(QObject *watched, QEvent *event) {
    if (auto *field = qobject_cast<QWidget *>(watched); field && field != this) {
        if (HandleConditionFieldEvent(field, event, bbtSearch))
            return true;
    }
    return TfrmZZS010::eventFilter(watched, event);
}

// ---- TfrmSZS000 -----------------------------------------------------------------------

TfrmSZS000::TfrmSZS000(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZI000(connection, name, parent) {
    auto *layout = new QHBoxLayout(panMain);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    panMemu = new QWidget(panMain);
    panMemu->setObjectName(QStringLiteral("panMemu"));
    panMemu->setFixedWidth(179);
    auto *menuLayout = new QVBoxLayout(panMemu);
    menuLayout->setContentsMargins(0, 0, 0, 0);
    rgrMenu = new controls::Grid(panMemu);
    rgrMenu->setObjectName(QStringLiteral("rgrMenu"));
    controls::GridColumn className;
    className.field = QStringLiteral("CLASS_NAME");
    className.title = QStringLiteral("클래스명");
    className.visible = false;
    controls::GridColumn item;
    item.field = QStringLiteral("ITEM");
    item.title = QStringLiteral("조회항목");
    item.width = 170;
    item.footer.margins = QMargins(10, 0, 0, 0);
    rgrMenu->setColumns({className, item});
    controls::GridOptions o;
    o.editing = false;
    o.rowSelect = true;
    o.rowHeight = 20;
    rgrMenu->setOptions(o);
    menuLayout->addWidget(rgrMenu);
    panData = new QWidget(panMain);
    panData->setObjectName(QStringLiteral("panData"));
    auto *dataLayout = new QVBoxLayout(panData);
    dataLayout->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(panData);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(true);
    PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { height: 30px; }"));
    dataLayout->addWidget(PageControl1);
    layout->addWidget(panMemu);
    layout->addWidget(panData, 1);
    bbtClose->setFixedSize(150, 37);
    StyleForm(this);
    addHotkey(QKeySequence(Qt::CTRL | Qt::Key_F11), [this] { ExportActivePage(); });
    connect(rgrMenu, &controls::Grid::rowEnter, this, [this](int row) {
        if (row >= 0 && row < PageControl1->count())
            PageControl1->setCurrentIndex(row);
    });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        if (page >= 0 && page < rgrMenu->rowCountFetched() && rgrMenu->currentRow() != page)
            rgrMenu->setCurrentCell(page, 1);
    });
}

void TfrmSZS000::AddSubScreen(const QString &caption, QWidget *screen) {
    const int row = rgrMenu->gridModel()->appendRow();
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControl1->addTab(page, caption);
    screen->setParent(page, Qt::Widget);
    layout->addWidget(screen);
    screen->show();
    rgrMenu->setValue(row, 0, screen->objectName());
    rgrMenu->setValue(row, 1, caption);
    rgrMenu->gridModel()->setStatus(row, controls::RowStatus::Unchanged);
    m_subScreens.push_back(screen);
    // The page's own Excel key would compete with the hub's (and its button is hidden).
    const QKeySequence excelKey(Qt::CTRL | Qt::Key_F11);
    for (QShortcut *key : screen->findChildren<QShortcut *>())
        if (key->key() == excelKey)
            key->setEnabled(false);
    if (row == 0)
        rgrMenu->setCurrentCell(0, 1);
}

void TfrmSZS000::ExportActivePage() {
    ShowStatusMessage(QString());
    QWidget *screen = subScreen(PageControl1->currentIndex());
    if (auto *inquiry = qobject_cast<TfrmZZS020 *>(screen)) {
        inquiry->ExportResult();
        return;
    }
    controls::Grid *grid = screen ? ShownGrid(screen) : nullptr;
    if (!grid || grid->gridModel()->rowCount() == 0) {
        ShowStatusMessage(QStringLiteral("조회 결과가 없습니다. 조회를 먼저 하십시오."));
        return;
    }
    ExportGridAndOfferToOpen(grid, PageControl1->tabText(PageControl1->currentIndex()),
                             screen->objectName().mid(3));
}

void TfrmSZS000::ShowSubScreen(int n) {
    rgrMenu->setCurrentCell(n, 1);
}

QWidget *TfrmSZS000::subScreen(int n) const {
    return n >= 0 && n < int(m_subScreens.size()) ? m_subScreens[size_t(n)] : nullptr;
}

bool TfrmSZS000::FormCloseQuery() {
    for (QWidget *w : m_subScreens) {
        if (auto *sales = qobject_cast<TfrmSZS010 *>(w)) {
            for (db::Query *q : {sales->qryQuery, sales->qryFooter})
                if (q->isActive())
                    q->close();
            sales->cdsQuery->close();
        }
    }
    return TfrmZZI000::FormCloseQuery();
}

} // namespace kelo
