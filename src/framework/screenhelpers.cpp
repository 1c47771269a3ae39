#include "framework/screenhelpers.h"

#include "common/dates.h"
#include "common/dialogs.h"
#include "common/functions.h"
#include "common/globals.h"
#include "common/silentstop.h"
#include "controls/edits.h"
#include "controls/grid.h"
#include "db/query.h"
#include "db/storedproc.h"
#include "db/transaction.h"
#include "framework/messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace kelo {

QString ConnectFailureMessage(const QString &engineText) {
    if (engineText.contains(QLatin1String("ORA-00018")) ||
        engineText.contains(QLatin1String("ORA-00019")) ||
        engineText.contains(QLatin1String("too many clients")))
        return QStringLiteral("현재 너무 많은 사용자가 사용 중이므로 연결할 수 "
                              "없습니다.\r잠시 후 다시 시도하십시오.");
    return QStringLiteral("데이터베이스와 연결할 수 없습니다.\r\r에러내용:\r") + engineText;
}

void OpenForSave(db::Connection &connection) {
    if (connection.isOpen())
        return;
    try {
        connection.open();
    } catch (const db::DbError &e) {
        ShowError(ConnectFailureMessage(e.message()));
        throw SilentStop();
    }
}

void SaveInTransaction(db::Connection &connection, const void *owner,
                       const std::function<void()> &work) {
    db::Transaction transaction(connection);
    transaction.beginIfNone(int(reinterpret_cast<quintptr>(owner) & 0x7FFFFFFF));
    work();
    if (transaction.ownsTransaction())
        transaction.commit();
}

void StampWrite(db::StoredProc &procedure) {
    const GlobalValues &g = Globals();
    StampWrite(procedure, g.empNo, g.clientIP);
}

void StampWrite(db::StoredProc &procedure, const QString &empNo, const QString &ip) {
    if (procedure.hasParam(QStringLiteral("AU_EMP_NO")))
        procedure.setParam(QStringLiteral("AU_EMP_NO"), empNo);
    if (procedure.hasParam(QStringLiteral("AU_IP")))
        procedure.setParam(QStringLiteral("AU_IP"), ip);
}

void ThrowRefusal(const db::StoredProc &procedure) {
    if (!procedure.hasParam(QStringLiteral("AERROR_MSG")))
        return;
    const QString refusal = procedure.param(QStringLiteral("AERROR_MSG"));
    if (!refusal.isEmpty())
        throw db::DbError(refusal);
}

void ExecuteWrite(db::StoredProc &procedure) {
    const GlobalValues &g = Globals();
    ExecuteWrite(procedure, g.empNo, g.clientIP);
}

void ExecuteWrite(db::StoredProc &procedure, const QString &empNo, const QString &ip) {
    StampWrite(procedure, empNo, ip);
    procedure.execute();
    ThrowRefusal(procedure);
}

db::RowRead SearchedRow(const QStringList &params, const QStringList &texts) {
    db::RowRead read;
    read.checked = true;
    read.absent = texts.isEmpty();
    for (qsizetype i = 0; i < params.size() && i < texts.size(); ++i)
        read.values[params.at(i).toUpper()] = texts.at(i);
    return read;
}

namespace {

bool ensureOpen(db::Connection &c) {
    if (c.isOpen())
        return true;
    try {
        c.open();
        return true;
    } catch (const db::DbError &) {
        return false;
    }
}

void paint(QWidget *w, const QColor &colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

bool isInputField(QWidget *w) {
    return qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w) ||
           qobject_cast<QPlainTextEdit *>(w) || qobject_cast<QTextEdit *>(w);
}

bool isWithin(const QWidget *w, const QWidget *panel, int levels) {
    const QWidget *p = w->parentWidget();
    for (int i = 0; i < levels && p; ++i, p = p->parentWidget())
        if (p == panel)
            return true;
    return false;
}

} // namespace

