#include "framework/editablegrid.h"

#include "common/dialogs.h"
#include "common/functions.h"
#include "common/silentstop.h"
#include "controls/edits.h"
#include "controls/formats.h"
#include "framework/screenhelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <exception>

namespace kelo {

namespace {

const QColor kReadOnlyGrey(236, 236, 236);
const QColor kEditYellow(255, 255, 204);

// The widget and everything below it to the sixth level.
bool withinLevels(const QWidget *widget, const QWidget *panel) {
    const QWidget *w = widget;
    for (int level = 0; level <= 6 && w; ++level, w = w->parentWidget())
        if (w == panel)
            return true;
    return false;
}

void paintBase(QWidget *w, const QColor &colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

} // namespace

// ---- TfrmZZI090 --------------------------------------------------------------------

TfrmZZI090::TfrmZZI090(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZI010(connection, name, parent), m_temp(std::make_unique<db::Query>(connection)),
      m_proc(std::make_unique<db::StoredProc>(connection)) {
    resize(1008, height());
    qryTemp = m_temp.get();
    registerQuery(qryTemp);
    prcProc = m_proc.get();
    panSearch->setFixedHeight(49);
    bbtSearch->setFixedSize(93, 34);
    bbtSearch->setText(QStringLiteral("Search(F3)"));
    bbtSave->setText(QStringLiteral("Save(F2)"));
    bbtCancel->setText(QStringLiteral("Cancel(F8)"));
    bbtClose->setText(QStringLiteral("Close(F12)"));

    auto *rows = new QVBoxLayout(panMain);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    panMaster = new QWidget(panMain);
    panMaster->setObjectName(QStringLiteral("panMaster"));
    panMaster->setFixedHeight(1);
    panMaster->hide();
    rows->addWidget(panMaster);
    Panel1 = new QWidget(panMain);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto *gridRow = new QVBoxLayout(Panel1);
    gridRow->setContentsMargins(0, 0, 0, 0);
    rgrGrid = new controls::Grid(Panel1);
    rgrGrid->setObjectName(QStringLiteral("rgrGrid"));
    controls::GridOptions o;
    o.editing = true;
    o.inserting = true;
    o.deleting = true;
    o.confirmDelete = true;
    o.alwaysShowEditor = true;
    o.enterMovesLikeTab = true;
    o.rowIndicator = true;
    o.columnSizing = true;
    o.titleClickSorts = true;
    o.rowHeight = 25;
    o.headerRowHeight = 30;
    o.lineColor = QColor(Qt::lightGray);
    rgrGrid->setOptions(o);
    rgrGrid->verticalHeader()->setFixedWidth(30);
    gridRow->addWidget(rgrGrid);
    rows->addWidget(Panel1);

    // Row navigation on the left of the button bar.
    const struct {
        QToolButton **button;
        const char *name, *hint, *arrow;
        void (TfrmZZI090::*handler)();
    } navigation[] = {
        {&sbtFirst, "sbtFirst", "처음 자료", "|◀", &TfrmZZI090::sbtFirstClick},
        {&sbtPrior, "sbtPrior", "앞 자료", "◀", &TfrmZZI090::sbtPriorClick},
        {&sbtNext, "sbtNext", "다음 자료", "▶", &TfrmZZI090::sbtNextClick},
        {&sbtLast, "sbtLast", "마지막 자료", "▶|", &TfrmZZI090::sbtLastClick},
    };
    int at = 0;
    for (const auto &n : navigation) {
        auto *b = new QToolButton(panButtons);
        b->setObjectName(QLatin1String(n.name));
        b->setToolTip(QString::fromUtf8(n.hint));
        b->setText(QString::fromUtf8(n.arrow));
        b->setAutoRaise(true);
        b->setFixedSize(30, 25);
        m_buttonRow->insertWidget(at++, b);
        connect(b, &QToolButton::clicked, this, [this, h = n.handler] { (this->*h)(); });
        *n.button = b;
    }
    bbtAdd = FormButton(panButtons, "bbtAdd", QStringLiteral("New(F4)"));
    bbtDelete = FormButton(panButtons, "bbtDelete", QStringLiteral("Delete(F9)"));
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtSave), bbtAdd);
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtSave), bbtDelete);
    connect(bbtAdd, &QPushButton::clicked, this, [this] { bbtAddClick(); });
    connect(bbtDelete, &QPushButton::clicked, this, [this] { bbtDeleteClick(); });
    addHotkey(QKeySequence(Qt::Key_F4), [this] { bbtAddClick(); });
    addHotkey(QKeySequence(Qt::Key_F9), [this] { bbtDeleteClick(); });

    connect(rgrGrid, &controls::Grid::afterPost, this, [this](int row) { GridAfterPost(row); });
    connect(rgrGrid, &controls::Grid::rowChanged, this,
            [this](int previous, int) { removeIfEmptyNew(previous); });
    connect(rgrGrid, &controls::Grid::valueChanged, this, [this](int, int) { Changed = true; });
    connect(rgrGrid, &controls::Grid::footerRecalc, this, [this] {
        CalcFooters();
        formatFooters();
    });
    connect(rgrGrid, &controls::Grid::keyUp, this, [this](QKeyEvent *e) { GridKeyUp(e); });
    // The deletion is recorded once the user agreed to it.
    connect(rgrGrid, &controls::Grid::rowDeleting, this,
            [this](int row) { GridBeforeDelete(row); });
    rgrGrid->onKeyDown = [this](QKeyEvent *e) { return GridKeyDown(e); };
    rgrGrid->onDrawCell = [this](int row, int column, controls::CellStyle &style) {
        if (m_fill[0] < 0 || m_fill[1] < 0)
            return;
        const int lastRow = std::max(m_fill[0], m_fill[2]),
                  lastColumn = std::max(m_fill[1], m_fill[3]);
        if (row >= m_fill[0] && row <= lastRow && column >= m_fill[1] && column <= lastColumn &&
            row <= 255 && column <= 255) {
            style.background = QApplication::palette().color(QPalette::Highlight);
            style.textColor = QApplication::palette().color(QPalette::HighlightedText);
        }
    };
    rgrGrid->installEventFilter(this);
    StyleForm(this);
    SetSearchMode(true);
}

