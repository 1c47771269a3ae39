#include "shell/mainwindow.h"

#include "common/appdir.h"
#include "common/dialogs.h"
#include "common/globals.h"
#include "framework/messages.h"
#include "framework/permissions.h"
#include "shell/cardreader.h"
#include "shell/registry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QSettings>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kelo::shell {

namespace {

// The two images of the tabs and Window menu entries: 0 an open program, 1 the active one.
QIcon image(bool active) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor(70, 70, 70));
    p.setBrush(active ? QColor(46, 160, 67) : QColor(200, 200, 200));
    p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
    if (active) {
        p.setPen(QPen(Qt::white, 1.6));
        p.drawLine(QPointF(5, 8), QPointF(7.5, 10.5));
        p.drawLine(QPointF(7.5, 10.5), QPointF(11, 5.5));
    }
    return QIcon(pm);
}

// Menu and tab texts show '&' as it is.
QString literal(const QString &caption) {
    QString s = caption;
    return s.replace(u'&', QStringLiteral("&&"));
}

QString ownSettingsFile() {
    const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return AppFile((base.isEmpty() ? QStringLiteral("Kelo_S") : base) + QStringLiteral(".ini"));
}

} // namespace

TfrmZZMain::TfrmZZMain(TfrmZZD000 &dataModule, const QString &projectId)
    : QMainWindow(nullptr), m_dm(dataModule), m_projectId(projectId) {
    setObjectName(QStringLiteral("frmS0Main"));
    QFont f(QStringLiteral("굴림체"));
    f.setPixelSize(12);
    setFont(f);
    resize(1032, 758);
    setMinimumSize(1024, 746);
    m_images[0] = image(false);
    m_images[1] = image(true);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    panTabs = new QFrame(central);
    panTabs->setObjectName(QStringLiteral("panTabs"));
    panTabs->setFrameShape(QFrame::Panel);
    panTabs->setFrameShadow(QFrame::Sunken);
    panTabs->setAutoFillBackground(true);
    panTabs->setBackgroundRole(QPalette::Dark);
    pgcTabs = new QTabWidget(central);
    pgcTabs->setObjectName(QStringLiteral("pgcTabs"));
    pgcTabs->setDocumentMode(true);
    pgcTabs->hide();
    layout->addWidget(panTabs);
    layout->addWidget(pgcTabs);
    setCentralWidget(central);
    connect(pgcTabs, &QTabWidget::currentChanged, this, [this] { pgcTabsChange(); });

    menuBar()->setObjectName(QStringLiteral("mmuMenu"));
    mmuMenuWindow = menuBar()->addMenu(QStringLiteral("창(&W)"));
    mmuMenuWindow->setObjectName(QStringLiteral("mmuMenuWindow"));
    mmuMenuWindowClose = mmuMenuWindow->addAction(QStringLiteral("종료"));
    mmuMenuWindowClose->setObjectName(QStringLiteral("mmuMenuWindowClose"));
    mmuMenuWindowClose->setShortcut(QKeySequence(Qt::Key_F12));
    mmuMenuWindowClose->setVisible(false);
    connect(mmuMenuWindowClose, &QAction::triggered, this, [this] { CloseActiveProgram(); });
    // F12 reaches the close entry from anywhere in the window, typed or synthesised.
    qApp->installEventFilter(this);

    LoadMainSettings();
    BuildMenu();
    setWindowTitle(m_storedCaption + u'(' + Globals().siteName + u')');
    if (!m_menuBuilt)
        return;
    SetApplicationMainWindow(this);
    if (m_port > 0)
        openCardReader();
    // A second start finds this window and brings it to the front.
    m_instanceServer = new QLocalServer(this);
    QLocalServer::removeServer(ClientWindowName());
    if (m_instanceServer->listen(ClientWindowName()))
        connect(m_instanceServer, &QLocalServer::newConnection, this,
                [this] { activateFromSecondStart(); });
}

TfrmZZMain::~TfrmZZMain() {
    qApp->removeEventFilter(this);
    if (ApplicationMainWindow() == this)
        SetApplicationMainWindow(nullptr);
    if (m_reader)
        m_reader->close();
}

void TfrmZZMain::LoadMainSettings() {
    QSettings main(AppFile(QStringLiteral("Main.ini")), QSettings::IniFormat);
    m_programCount = main.value(QStringLiteral("MAIN/PROGRAM_COUNT"), 10).toInt();
    QSettings own(ownSettingsFile(), QSettings::IniFormat);
    m_port = own.value(QStringLiteral("RF15693/PORT"), 0).toInt();
    m_portDevice = own.value(QStringLiteral("RF15693/DEVICE")).toString();
}

