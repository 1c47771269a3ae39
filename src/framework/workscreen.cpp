#include "framework/workscreen.h"

#include "common/appdir.h"
#include "common/dialogs.h"
#include "common/globals.h"
#include "common/keystroke.h"
#include "framework/messages.h"
#include "framework/screenhelpers.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSettings>
#include <QShortcut>
#include <QTextEdit>
#include <QVBoxLayout>

namespace kelo {

namespace {

// The program's own settings file: the executable's name with ".ini", in AppDir.
QString ownSettingsFile() {
    const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return AppFile((base.isEmpty() ? QStringLiteral("Kelo_S") : base) + QStringLiteral(".ini"));
}

} // namespace

TfrmZZI000::TfrmZZI000(db::Connection &connection, const QString &name, QWidget *parent)
    : QWidget(parent), m_connection(connection) {
    setObjectName(name);
    BuildFormFrame(this, m_rows, panMain, bvlButtons, panButtons, m_buttonRow);
    resize(1008, 670);
    bbtClose = FormButton(panButtons, "bbtClose", QStringLiteral("종료(F12)"));
    m_buttonRow->addWidget(bbtClose);

    stbMessage = new PanelStatusBar(4, this);
    stbMessage->setObjectName(QStringLiteral("stbMessage"));
    stbMessage->setFixedHeight(23);
    stbMessage->setPanelAlignment(0, Qt::AlignHCenter);
    stbMessage->setPanelAlignment(1, Qt::AlignLeft);
    stbMessage->setPanelAlignment(2, Qt::AlignHCenter);
    stbMessage->setPanelAlignment(3, Qt::AlignHCenter);
    stbMessage->setPanelWidth(0, 120);
    stbMessage->setPanelWidth(1, 650);
    stbMessage->setPanelWidth(2, 120);
    stbMessage->setPanelWidth(3, 500);
    m_rows->addWidget(stbMessage);

    m_query = std::make_unique<db::Query>(connection);
    qryQuery = m_query.get();
    registerQuery(qryQuery);

    popHotkey = new QMenu(this);
    popHotkey->setObjectName(QStringLiteral("popHotkey"));

    connect(bbtClose, &QPushButton::clicked, this, [this] { bbtCloseClick(); });
    // F12 in a screen of its own closes it; in a tab it travels on to the main window.
    m_closeKey = addHotkey(QKeySequence(Qt::Key_F12), [this] { bbtCloseClick(); });
    FormCreate();
}

TfrmZZI000::~TfrmZZI000() = default;

QString TfrmZZI000::programId() const {
    return objectName().mid(3);
}

void TfrmZZI000::FormCreate() {
    GlobalValues &g = Globals();
    stbMessage->setPanelText(0, programId());
    stbMessage->setPanelText(2, QStringLiteral("사용자 : ") + g.empName);
    QSettings ini(ownSettingsFile(), QSettings::IniFormat);
    const int type = ini.value(QStringLiteral("Role/Type"), 0).toInt();
    const QString code = ini.value(QStringLiteral("Role/Code")).toString();
    const QString name = ini.value(QStringLiteral("Role/Name")).toString();
    QString prefix;
    switch (type) {
    case 1:
        g.placeCode = code;
        g.placeName = name;
        prefix = QStringLiteral("사업장 - ");
        break;
    case 2:
        g.teamCode = code;
        g.teamName = name;
        prefix = QStringLiteral("팀 - ");
        break;
    case 3:
        g.outletCode = code;
        g.outletName = name;
        prefix = QStringLiteral("영업장 - ");
        break;
    default:
        break;
    }
    if (!prefix.isEmpty() && !name.isEmpty())
        stbMessage->setPanelText(3, prefix + name);
    FormResize();
}

void TfrmZZI000::FormResize() {
    const int p0 = stbMessage->textWidth(stbMessage->panelText(0)) + 20;
    const int p2 = stbMessage->textWidth(stbMessage->panelText(2)) + 20;
    const QString role = stbMessage->panelText(3);
    const int p3 = role.isEmpty() ? 0 : stbMessage->textWidth(role) + 20;
    stbMessage->setPanelWidth(0, p0);
    stbMessage->setPanelWidth(2, p2);
    stbMessage->setPanelWidth(3, p3);
    stbMessage->setPanelWidth(1, width() - p0 - p2 - p3);
}

void TfrmZZI000::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TfrmZZI000::ShowStatusMessage(const QString &text) {
    // A page of a hub has its bar hidden: the hub's bar shows what the page says.
    if (stbMessage->isHidden())
        for (QWidget *w = parentWidget(); w; w = w->parentWidget())
            if (auto *host = qobject_cast<TfrmZZI000 *>(w)) {
                host->ShowStatusMessage(text);
                break;
            }
    if (stbMessage->panelText(1) == text)
        return;
    stbMessage->setPanelText(1, text);
    stbMessage->repaint();
}

bool TfrmZZI000::event(QEvent *event) {
    if (event->type() == QEvent::Type(WM_RESIZEPROGRAM)) {
        auto *e = static_cast<ResizeProgramEvent *>(event);
        resize(e->width, e->height);
        return true;
    }
    return QWidget::event(event);
}

void TfrmZZI000::bbtCloseClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtClose);
    if (!isHosted()) {
        close();
        return;
    }
    // In a tab: F12 reaches the main window's close entry, which asks the active screen to close.
    // The screen's own F12 key stays out of the way meanwhile.
    QPointer<QShortcut> ownKey = m_closeKey;
    const bool enabled = ownKey->isEnabled();
    ownKey->setEnabled(false);
    SynthesizeKeyStroke(Qt::Key_F12, Qt::NoModifier, this);
    if (ownKey)
        ownKey->setEnabled(enabled);
}