TfrmZZI090::~TfrmZZI090() = default;

QStringList TfrmZZI090::logTitles() const {
    QStringList titles;
    for (const QString &f : FieldNames)
        titles << u'A' + f;
    titles << QStringLiteral("RowID");
    return titles;
}

QString TfrmZZI090::noChangeMessage() const {
    return QStringLiteral("변경된 데이타가 존재하지 않습니다.");
}
QString TfrmZZI090::savedMessage() const {
    return QStringLiteral("자료를 저장했습니다.");
}
QString TfrmZZI090::cancelQuestion() const {
    return QStringLiteral("변경된 자료가 있습니다. 정말 취소하시겠습니까?");
}
void TfrmZZI090::clearWorkArea() {
    rgrGrid->setPlain();
}

void TfrmZZI090::bbtSearchClick() {
    TfrmZZI010::bbtSearchClick();
    BusyCursor busy;
    auto finish = qScopeGuard([this] {
        qryQuery->close();
        rgrGrid->setFocus();
        rgrGrid->recalculateFooter();
        // After a failed statement the general error box speaks; "no rows" would mislead.
        if (rgrGrid->rowCountFetched() == 0 && std::uncaught_exceptions() == 0)
            ShowStatusMessage(QStringLiteral("조회할 내용이 없습니다."));
        Changed = false;
    });
    if (qryQuery->sql().trimmed().isEmpty()) {
        ShowError(QStringLiteral("qryQuery의 쿼리문이 없습니다."));
        throw SilentStop();
    }
    qryQuery->open();
    if (FieldNames.isEmpty()) {
        // The first search builds the row-number column and the log's titles, and greys the
        // read-only columns; later searches keep them.
        std::vector<controls::GridColumn> columns = rgrGrid->columns();
        for (controls::GridColumn &c : columns) {
            if (c.readOnly && !c.color.isValid())
                c.color = kReadOnlyGrey;
            if (c.alignment & Qt::AlignRight)
                c.footer.margins = QMargins(2, 3, 2, 0);
            if (!c.footer.text.isNull() || c.footer.style != controls::FooterStyle::Normal) {
                c.footer.style = controls::FooterStyle::Sunken;
                c.footer.fontColor = Qt::blue;
            }
        }
        controls::GridColumn rowId;
        rowId.title = QStringLiteral("RowID");
        rowId.field = QStringLiteral("RowID");
        rowId.visible = false;
        rowId.readOnly = true;
        rowId.alignment = Qt::AlignRight | Qt::AlignVCenter;
        m_rowIdColumn = int(columns.size());
        columns.push_back(rowId);
        rgrGrid->setColumns(columns);
        for (int f = 0; f < qryQuery->fieldCount(); ++f)
            FieldNames << qryQuery->fieldName(f);
    }
    rgrGrid->setPlain();
    controls::GridModel *model = rgrGrid->gridModel();
    const int fields = std::min(qryQuery->fieldCount(), m_rowIdColumn);
    for (; !qryQuery->eof(); qryQuery->next()) {
        const int row = model->appendRow();
        for (int f = 0; f < fields; ++f)
            model->setValue(row, f, qryQuery->text(f));
        model->setValue(row, m_rowIdColumn, QString::number(++RowCounter));
        model->setStatus(row, controls::RowStatus::Changed);
        model->markRead(row); // what a later save checks the database against
    }
    if (model->rowCount() > 0)
        rgrGrid->setCurrentCell(0, 0);
}