void TfrmZZMain::BuildMenu() {
    if (!m_dm.dbsDB.isOpen())
        return; // the program ends without showing the window (RunClient)
    m_menuBuilt = true;
    db::Query &q = *m_dm.qryQuery;
    q.setSql(QStringLiteral(R"sql(
        SELECT DETAIL_NAME
        FROM ZX010MS
        WHERE HEAD = 'Z9999'
            AND DETAIL = :P0
    )sql"));
    q.setParam(QStringLiteral("P0"), m_dm.databaseUser().toUpper());
    q.open();
    Globals().siteName = q.eof() ? QString() : q.text(0);
    q.close();

    if (m_projectId.isEmpty())
        m_projectId =
            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toUpper();

    db::Query &menus = *m_dm.qryQuery2;
    menus.setSql(QStringLiteral(R"sql(
        SELECT MENU_ID, MENU_NAME
        FROM ZA040MS
        WHERE PROJECT_ID = :P0
            AND DISPLAY_SEQ > 0
        ORDER BY DISPLAY_SEQ
    )sql"));
    menus.setParam(QStringLiteral("P0"), m_projectId);
    const std::vector<PermittedProgram> programs =
        PermittedPrograms(m_dm.dbsDB, m_projectId, Globals().empNo);
    Globals().projectId = m_projectId;
    int permitted = 0;
    for (menus.open(); !menus.eof(); menus.next()) {
        auto *menu = new QMenu(literal(menus.text(1)), menuBar());
        menu->setObjectName(QStringLiteral("mnu") + menus.text(0));
        for (const PermittedProgram &program : programs) {
            if (program.menuId != menus.text(0))
                continue;
            const QString caption = program.name, id = program.programId;
            QAction *entry = menu->addAction(literal(caption));
            ++permitted;
            entry->setToolTip(id);
            entry->setData(id);
            entry->setObjectName(QStringLiteral("mnu") + id);
            connect(entry, &QAction::triggered, this,
                    [this, caption, id] { OpenProgram(caption, id); });
        }
        if (menu->actions().isEmpty())
            delete menu; // a menu without a permitted program does not appear
        else
            menuBar()->insertMenu(mmuMenuWindow->menuAction(), menu);
    }
    menus.close();
    if (permitted == 0) {
        // An empty menu bar would leave the user guessing: say why.
        ShowError(QStringLiteral("사번 %1에게 허용된 경영정보관리 프로그램이 없습니다.\r"
                                 "시스템 관리자에게 사용 권한을 요청하십시오.")
                      .arg(Globals().empNo));
    }
}

void TfrmZZMain::openCardReader() {
    m_reader = new CardReader(this);
    try {
        m_reader->open(CardReader::DevicePath(m_port, m_portDevice));
        connect(m_reader, &CardReader::received, this,
                [this](const QString &chars) { comRF15693RxChar(chars); });
    } catch (const std::exception &) {
        delete m_reader;
        m_reader = nullptr;
        ShowError(
            QStringLiteral(
                "RFID리더 포트(COM%1)를 열 수 없습니다.\r해당 포트를 다른 장치나 프로그램에서 "
                "사용중일 수 있습니다.")
                .arg(m_port));
    }
}

QWidget *TfrmZZMain::screenOfTab(int index) const {
    QWidget *page = pgcTabs->widget(index);
    return page ? page->property("hostedScreen").value<QWidget *>() : nullptr;
}

QWidget *TfrmZZMain::activeScreen() const {
    return pgcTabs->currentIndex() >= 0 ? screenOfTab(pgcTabs->currentIndex()) : nullptr;
}

bool TfrmZZMain::OpenProgram(const QString &caption, const QString &programId) {
    for (int i = 0; i < pgcTabs->count(); ++i) {
        if (pgcTabs->tabToolTip(i) == programId) {
            pgcTabs->setCurrentIndex(i);
            pgcTabsChange();
            return false;
        }
    }
    if (pgcTabs->count() == m_programCount) {
        ShowError(QStringLiteral("최대 %1개의 프로그램만 동시에 실행할 수 있습니다.")
                      .arg(m_programCount));
        return false;
    }
    QString title = caption;
    const qsizetype accel = title.indexOf(QLatin1String("(&"));
    if (accel >= 0)
        title.truncate(accel);
    pgcTabs->show();
    panTabs->hide();
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tab") + programId);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    const QSignalBlocker block(pgcTabs);
    const int index = pgcTabs->addTab(page, literal(title));
    pgcTabs->setTabToolTip(index, programId);
    pgcTabs->setCurrentIndex(index);
    QWidget *screen = CreateProgramScreen(programId);
    if (!screen) {
        pgcTabs->removeTab(index);
        delete page;
        const bool any = pgcTabs->count() > 0;
        pgcTabs->setVisible(any);
        panTabs->setVisible(!any);
        pgcTabsChange();
        return false;
    }
    QAction *entry = mmuMenuWindow->addAction(literal(title));
    entry->setToolTip(programId);
    entry->setData(programId);
    connect(entry, &QAction::triggered, this,
            [this, title, programId] { OpenProgram(title, programId); });
    pgcTabsChange();
    return true;
}

QWidget *TfrmZZMain::HostScreen(QWidget *screen) {
    QWidget *page = pgcTabs->widget(pgcTabs->count() - 1);
    screen->setParent(page, Qt::Widget); // borderless, a child of the newest tab
    page->layout()->addWidget(screen);
    page->setProperty("hostedScreen", QVariant::fromValue(screen));
    screen->show();
    // The focus moves into the new screen.
    for (QWidget *w = screen->nextInFocusChain(); w && w != screen; w = w->nextInFocusChain()) {
        if (!screen->isAncestorOf(w))
            break;
        if (w->isEnabled() && w->isVisibleTo(screen) && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            break;
        }
    }
    return screen;
}

void TfrmZZMain::CloseActiveProgram() {
    if (QWidget *screen = activeScreen())
        screen->close(); // the close request: the screen runs its close query
}

void TfrmZZMain::RemoveActiveTab() {
    const int index = pgcTabs->currentIndex();
    if (index < 0)
        return;
    const QList<QAction *> entries = mmuMenuWindow->actions();
    if (index + 1 < entries.size()) {
        mmuMenuWindow->removeAction(entries.at(index + 1));
        entries.at(index + 1)->deleteLater();
    }
    QWidget *page = pgcTabs->widget(index);
    pgcTabs->removeTab(index);
    // The screen is still inside its own close handling: it goes once that has returned.
    page->hide();
    page->setParent(nullptr);
    page->deleteLater();
    const bool any = pgcTabs->count() > 0;
    pgcTabs->setVisible(any);
    panTabs->setVisible(!any);
    pgcTabsChange();
}

void TfrmZZMain::pgcTabsChange() {
    const QList<QAction *> entries = mmuMenuWindow->actions();
    for (int i = 0; i < pgcTabs->count(); ++i)
        pgcTabs->setTabIcon(i, m_images[0]);
    for (int i = 1; i < entries.size(); ++i)
        entries.at(i)->setIcon(m_images[0]);
    const int active = pgcTabs->currentIndex();
    if (active >= 0) {
        pgcTabs->setTabIcon(active, m_images[1]);
        if (active + 1 < entries.size())
            entries.at(active + 1)->setIcon(m_images[1]);
    }
}

bool TfrmZZMain::event(QEvent *event) {
    switch (int(event->type())) {
    case WM_PROGRAMCLOSED:
        RemoveActiveTab();
        return true;
    case WM_OPENPROGRAM: {
        auto *e = static_cast<OpenProgramEvent *>(event);
        e->opened = OpenProgram(e->caption, e->programId);
        return true;
    }
    default:
        return QMainWindow::event(event);
    }
}

bool TfrmZZMain::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (key->key() == Qt::Key_F12 && key->modifiers() == Qt::NoModifier && widget &&
            widget->window() == this) {
            mmuMenuWindowClose->trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmZZMain::resizeEvent(QResizeEvent *event) {
    QMainWindow::resizeEvent(event);
    if (pgcTabs->currentIndex() < 0)
        return;
    for (int i = 0; i < pgcTabs->count(); ++i) {
        QWidget *screen = screenOfTab(i);
        if (!screen)
            continue;
        ResizeProgramEvent resize(pgcTabs->widget(i)->width(), pgcTabs->widget(i)->height());
        QCoreApplication::sendEvent(screen, &resize);
    }
}

void TfrmZZMain::closeEvent(QCloseEvent *event) {
    // Each tab's screen is asked in turn; the first that refuses (its user answered No) ends
    // the closing: it and the tabs not yet asked stay.
    const int tabs = pgcTabs->count();
    for (int i = 0; i < tabs; ++i) {
        const int before = pgcTabs->count();
        CloseActiveProgram();
        if (pgcTabs->count() >= before)
            break;
    }
    if (pgcTabs->count() == 0)
        event->accept();
    else
        event->ignore();
    notifyLauncher();
}

void TfrmZZMain::notifyLauncher() {
    QLocalSocket socket;
    socket.connectToServer(LauncherWindowName());
    if (!socket.waitForConnected(200))
        return;
    socket.write(QByteArray::number(WM_CLIENTCLOSING) + '\n');
    socket.waitForBytesWritten(200);
    socket.disconnectFromServer();
}

void TfrmZZMain::activateFromSecondStart() {
    while (QLocalSocket *socket = m_instanceServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (isMinimized())
            showMaximized();
        raise();
        activateWindow();
    }
}

void TfrmZZMain::comRF15693RxChar(const QString &characters) {
    GlobalValues &g = Globals();
    g.cardNo = characters;
    if (pgcTabs->count() == 0) {
        g.cardNo.clear();
        return;
    }
    if (g.cardNo.size() > 10)
        g.cardNo.truncate(10);
    if (g.cardNo.size() == 10 && pgcTabs->currentIndex() >= 0) {
        if (QWidget *screen = activeScreen()) {
            CardReadEvent read;
            QCoreApplication::sendEvent(screen, &read);
        }
    }
}

TfrmS0Main::TfrmS0Main(TfrmZZD000 &dataModule, const ProgramRegistry &registry,
                       const QString &projectId)
    : TfrmZZMain(dataModule, projectId), m_registry(registry) {}

QWidget *TfrmS0Main::CreateProgramScreen(const QString &programId) {
    QWidget *screen = m_registry.create(programId, dataModule().dbsDB);
    return screen ? HostScreen(screen) : nullptr;
}

} // namespace kelo::shell
