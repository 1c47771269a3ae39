#include "framework/gridinput.h"

#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/silentstop.h"
#include "framework/screenhelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace kelo {

namespace {

const QColor kKeyColour(255, 255, 0);
const QColor kReadOnlyColour(192, 220, 192);

QWidget *nextTabStop(QWidget *from, bool forward) {
    QWidget *w = from;
    for (int guard = 0; guard < 1000; ++guard) {
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == from)
            return nullptr;
        if (w->isEnabled() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus) && !w->isWindow())
            return w;
    }
    return nullptr;
}

QWidget *firstOrLastOfParent(QWidget *field, bool first) {
    QWidget *parent = field->parentWidget();
    QWidget *found = nullptr;
    for (QWidget *w = parent->nextInFocusChain(); w && w != parent; w = w->nextInFocusChain()) {
        if (!parent->isAncestorOf(w))
            break;
        if (w->parentWidget() == parent && w->isEnabled() && w->isVisible() &&
            (w->focusPolicy() & Qt::TabFocus)) {
            if (first)
                return w;
            found = w;
        }
    }
    return found;
}

} // namespace

// ---- TfrmSZI000 --------------------------------------------------------------------

TfrmSZI000::TfrmSZI000(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZI010(connection, name, parent), m_proc(std::make_unique<db::StoredProc>(connection)) {
    prcSProc = m_proc.get();
    for (QPushButton *b : {bbtSearch, bbtSave, bbtCancel, bbtClose})
        b->setFixedHeight(37);
    panButtons->setFixedHeight(47);
}

void TfrmSZI000::attachField(QWidget *field) {
    field->installEventFilter(this);
}

void TfrmSZI000::edtEnter(QWidget *field) {
    SetInputColor(field, true);
    LastEdit = field;
}

void TfrmSZI000::edtExit(QWidget *field) {
    if (field)
        SetInputColor(field, false);
}

bool TfrmSZI000::edtKeyDown(QWidget *field, QKeyEvent *event) {
    const bool choice = qobject_cast<QComboBox *>(field) != nullptr;
    const auto *memo = qobject_cast<QPlainTextEdit *>(field);
    const bool multiline = memo != nullptr;
    auto other = [&](QWidget *w) { return w && w->parentWidget() != field->parentWidget(); };
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (multiline)
            return false;
        QWidget *next = nextTabStop(field, true);
        if (next == bbtSearch)
            bbtSearch->click();
        else if (other(next)) {
            if (QWidget *first = firstOrLastOfParent(field, true))
                first->setFocus(Qt::TabFocusReason);
        } else if (next)
            next->setFocus(Qt::TabFocusReason);
        return true;
    }
    case Qt::Key_Left:
    case Qt::Key_Up: {
        if ((event->key() == Qt::Key_Left && !choice) ||
            (event->key() == Qt::Key_Up && (choice || multiline)))
            return false;
        QWidget *previous = nextTabStop(field, false);
        if (other(previous)) {
            if (QWidget *last = firstOrLastOfParent(field, false))
                last->setFocus(Qt::BacktabFocusReason);
        } else if (previous)
            previous->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    case Qt::Key_Right:
    case Qt::Key_Down: {
        if ((event->key() == Qt::Key_Right && !choice) ||
            (event->key() == Qt::Key_Down && (choice || multiline)))
            return false;
        QWidget *next = nextTabStop(field, true);
        if (other(next)) {
            if (QWidget *first = firstOrLastOfParent(field, true))
                first->setFocus(Qt::TabFocusReason);
        } else if (next)
            next->setFocus(Qt::TabFocusReason);
        return true;
    }
    case Qt::Key_F1: {
        // The speed button "sbtSearch" + the field's name from its fourth character on.
        const QString button = QStringLiteral("sbtSearch") + field->objectName().mid(3);
        if (auto *b = findChild<QAbstractButton *>(button)) {
            b->click();
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

bool TfrmSZI000::eventFilter(QObject *watched, QEvent *event) {
    if (auto *field = qobject_cast<QWidget *>(watched); field && field != this) {
        switch (event->type()) {
        case QEvent::FocusIn:
            edtEnter(field);
            break;
        case QEvent::FocusOut:
            edtExit(field);
            break;
        case QEvent::KeyPress:
            if (edtKeyDown(field, static_cast<QKeyEvent *>(event)))
                return true;
            break;
        default:
            break;
        }
    }
    return TfrmZZI010::eventFilter(watched, event);
}

void TfrmSZI000::bbtSearchClick() {
    RequireActive(bbtSearch);
    if (qryQuery->sql().trimmed().isEmpty())
        throw SilentStop();
    qryQuery->close();
}

void TfrmSZI000::bbtCancelClick() {
    ClearPanel(this, panMain);
    qryQuery->close();
    TfrmZZI010::bbtCancelClick();
}

// ---- TfrmSZI020 --------------------------------------------------------------------

TfrmSZI020::TfrmSZI020(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmSZI000(connection, name, parent) {
    resize(1016, height());
    bbtAdd = new QPushButton(QStringLiteral("신규(F4)"), panButtons);
    bbtAdd->setObjectName(QStringLiteral("bbtAdd"));
    bbtDelete = new QPushButton(QStringLiteral("삭제(F9)"), panButtons);
    bbtDelete->setObjectName(QStringLiteral("bbtDelete"));
    for (QPushButton *b : {bbtAdd, bbtDelete}) {
        b->setFixedSize(80, 37);
        b->setAutoDefault(false);
        m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtSave), b);
    }
    bbtSave->setFixedWidth(88);
    EmphasizeButton(bbtSave, Qt::red);
    connect(bbtAdd, &QPushButton::clicked, this, [this] { bbtAddClick(); });
    connect(bbtDelete, &QPushButton::clicked, this, [this] { bbtDeleteClick(); });
    addHotkey(QKeySequence(Qt::Key_F4), [this] { bbtAddClick(); });
    addHotkey(QKeySequence(Qt::Key_F9), [this] { bbtDeleteClick(); });

    const SaleDateField date = AddSaleDateField(panSearch, m_searchRow);
    lblSaleDate = date.label;
    dedSaleDate = date.edit;
    attachField(dedSaleDate);

    auto *mainLayout = new QVBoxLayout(panMain);
    mainLayout->setContentsMargins(0, 0, 0, 0);
    panGrid = new QWidget(panMain);
    panGrid->setObjectName(QStringLiteral("panGrid"));
    auto *gridLayout = new QVBoxLayout(panGrid);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    rgrGrid = new controls::Grid(panGrid);
    rgrGrid->setObjectName(QStringLiteral("rgrGrid"));
    controls::GridOptions o;
    o.editing = true;
    o.alwaysShowEditor = true;
    o.enterMovesLikeTab = true;
    o.rowHeight = 20;
    o.headerRowHeight = 30;
    o.footerHeight = 25;
    rgrGrid->setOptions(o);
    gridLayout->addWidget(rgrGrid);
    mainLayout->addWidget(panGrid);
    rgrGrid->installEventFilter(this);

    rgrGrid->canEdit = [this](int row, int column) { return canEditCell(row, column); };
    rgrGrid->beforeRowExit = [this](int) {
        try {
            return ValidateRow() && CheckKeys();
        } catch (const SilentStop &) {
            return false;
        }
    };
    connect(rgrGrid, &controls::Grid::cellEnter, this, [this](int, int) { CellEntryRule(); });
    connect(rgrGrid, &controls::Grid::afterPost, this, [this](int row) {
        if (rgrGrid->rowStatus(row) == controls::RowStatus::Changed)
            LogRow(controls::RowStatus::Changed, row);
    });
    rgrGrid->onKeyDown = [this](QKeyEvent *e) {
        switch (e->key()) {
        case Qt::Key_Left:
            MovingBackward = true;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Right:
            MovingBackward = false;
            break;
        default:
            break;
        }
        return false;
    };
    StyleForm(this);
    PaintGridFocus();
    SetSearchMode(true);
}

bool TfrmSZI020::eventFilter(QObject *watched, QEvent *event) {
    if (watched == rgrGrid &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        PaintGridFocus();
    if (event->type() == QEvent::KeyPress && watched != rgrGrid) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && watched != this) {
            if (rgrGrid->isEnabled())
                rgrGrid->setFocus();
            return true;
        }
    }
    return TfrmSZI000::eventFilter(watched, event);
}

void TfrmSZI020::PaintGridFocus() {
    QPalette p = rgrGrid->palette();
    p.setColor(QPalette::Base, rgrGrid->hasFocus()
                                   ? QApplication::palette().color(QPalette::Base)
                                   : QApplication::palette().color(QPalette::Button));
    rgrGrid->setPalette(p);
}

bool TfrmSZI020::isKeyColumn(int column) const {
    const QColor c = rgrGrid->columns().at(size_t(column)).color;
    return c.isValid() && c.rgb() == kKeyColour.rgb();
}

bool TfrmSZI020::isRequiredColumn(int column) const {
    return isKeyColumn(column) || rgrGrid->columns().at(size_t(column)).required;
}

bool TfrmSZI020::isSkipped(int column) const {
    const controls::GridColumn &c = rgrGrid->columns().at(size_t(column));
    return c.readOnly || !c.visible ||
           (c.color.isValid() && c.color.rgb() == kReadOnlyColour.rgb());
}

bool TfrmSZI020::canEditCell(int row, int column) const {
    if (column < 0 || column >= int(rgrGrid->columns().size()) || isSkipped(column))
        return false;
    if (isKeyColumn(column)) {
        const controls::RowStatus s = rgrGrid->rowStatus(row);
        return s != controls::RowStatus::Unchanged && s != controls::RowStatus::Changed;
    }
    return true;
}

void TfrmSZI020::CellEntryRule() {
    if (m_inCellRule)
        return;
    const int row = rgrGrid->currentRow();
    const int columns = int(rgrGrid->columns().size());
    if (row < 0 || rgrGrid->rowCountFetched() == 0)
        return;
    bool anyEditable = false;
    for (int c = 0; c < columns; ++c)
        anyEditable = anyEditable || !isSkipped(c);
    if (!anyEditable)
        return;
    m_inCellRule = true;
    auto done = qScopeGuard([this] { m_inCellRule = false; });
    int column = rgrGrid->currentColumn();
    for (int step = 0; step < columns && !canEditCell(row, column); ++step)
        column = MovingBackward ? (column - 1 + columns) % columns : (column + 1) % columns;
    if (column != rgrGrid->currentColumn())
        rgrGrid->setCurrentCell(row, column);
}

void TfrmSZI020::LogRow(controls::RowStatus status, int row) {
    if (row < 0)
        row = rgrGrid->currentRow();
    if (rgrGrid->rowCountFetched() == 0 || row < 0 || row >= rgrGrid->rowCountFetched())
        return;
    LogEntry entry;
    const controls::GridModel *model = rgrGrid->gridModel();
    for (int c = 0; c < int(rgrGrid->columns().size()); ++c) {
        entry.values << rgrGrid->text(row, c); // choices keep their codes
        if (model->wasRead(row))
            entry.read << model->readText(row, c);
    }
    entry.status = status;
    entry.row = QPersistentModelIndex(rgrGrid->model()->index(row, 0));
    // The row logged anew replaces what the database refused of it, and stands in
    // for the refused row until the next save.
    entry.refused = std::erase_if(m_log, [&](const LogEntry &e) {
                        return e.refused && e.row == entry.row;
                    }) > 0;
    m_log.push_back(entry);
}

bool TfrmSZI020::CheckRequiredCells(bool show) {
    const int row = rgrGrid->currentRow();
    if (row < 0)
        return false;
    int visibleColumns = 0;
    for (const controls::GridColumn &c : rgrGrid->columns())
        visibleColumns += c.visible;
    const int n = std::min(visibleColumns, int(rgrGrid->columns().size()));
    for (int c = 0; c < n; ++c) {
        if (!isRequiredColumn(c) || !rgrGrid->text(row, c).isEmpty())
            continue;
        rgrGrid->setCurrentIndex(rgrGrid->model()->index(row, c));
        bool allEmpty = true;
        for (int k = 0; k < n && allEmpty; ++k)
            allEmpty = rgrGrid->text(row, k).isEmpty();
        if (allEmpty && rgrGrid->rowStatus(row) == controls::RowStatus::New) {
            // An empty new row left behind goes without a message.
            rgrGrid->postEdit();
            rgrGrid->gridModel()->deleteRow(row);
            NewRowPending = false;
        } else if (show) {
            ShowError(rgrGrid->columns()[size_t(c)].title +
                      QStringLiteral("을(를) 입력하여 주십시요."));
        }
        return true;
    }
    return false;
}

bool TfrmSZI020::CheckKeys() {
    if (CheckRequiredCells(true)) {
        rgrGrid->setFocus();
        throw SilentStop();
    }
    std::vector<int> keys;
    for (int c = 0; c < int(rgrGrid->columns().size()); ++c)
        if (isKeyColumn(c))
            keys.push_back(c);
    const int row = rgrGrid->currentRow();
    if (keys.empty() || row < 0)
        return true;
    int same = 0;
    for (int r = 0; r < rgrGrid->rowCountFetched(); ++r) {
        bool equal = true;
        for (int k : keys)
            equal = equal && rgrGrid->text(r, k) == rgrGrid->text(row, k);
        same += equal;
    }
    if (same <= 1)
        return true;
    ShowError(rgrGrid->columns()[size_t(keys.back())].title +
              QStringLiteral("이(가) 중복입력되었습니다."));
    rgrGrid->setCurrentIndex(rgrGrid->model()->index(row, keys.back()));
    rgrGrid->setFocus();
    return false;
}

void TfrmSZI020::bbtSearchClick() {
    TfrmSZI000::bbtSearchClick();
    ShowStatusMessage(QString());
    auto finish = qScopeGuard([this] {
        qryQuery->close();
        if (rgrGrid->hasFocus()) {
            MovingBackward = false;
            if (rgrGrid->currentRow() >= 0)
                rgrGrid->setCurrentCell(rgrGrid->currentRow(), 0);
        }
    });
    BusyCursor busy; // after the guard: the cursor comes back before the guard runs
    qryQuery->open();
    rgrGrid->setPlain();
    controls::GridModel *model = rgrGrid->gridModel();
    const int columns = int(rgrGrid->columns().size());
    m_logFields.clear();
    for (int f = 0; f < qryQuery->fieldCount(); ++f)
        m_logFields << qryQuery->fieldName(f);
    for (; !qryQuery->eof(); qryQuery->next()) {
        const int row = model->appendRow();
        for (int c = 0; c < columns && c < qryQuery->fieldCount(); ++c)
            model->setValue(row, c, qryQuery->text(c));
    }
    model->clearStatus();
    if (model->rowCount() > 0) {
        EnterEditMode();
        rgrGrid->recalculateFooter();
        rgrGrid->setFocus();
        rgrGrid->setCurrentCell(0, 0);
        CellEntryRule();
    } else {
        ShowStatusMessage(QStringLiteral("검색된 결과가 없습니다."));
        SetSearchMode(true);
    }
}

void TfrmSZI020::bbtAddClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtAdd);
    if (rgrGrid->rowCountFetched() > 0 && !ValidateRow())
        throw SilentStop();
    rgrGrid->postEdit();
    if (rgrGrid->rowCountFetched() > 0 && !CheckKeys())
        throw SilentStop();
    const int row = rgrGrid->gridModel()->appendRow();
    NewRowPending = true;
    rgrGrid->recalculateFooter();
    MovingBackward = false;
    rgrGrid->setFocus();
    rgrGrid->setCurrentCell(row, 0);
    CellEntryRule();
}