void TfrmZZI090::logRow(int row) {
    const int rowId = rgrGrid->text(row, m_rowIdColumn).toInt();
    LogEntry entry;
    const controls::GridModel *model = rgrGrid->gridModel();
    for (int c = 0; c < int(rgrGrid->columns().size()); ++c) {
        entry.values << rgrGrid->text(row, c);
        if (model->wasRead(row))
            entry.read << model->readText(row, c);
    }
    entry.status = rgrGrid->rowStatus(row);
    if (rowId > 0) {
        for (LogEntry &e : m_log)
            if (e.rowId == rowId && e.status != controls::RowStatus::Deleted) {
                e.values = entry.values;
                e.status = entry.status;
                return;
            }
        entry.rowId = rowId;
    } else {
        entry.rowId = ++RowCounter;
        rgrGrid->gridModel()->setValue(row, m_rowIdColumn, QString::number(RowCounter));
        rgrGrid->gridModel()->setStatus(row, entry.status);
        entry.values[m_rowIdColumn] = QString::number(RowCounter);
    }
    m_log.push_back(entry);
}

bool TfrmZZI090::removeIfEmptyNew(int row) {
    if (row < 0 || row >= rgrGrid->rowCountFetched() || m_rowIdColumn < 0 ||
        !rgrGrid->text(row, m_rowIdColumn).isEmpty())
        return false;
    for (int c = 0; c < m_rowIdColumn; ++c)
        if (!rgrGrid->text(row, c).isEmpty())
            return false;
    // An untouched new row disappears (once the grid has left it).
    QMetaObject::invokeMethod(
        this,
        [this, row] {
            if (row < rgrGrid->rowCountFetched() && rgrGrid->currentRow() != row &&
                rgrGrid->rowStatus(row) == controls::RowStatus::New &&
                rgrGrid->text(row, m_rowIdColumn).isEmpty())
                rgrGrid->gridModel()->deleteRow(row);
        },
        Qt::QueuedConnection);
    return true;
}

void TfrmZZI090::GridAfterPost(int row) {
    if (row < 0 || row >= rgrGrid->rowCountFetched() || m_rowIdColumn < 0)
        return;
    if (removeIfEmptyNew(row))
        return;
    logRow(row);
}

void TfrmZZI090::GridBeforeDelete(int row) {
    const int rowId = m_rowIdColumn < 0 ? 0 : rgrGrid->text(row, m_rowIdColumn).toInt();
    if (rowId <= 0)
        return; // never posted: no trace
    if (rgrGrid->rowStatus(row) == controls::RowStatus::New) {
        // A new row deleted before the save is never sent.
        std::erase_if(m_log, [rowId](const LogEntry &e) { return e.rowId == rowId; });
        return;
    }
    LogEntry entry;
    const controls::GridModel *model = rgrGrid->gridModel();
    for (int c = 0; c < int(rgrGrid->columns().size()); ++c) {
        entry.values << rgrGrid->text(row, c);
        entry.read << model->readText(row, c);
    }
    entry.status = controls::RowStatus::Deleted;
    entry.rowId = rowId;
    m_log.push_back(entry);
    Changed = true;
}