void TfrmZZI000::registerQuery(db::Query *query) {
    m_queries.push_back(query);
}

bool TfrmZZI000::FormCloseQuery() {
    if (HasUnsavedChanges() &&
        !AskYesNo(
            QStringLiteral("저장되지 않은 변경 내용이 있습니다. 저장하지 않고 닫으시겠습니까?")))
        return false;
    for (db::Query *q : m_queries)
        if (q->isActive())
            q->close();
    return HostedCloseRequest(this);
}

void TfrmZZI000::closeEvent(QCloseEvent *event) {
    AnswerClose(this, event, FormCloseQuery());
}

void TfrmZZI000::attachEditColouring(QWidget *field) {
    field->installEventFilter(this);
}

bool TfrmZZI000::eventFilter(QObject *watched, QEvent *event) {
    if (auto *w = qobject_cast<QWidget *>(watched)) {
        if (event->type() == QEvent::FocusIn)
            edtEnter(w);
        else if (event->type() == QEvent::FocusOut)
            edtExit(w);
    }
    return QWidget::eventFilter(watched, event);
}

namespace {
void paintField(QWidget *field, const QColor &colour) {
    QPalette p = field->palette();
    p.setColor(QPalette::Base, colour);
    field->setPalette(p);
}

bool isReadOnlyEdit(QWidget *field, bool *isEdit) {
    *isEdit = true;
    if (auto *e = qobject_cast<QLineEdit *>(field))
        return e->isReadOnly();
    if (auto *e = qobject_cast<QPlainTextEdit *>(field))
        return e->isReadOnly();
    if (auto *e = qobject_cast<QTextEdit *>(field))
        return e->isReadOnly();
    *isEdit = false;
    return false;
}
} // namespace

void TfrmZZI000::edtEnter(QWidget *field) {
    bool isEdit = false;
    const bool readOnly = isReadOnlyEdit(field, &isEdit);
    if (isEdit)
        paintField(field, readOnly ? QColor(128, 128, 128)
                                   : QApplication::palette().color(QPalette::ToolTipBase));
    else if (qobject_cast<QComboBox *>(field))
        paintField(field, QApplication::palette().color(QPalette::ToolTipBase));
}