void TfrmSZI020::bbtDeleteClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtDelete);
    const int row = rgrGrid->currentRow();
    if (rgrGrid->rowCountFetched() == 0 || row < 0)
        return;
    controls::GridModel *model = rgrGrid->gridModel();
    if (NewRowPending) {
        rgrGrid->postEdit();
        model->deleteRow(row);
        NewRowPending = false;
        if (model->rowCount() > 0)
            rgrGrid->setCurrentCell(model->rowCount() - 1, 0);
    } else {
        if (!AskYesNo(QStringLiteral("데이타를 삭제하시겠습니까?")))
            throw SilentStop();
        const controls::RowStatus status = rgrGrid->rowStatus(row);
        if (status == controls::RowStatus::Unchanged || status == controls::RowStatus::Changed)
            LogRow(controls::RowStatus::Deleted, row);
        rgrGrid->postEdit();
        model->deleteRow(row);
    }
    rgrGrid->recalculateFooter();
    rgrGrid->setFocus();
    CellEntryRule();
}

void TfrmSZI020::SaveChanges() {
    if (prcSProc->params().empty())
        prcSProc->refreshParams();
    for (LogEntry &entry : m_log)
        entry.refused = false;
    QStringList params;
    for (const QString &field : m_logFields)
        params << u'A' + field;
    // A row sent twice in one save holds, at its second call, what the first one wrote.
    std::vector<const LogEntry *> sent;
    for (LogEntry &entry : m_log) {
        for (int c = 0; c < m_logFields.size() && c < entry.values.size(); ++c) {
            const QString param = u'A' + m_logFields.at(c);
            if (prcSProc->hasParam(param))
                prcSProc->setParam(param, entry.values.at(c));
        }
        if (prcSProc->hasParam(QStringLiteral("AEDITSTATUS")))
            prcSProc->setParam(QStringLiteral("AEDITSTATUS"), QString::number(int(entry.status)));
        QStringList read = entry.read;
        for (const LogEntry *before : sent)
            if (before->row.isValid() && before->row == entry.row)
                read =
                    before->status == controls::RowStatus::Deleted ? QStringList() : before->values;
        prcSProc->setRowRead(SearchedRow(params, read));
        try {
            ExecuteWrite(*prcSProc);
            sent.push_back(&entry);
        } catch (...) {
            prcSProc->setRowRead({});
            // Every entry of the refused row waits for the row's correction.
            const QPersistentModelIndex row = entry.row;
            for (LogEntry &e : m_log)
                e.refused = e.refused || (row.isValid() && e.row == row) || &e == &entry;
            throw;
        }
    }
    prcSProc->setRowRead({});
    // Everything in the log has been sent: a second save sends none of it again.
    m_log.clear();
    rgrGrid->gridModel()->clearStatus();
    NewRowPending = false;
}