void TfrmZZI090::clearFill() {
    for (int &v : m_fill)
        v = -1;
    rgrGrid->viewport()->update();
}

bool TfrmZZI090::GridKeyDown(QKeyEvent *event) {
    if (event->key() == Qt::Key_Down)
        ShowStatusMessage(QString());
    if (rgrGrid->rowCountFetched() == 0 || event->modifiers() != Qt::ControlModifier)
        return false;
    if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Down) {
        if (m_fill[0] < 0) {
            m_fill[0] = rgrGrid->currentRow();
            m_fill[1] = rgrGrid->currentColumn();
        }
        if (event->key() == Qt::Key_Down && m_fill[3] < 0)
            m_fill[3] = m_fill[1];
    }
    return false;
}

void TfrmZZI090::GridKeyUp(QKeyEvent *event) {
    if (event->key() == Qt::Key_Control) {
        clearFill();
        return;
    }
    if (rgrGrid->rowCountFetched() == 0 || !(event->modifiers() & Qt::ControlModifier) ||
        m_fill[0] < 0)
        return;
    if (event->key() == Qt::Key_Right) {
        m_fill[3] = rgrGrid->currentColumn();
        rgrGrid->viewport()->update();
    } else if (event->key() == Qt::Key_Down) {
        const int row = rgrGrid->currentRow();
        m_fill[2] = row;
        rgrGrid->viewport()->update();
        if (row < 0 || rgrGrid->text(row, m_rowIdColumn).isEmpty())
            return; // a row never posted is not filled
        const int first = std::min(m_fill[1], m_fill[3]), last = std::max(m_fill[1], m_fill[3]);
        controls::GridModel *model = rgrGrid->gridModel();
        const controls::RowStatus status = model->status(row);
        for (int c = first; c <= last && c < m_rowIdColumn; ++c)
            if (!rgrGrid->columns().at(size_t(c)).readOnly)
                model->setValue(row, c, model->value(m_fill[0], c));
        model->setStatus(row, status == controls::RowStatus::New ? status
                                                                 : controls::RowStatus::Changed);
        logRow(row);
        Changed = true;
    }
}

void TfrmZZI090::formatFooters() {
    if (rgrGrid->options().footerHeight <= 0)
        return;
    for (int c = 0; c < int(rgrGrid->columns().size()); ++c) {
        const controls::GridColumn &column = rgrGrid->columns().at(size_t(c));
        if (!column.visible)
            continue;
        const QString raw = rgrGrid->footerText(c);
        if (raw.isNull())
            continue;
        // Footers read as whole numbers: anything else shows 0.
        rgrGrid->setFooterText(c,
                               controls::FormatNumberText(QVariant(qlonglong(StrToInt64Def0(raw))),
                                                          QStringLiteral("#,##0")));
    }
}

void TfrmZZI090::bbtAddClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtAdd);
    if (!rgrGrid->isVisible())
        return;
    rgrGrid->setFocus();
    if (!rgrGrid->options().inserting)
        return; // a grid without inserting only takes the focus
    const int row = rgrGrid->appendRow();
    if (row >= 0)
        rgrGrid->edit(rgrGrid->currentIndex());
}

void TfrmZZI090::bbtDeleteClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtDelete);
    if (rgrGrid->rowCountFetched() == 0 ||
        !AskYesNo(QStringLiteral("현재 자료를 삭제하시겠습니까?")))
        return;
    // Asked once: the grid's own question is for Ctrl+Delete.
    controls::GridOptions o = rgrGrid->options();
    const bool confirm = o.confirmDelete;
    o.confirmDelete = false;
    rgrGrid->setOptions(o);
    auto restore = qScopeGuard([this, confirm] {
        controls::GridOptions back = rgrGrid->options();
        back.confirmDelete = confirm;
        rgrGrid->setOptions(back);
    });
    rgrGrid->deleteCurrentRow();
}