QString CodeName(db::Connection &connection, const QString &set, const QString &code,
                 bool onlyFlagged) {
    if (!ensureOpen(connection))
        return QString();
    try {
        db::Query q(connection);
        q.setSql(QStringLiteral(R"sql(
            SELECT DETAIL_NAME
            FROM ZX010MS
            WHERE HEAD = :AHEAD
                AND DETAIL = :ADETAIL
                %1
        )sql")
                     .arg(onlyFlagged ? QStringLiteral("AND ITEM1 = 'Y'") : QString()));
        q.setParam(QStringLiteral("AHEAD"), set);
        q.setParam(QStringLiteral("ADETAIL"), code);
        q.open();
        return q.eof() ? QString() : q.text(0);
    } catch (const db::DbError &) {
        return QString();
    }
}

CodeRowValues CodeRow(db::Connection &connection, const QString &set, const QString &code) {
    CodeRowValues values;
    for (int i = 0; i < 15; ++i)
        values.items << QString();
    if (!ensureOpen(connection))
        return values;
    try {
        db::Query q(connection);
        q.setSql(QStringLiteral(R"sql(
            SELECT DETAIL_NAME,
                ITEM1, ITEM2, ITEM3, ITEM4, ITEM5,
                ITEM6, ITEM7, ITEM8, ITEM9, ITEM10,
                ITEM11, ITEM12, ITEM13, ITEM14, ITEM15
            FROM ZX010MS
            WHERE HEAD = :AHEAD
                AND DETAIL = :ADETAIL
        )sql"));
        q.setParam(QStringLiteral("AHEAD"), set);
        q.setParam(QStringLiteral("ADETAIL"), code);
        q.open();
        if (!q.eof()) {
            for (int i = 0; i < 15; ++i)
                values.items[i] = q.text(i + 1);
            values.detailName = q.text(0);
        }
    } catch (const db::DbError &) {
        for (QString &s : values.items)
            s.clear();
        values.detailName.clear();
    }
    return values;
}

void SetLabelFromQuery(db::Connection &connection, QLabel *label, const QString &statement,
                       const QString &value) {
    if (!connection.isOpen())
        connection.open();
    db::Query q(connection);
    q.setSql(statement);
    q.setParam(QStringLiteral("param"), value);
    q.open();
    label->setText(q.eof() ? QString() : q.text(QStringLiteral("name")));
}

QString DayNameDb(db::Connection &connection, const QString &date) {
    if (!ensureOpen(connection))
        return QString();
    try {
        db::Query q(connection);
        q.setSql(QStringLiteral("select to_char(to_date(:aDate),'day') as Date_Value from dual"));
        q.setParam(QStringLiteral("aDate"), date);
        q.open();
        return q.eof() ? QString() : q.text(QStringLiteral("Date_Value"));
    } catch (const db::DbError &) {
        return QString();
    }
}

void BuildFormFrame(QWidget *form, QVBoxLayout *&rows, QWidget *&panMain, QFrame *&bvlButtons,
                    QWidget *&panButtons, QHBoxLayout *&buttonRow) {
    QFont f(QStringLiteral("굴림"));
    f.setPixelSize(12);
    form->setFont(f);
    rows = new QVBoxLayout(form);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    panMain = new QWidget(form);
    panMain->setObjectName(QStringLiteral("panMain"));
    rows->addWidget(panMain, 1);
    bvlButtons = new QFrame(form);
    bvlButtons->setObjectName(QStringLiteral("bvlButtons"));
    bvlButtons->setFrameShape(QFrame::HLine);
    bvlButtons->setFrameShadow(QFrame::Sunken);
    rows->addWidget(bvlButtons);
    panButtons = new QWidget(form);
    panButtons->setObjectName(QStringLiteral("panButtons"));
    panButtons->setFixedHeight(40);
    buttonRow = new QHBoxLayout(panButtons);
    // No margin above and below: the row centres its widgets, and the screens' tallest buttons
    // (38 pixels) fit the bar whole.
    buttonRow->setContentsMargins(8, 0, 8, 0);
    buttonRow->addStretch(1);
    rows->addWidget(panButtons);
}

QShortcut *AddHotkey(QWidget *form, const QKeySequence &key, Qt::ShortcutContext context,
                     std::function<void()> handler) {
    auto *shortcut = new QShortcut(key, form);
    shortcut->setContext(context);
    QObject::connect(shortcut, &QShortcut::activated, form,
                     [handler = std::move(handler)] { handler(); });
    QObject::connect(shortcut, &QShortcut::activatedAmbiguously, form,
                     [shortcut] { emit shortcut->activated(); });
    return shortcut;
}

bool HostedCloseRequest(QWidget *screen) {
    if (screen->isWindow())
        return true;
    if (QWidget *main = ApplicationMainWindow()) {
        ProgramClosedEvent closed;
        QCoreApplication::sendEvent(main, &closed);
    }
    return false;
}

void AnswerClose(QWidget *screen, QCloseEvent *event, bool mayClose) {
    if (mayClose) {
        event->accept();
        if (screen->isWindow())
            screen->setAttribute(Qt::WA_DeleteOnClose); // the closing screen frees itself
    } else {
        event->ignore();
    }
}

void RequireActive(const QWidget *button) {
    if (!button || button->isHidden() || !button->isEnabled())
        throw SilentStop();
}

SearchPanel BuildSearchPanel(QWidget *form, QVBoxLayout *rows) {
    auto *frame = new QFrame(form);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setObjectName(QStringLiteral("panSearch"));
    frame->setFixedHeight(40);
    SearchPanel panel{frame, new QHBoxLayout(frame), nullptr};
    // As the button bar: the widgets centred, a search button up to 38 pixels high whole.
    panel.row->setContentsMargins(8, 0, 8, 0);
    panel.row->addStretch(1);
    panel.search = FormButton(frame, "bbtSearch", QStringLiteral("조회(F3)"));
    panel.row->addWidget(panel.search);
    rows->insertWidget(0, frame);
    return panel;
}

SaleDateField AddSaleDateField(QWidget *panel, QHBoxLayout *row, const QString &date) {
    SaleDateField field{new QLabel(QStringLiteral("* 영 업 일 자"), panel),
                        new controls::DateEdit(panel)};
    field.label->setObjectName(QStringLiteral("lblSaleDate"));
    field.edit->setObjectName(QStringLiteral("dedSaleDate"));
    field.edit->setFixedWidth(120);
    field.edit->setYmd(date.isEmpty() ? ShiftDays(TodayYmd(), -1) : date);
    row->insertWidget(0, field.label);
    row->insertWidget(1, field.edit);
    return field;
}

controls::MaskedEdit *DateField(QWidget *parent, const char *name, const DateFieldForm &form) {
    auto *edit = new controls::MaskedEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setEditMask(QString::fromUtf8(form.mask));
    if (form.maxLength > 0)
        edit->setMaxLength(form.maxLength);
    edit->setFixedWidth(form.width);
    if (form.centred)
        edit->setAlignment(Qt::AlignCenter);
    controls::SetImeAlphanumeric(edit);
    return edit;
}

controls::MaskedEdit *EventDateEdit(QWidget *parent, const char *name) {
    return DateField(parent, name,
                     {.mask = "!9999-!99-99;0; ", .width = 88, .maxLength = 10, .centred = true});
}

controls::ValueLabel *WeekdayLabel(QWidget *parent, const char *name) {
    auto *label = new controls::ValueLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFixedWidth(56);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QPushButton *FormButton(QWidget *parent, const char *name, const QString &caption, QSize size) {
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setFixedSize(size);
    b->setAutoDefault(false);
    return b;
}

void EmphasizeButton(QAbstractButton *button, const QColor &color) {
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    QPalette palette = button->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        palette.setColor(group, QPalette::ButtonText, color);
    button->setPalette(palette);
}

void StyleForm(QWidget *form) {
    for (QAbstractButton *b : form->findChildren<QAbstractButton *>())
        if (b->text() == QStringLiteral("도움말"))
            b->setCursor(Qt::WhatsThisCursor);
    for (controls::Grid *grid : form->findChildren<controls::Grid *>()) {
        controls::GridOptions o = grid->options();
        o.selectionColor = QApplication::palette().color(QPalette::Highlight);
        o.selectionTextColor = QApplication::palette().color(QPalette::HighlightedText);
        grid->setOptions(o);
        for (int c = 0; c < int(grid->columns().size()); ++c) {
            controls::GridColumn &col = grid->column(c);
            col.color = col.readOnly ? QColor(192, 220, 192) : QColor(Qt::white);
        }
        grid->viewport()->update();
    }
}

void SetInputColor(QWidget *field, bool entering) {
    auto *line = qobject_cast<QLineEdit *>(field);
    auto *combo = qobject_cast<QComboBox *>(field);
    auto *date = qobject_cast<controls::DateEdit *>(field);
    if (!line && !combo)
        return;
    const bool readOnly = line && line->isReadOnly() && !date;
    if (entering) {
        if (!readOnly)
            paint(field, QColor(255, 255, 0));
        return;
    }
    if (date)
        paint(field, QApplication::palette().color(QPalette::Base));
    else
        paint(field, readOnly ? QApplication::palette().color(QPalette::Button)
                              : QApplication::palette().color(QPalette::Base));
}

void FocusFirstSibling(QWidget *form, QWidget *field, bool forward) {
    QWidget *parent = field->parentWidget();
    if (!parent)
        return;
    // The parent's children in tab order: walk the focus chain of the form.
    QList<QWidget *> order;
    for (QWidget *w = form->nextInFocusChain(); w && w != form; w = w->nextInFocusChain())
        if (w->parentWidget() == parent && w->isEnabled() && w->isVisibleTo(form) &&
            (w->focusPolicy() & Qt::TabFocus))
            order << w;
    if (order.isEmpty())
        return;
    QWidget *target = forward ? order.first() : order.last();
    target->setFocus(Qt::TabFocusReason);
    throw SilentStop();
}

void ClearPanel(QWidget *form, QWidget *panel) {
    for (QWidget *w : form->findChildren<QWidget *>()) {
        if (!isWithin(w, panel, 5))
            continue;
        if (auto *number = qobject_cast<controls::NumberEdit *>(w))
            number->setValue(QStringLiteral("0"));
        else if (auto *line = qobject_cast<QLineEdit *>(w))
            line->clear();
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
        else if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
            memo->clear();
        else if (auto *text = qobject_cast<QTextEdit *>(w))
            text->clear();
        else if (auto *value = qobject_cast<controls::ValueLabel *>(w))
            value->clear();
        else if (auto *label = qobject_cast<QLabel *>(w); label && !label->pixmap().isNull())
            label->setPixmap(QPixmap());
    }
}

void SetPanelEditable(QWidget *form, QWidget *panel, bool editable) {
    for (QWidget *w : form->findChildren<QWidget *>()) {
        if (!panel->isAncestorOf(w))
            continue;
        if (isInputField(w) && !w->objectName().startsWith(QLatin1String("qt_"))) {
            w->setEnabled(editable);
            w->setFocusPolicy(editable ? Qt::StrongFocus : Qt::NoFocus);
            if (auto *line = qobject_cast<QLineEdit *>(w))
                line->setReadOnly(!editable);
            if (auto *memo = qobject_cast<QPlainTextEdit *>(w))
                memo->setReadOnly(!editable);
            paint(w,
                  editable ? QColor(Qt::white) : QApplication::palette().color(QPalette::Button));
        } else if (auto *speed = qobject_cast<QToolButton *>(w)) {
            speed->setEnabled(editable);
        }
    }
}

} // namespace kelo