void TfrmSZI020::bbtSaveClick() {
    RequireActive(bbtSave);
    // First the connection: the row checks look codes up in the database, and a database
    // that cannot be reached is not a wrong code.
    OpenForSave(connection());
    edtExit(LastEdit);
    rgrGrid->postEdit();
    if (!ValidateRow() || !CheckKeys())
        throw SilentStop();
    CellEntryRule();
    // New rows are logged for this save only: a failed save takes them out again,
    // so that a retry does not send them twice.
    const size_t logged = m_log.size();
    for (int r = 0; r < rgrGrid->rowCountFetched(); ++r)
        if (rgrGrid->rowStatus(r) == controls::RowStatus::New)
            LogRow(controls::RowStatus::New, r);
    ShowStatusMessage(QString());
    auto finish = qScopeGuard([this] {
        if (rgrGrid->isEnabled())
            rgrGrid->setFocus();
    });
    BusyCursor busy; // after the guard: the cursor comes back before the guard runs
    Saved = false;
    try {
        SaveInTransaction(connection(), this, [this] { SaveChanges(); });
        ShowStatusMessage(QStringLiteral("자료를 저장했습니다."));
        Saved = true;
    } catch (const std::exception &e) {
        m_log.resize(std::min(m_log.size(), logged));
        ShowErrorReport(e);
    }
}

void TfrmSZI020::bbtCancelClick() {
    RequireActive(bbtCancel);
    edtExit(LastEdit);
    rgrGrid->setPlain();
    rgrGrid->recalculateFooter();
    ShowStatusMessage(QString());
    TfrmSZI000::bbtCancelClick();
    NewRowPending = false;
    m_log.clear();
    m_logFields.clear();
}

bool TfrmSZI020::HasUnsavedChanges() {
    rgrGrid->commitEditor();
    if (!m_log.empty() || !rgrGrid->gridModel()->deletedRows().empty())
        return true;
    for (int r = 0; r < rgrGrid->rowCountFetched(); ++r)
        if (rgrGrid->rowStatus(r) != controls::RowStatus::Unchanged)
            return true;
    return false;
}

void TfrmSZI020::bbtCloseClick() {
    RequireActive(bbtClose);
    edtExit(LastEdit);
    TfrmSZI000::bbtCloseClick();
}

} // namespace kelo