void TfrmZZI090::SaveGrid(controls::Grid *grid, ChangeLog &log, db::StoredProc *procedure) {
    if (procedure->params().empty())
        procedure->refreshParams();
    const QStringList titles = logTitles();
    for (size_t i = 0; i < log.size(); ++i) {
        const LogEntry &entry = log[i];
        // A row deleted after it was changed goes twice: its deletion finds what the change wrote.
        QStringList read = entry.read;
        for (size_t k = 0; k < i; ++k)
            if (log[k].rowId == entry.rowId)
                read = log[k].values;
        procedure->setRowRead(SearchedRow(titles, read));
        for (int c = 0; c < titles.size() && c < entry.values.size(); ++c)
            if (procedure->hasParam(titles.at(c)))
                procedure->setParam(titles.at(c), entry.values.at(c));
        StampWrite(*procedure);
        if (procedure->hasParam(QStringLiteral("AEDITSTATUS"))) {
            const int status = int(entry.status);
            procedure->setParam(QStringLiteral("AEDITSTATUS"),
                                EditStatusTexts[size_t(status == 0 ? 2 : status)]);
        }
        try {
            if (procedure == prcProc)
                ExecuteProc();
            else
                procedure->execute();
            ThrowRefusal(*procedure);
        } catch (...) {
            procedure->setRowRead({});
            // The refused entry leaves the log; the rest goes again at the next save.
            log.erase(log.begin() + qsizetype(i));
            throw;
        }
    }
    procedure->setRowRead({});
    // What was saved is what the database holds now: the next change is checked against it.
    grid->gridModel()->clearStatus();
    grid->viewport()->update();
    log.clear();
}

void TfrmZZI090::SaveAll() {
    SaveGrid(rgrGrid, m_log, prcProc);
}

void TfrmZZI090::ExecuteProc() {
    prcProc->execute();
}

void TfrmZZI090::bbtSaveClick() {
    TfrmZZI010::bbtSaveClick();
    rgrGrid->postEdit();
    if (!Changed) {
        ShowError(noChangeMessage());
        throw SilentStop();
    }
    if (!AskYesNo(QStringLiteral("저장 하시겠습니까?")))
        return;
    BusyCursor busy;
    OpenForSave(connection());
    try {
        SaveInTransaction(connection(), this, [this] { SaveAll(); });
        ShowStatusMessage(savedMessage());
        Changed = false;
    } catch (const std::exception &e) {
        ShowError(QStringLiteral("자료를 저장하지 못했습니다.\r\r에러내용:\r") +
                  QString::fromUtf8(e.what()));
        throw; // and the general error handling reports it once more
    }
}

void TfrmZZI090::bbtCancelClick() {
    if (Changed && !AskYesNo(cancelQuestion()))
        throw SilentStop();
    TfrmZZI010::bbtCancelClick();
    m_log.clear();
    clearWorkArea();
    rgrGrid->recalculateFooter();
    RowCounter = 0;
    Changed = false;
}

void TfrmZZI090::sbtFirstClick() {
    if (rgrGrid->rowCountFetched() > 0)
        rgrGrid->setCurrentCell(0, std::max(0, rgrGrid->currentColumn()));
}
void TfrmZZI090::sbtPriorClick() {
    if (rgrGrid->currentRow() > 0)
        rgrGrid->setCurrentCell(rgrGrid->currentRow() - 1, std::max(0, rgrGrid->currentColumn()));
}
void TfrmZZI090::sbtNextClick() {
    if (rgrGrid->currentRow() + 1 < rgrGrid->rowCountFetched())
        rgrGrid->setCurrentCell(rgrGrid->currentRow() + 1, std::max(0, rgrGrid->currentColumn()));
}
void TfrmZZI090::sbtLastClick() {
    if (rgrGrid->rowCountFetched() > 0)
        rgrGrid->setCurrentCell(rgrGrid->rowCountFetched() - 1,
                                std::max(0, rgrGrid->currentColumn()));
}