void TfrmZZI000::edtExit(QWidget *field) {
    bool isEdit = false;
    const bool readOnly = isReadOnlyEdit(field, &isEdit);
    if (isEdit)
        paintField(field, readOnly ? QColor(128, 128, 128) : QColor(Qt::white));
    else if (qobject_cast<QComboBox *>(field))
        paintField(field, Qt::white);
}

// ---- TfrmZZI010 ---------------------------------------------------------------

TfrmZZI010::TfrmZZI010(db::Connection &connection, const QString &name, QWidget *parent)
    : TfrmZZI000(connection, name, parent) {
    const SearchPanel search = BuildSearchPanel(this, m_rows);
    panSearch = search.panel;
    m_searchRow = search.row;
    bbtSearch = search.search;

    bbtSave = FormButton(panButtons, "bbtSave", QStringLiteral("저장(F2)"));
    bbtCancel = FormButton(panButtons, "bbtCancel", QStringLiteral("취소(F8)"));
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtClose), bbtSave);
    m_buttonRow->insertWidget(m_buttonRow->indexOf(bbtClose), bbtCancel);

    connect(bbtSearch, &QPushButton::clicked, this, [this] { bbtSearchClick(); });
    connect(bbtSave, &QPushButton::clicked, this, [this] { bbtSaveClick(); });
    connect(bbtCancel, &QPushButton::clicked, this, [this] { bbtCancelClick(); });
    addHotkey(QKeySequence(Qt::Key_F3), [this] { bbtSearchClick(); });
    addHotkey(QKeySequence(Qt::Key_F2), [this] { bbtSaveClick(); });
    addHotkey(QKeySequence(Qt::Key_F8), [this] { bbtCancelClick(); });
    for (const auto &[caption, key] :
         {std::pair{"조회", Qt::Key_F3}, {"저장", Qt::Key_F2}, {"취소", Qt::Key_F8}}) {
        QAction *item = popHotkey->addAction(QString::fromUtf8(caption));
        item->setShortcut(QKeySequence(key));
        item->setVisible(false);
    }
    SetSearchMode(true);
}

bool IsWorkSide(const QWidget *widget, const QWidget *panMain, const QWidget *panButtons) {
    const QWidget *parent = widget->parentWidget();
    if (parent == panButtons)
        return true;
    const QWidget *ancestor = parent;
    for (int level = 1; level <= 6 && ancestor; ++level, ancestor = ancestor->parentWidget())
        if (ancestor == panMain)
            return true;
    return false;
}

void TfrmZZI010::SetSearchMode(bool searching) {
    m_searching = searching;
    const QList<QWidget *> all = findChildren<QWidget *>();
    for (QWidget *w : all) {
        const QString name = w->objectName();
        // Components of the screen only: labels and the inner parts of composite widgets are left
        // alone.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || qobject_cast<QLabel *>(w) ||
            w->isWindow())
            continue;
        if (w == bbtClose || w == panMain || w == panButtons || w == stbMessage ||
            w->parentWidget() == stbMessage || w == bvlButtons)
            continue;
        w->setEnabled(IsWorkSide(w, panMain, panButtons) ? !searching : searching);
    }
    bbtClose->setEnabled(true);
    panMain->setEnabled(true);
    panButtons->setEnabled(true);
    if (searching && isVisible()) {
        // The focus lands on the first condition field.
        for (QWidget *w = panSearch->nextInFocusChain(); w && w != panSearch;
             w = w->nextInFocusChain()) {
            if (!panSearch->isAncestorOf(w))
                break;
            if (w->isEnabled() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus)) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
}

void TfrmZZI010::EnterEditMode() {
    SetSearchMode(false);
    panMain->setFocus();
}

void TfrmZZI010::bbtSearchClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtSearch);
    EnterEditMode();
}

void TfrmZZI010::bbtSaveClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtSave);
}

void TfrmZZI010::bbtCancelClick() {
    ShowStatusMessage(QString());
    RequireActive(bbtCancel);
    SetSearchMode(true);
}

} // namespace kelo