void TfrmZZI090::EnablePanel(QWidget *panel, bool enable, bool paint, bool clear) {
    QList<QWidget *> widgets = panel->findChildren<QWidget *>();
    widgets.prepend(panel);
    for (QWidget *w : widgets) {
        if (!withinLevels(w, panel) || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        w->setEnabled(enable);
        if (clear) {
            if (auto *grid = qobject_cast<controls::Grid *>(w))
                grid->setPlain();
            else if (auto *number = qobject_cast<controls::NumberEdit *>(w))
                number->setValue(QStringLiteral("0"));
            else if (auto *edit = qobject_cast<QLineEdit *>(w))
                edit->clear();
            else if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
                memo->clear();
            else if (auto *check = qobject_cast<QCheckBox *>(w))
                check->setChecked(false);
            else if (auto *choice = qobject_cast<QComboBox *>(w))
                choice->setCurrentIndex(choice->count() > 0 ? 0 : -1);
            else if (auto *label = qobject_cast<QLabel *>(w); label && w != panel)
                label->clear();
        }
        if (paint) {
            const bool input = qobject_cast<QLineEdit *>(w) || qobject_cast<QPlainTextEdit *>(w) ||
                               qobject_cast<controls::Grid *>(w) || qobject_cast<QComboBox *>(w);
            const QColor face = QApplication::palette().color(QPalette::Button);
            if (input)
                paintBase(w, enable ? QApplication::palette().color(QPalette::Base) : face);
            else if (qobject_cast<QCheckBox *>(w) || qobject_cast<QLabel *>(w))
                paintBase(w, face);
        }
    }
}

void TfrmZZI090::ErrFocus(controls::Grid *grid, int column) {
    if (column >= 0 && grid->currentRow() >= 0)
        grid->setCurrentCell(grid->currentRow(), column);
    grid->setFocus();
    throw SilentStop();
}

void TfrmZZI090::attachField(QWidget *field) {
    field->installEventFilter(this);
    if (auto *edit = qobject_cast<QLineEdit *>(field);
        edit && field->objectName().startsWith(QLatin1String("med"))) {
        // A date field shows its weekday in the label of the same name.
        connect(edit, &QLineEdit::textChanged, this, [this, field](const QString &) {
            if (auto *label =
                    findChild<QLabel *>(QStringLiteral("wlb") + field->objectName().mid(3)))
                label->setText(WeekdayName(DigitsOnly(qobject_cast<QLineEdit *>(field)->text())));
        });
    }
}

bool TfrmZZI090::eventFilter(QObject *watched, QEvent *event) {
    auto *field = qobject_cast<QWidget *>(watched);
    if (field && field != rgrGrid && field != this) {
        switch (event->type()) {
        case QEvent::FocusIn:
            paintBase(field, kEditYellow);
            break;
        case QEvent::FocusOut:
            paintBase(field, QApplication::palette().color(QPalette::Base));
            break;
        case QEvent::KeyPress: {
            auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
            if (key->key() == Qt::Key_F1) {
                const QString x = field->objectName().mid(3);
                auto *button = findChild<QAbstractButton *>(QStringLiteral("sbt") + x);
                if (!button)
                    button = findChild<QAbstractButton *>(QStringLiteral("bbt") + x);
                if (button) {
                    button->click();
                    return true;
                }
            }
            // Masked fields take digits, '-', '.' and the editing keys only.
            if (qobject_cast<controls::MaskedEdit *>(field) && !key->text().isEmpty() &&
                key->text().at(0).isPrint()) {
                const QChar c = key->text().at(0);
                if (!c.isDigit() && c != u'-' && c != u'.')
                    return true;
            }
            break;
        }
        default:
            break;
        }
    }
    if (watched == rgrGrid && event->type() == QEvent::FocusIn)
        paintBase(rgrGrid, QApplication::palette().color(QPalette::Base));
    return TfrmZZI010::eventFilter(watched, event);
}

// ---- TfrmSZI040 --------------------------------------------------------------------

TfrmSZI040::TfrmSZI040(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZI090(connection, name, parent) {
    resize(1028, height());
    bbtPrint = FormButton(panButtons, "bbtPrint", QStringLiteral("출력(F11)"), QSize(92, 38));
    bbtPreview = FormButton(panButtons, "bbtPreview", QStringLiteral("미리보기"), QSize(107, 38));
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtClose), bbtPrint);
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtClose), bbtPreview);
}

QString TfrmSZI040::noChangeMessage() const {
    return QStringLiteral("변경된 내용이 없습니다.");
}
QString TfrmSZI040::savedMessage() const {
    return QStringLiteral("자료를 저장하였습니다.");
}
QString TfrmSZI040::cancelQuestion() const {
    return QStringLiteral("변경된 내용이 존재합니다. 정말 취소하시겠습니까?");
}
void TfrmSZI040::clearWorkArea() {
    EnablePanel(panMain, false, false, true);
}

} // namespace kelo
