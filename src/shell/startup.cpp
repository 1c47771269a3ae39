#include "shell/startup.h"

#include "database/schema.h"
#include "framework/inquiry.h"
#include "framework/messages.h"
#include "shell/datamodule.h"
#include "shell/mainwindow.h"
#include "shell/registry.h"
#include "shell/splash.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QFont>
#include <QLineEdit>
#include <QLocalSocket>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace kelo::shell {

namespace {

// The button a program searches with: bbtSearch on the inquiry and input screens, BitBtn1 on
// the report viewer programs.
QAbstractButton *VisibleSearchButton(QWidget *screen) {
    for (const char *name : {"bbtSearch", "BitBtn1"})
        for (auto *button : screen->findChildren<QAbstractButton *>(QLatin1String(name)))
            if (button->isVisible())
                return button;
    return nullptr;
}

} // namespace

int RunClient(Application &app, const ProgramRegistry &registry) {
    QElapsedTimer clock;
    clock.start();
    InstallFontSubstitutions();

    // 1. One copy at a time: a second start brings the first copy's main window forward.
    QLockFile guard(QDir::temp().filePath(InstanceGuardName() + QStringLiteral(".lock")));
    guard.setStaleLockTime(0);
    if (!guard.tryLock(0)) {
        QLocalSocket socket;
        socket.connectToServer(ClientWindowName());
        if (socket.waitForConnected(1000)) {
            socket.write("activate\n");
            socket.waitForBytesWritten(1000);
        }
        return 0;
    }

    // 3. The splash, painted at once.
    auto splash = std::make_unique<TfrmZZC010>();
    if (!splash->region().isEmpty()) {
        splash->show();
        splash->repaint();
        app.processEvents();
    }

    // 4. The data module with the connection.
    database::Install();
    TfrmZZD000 dataModule(app.arguments().mid(1));

    // 5. The main window, which shows only when the connection is open.
    TfrmS0Main mainWindow(dataModule, registry);
    splash.reset();
    if (!mainWindow.menuBuilt())
        return 1;
    mainWindow.showMaximized();
    // A picture run has no window manager to maximise the window: it takes the screen itself.
    if (!qEnvironmentVariableIsEmpty("KELO_SCREENSHOT"))
        if (QScreen *screen = QGuiApplication::primaryScreen())
            mainWindow.setGeometry(screen->availableGeometry());
    if (qEnvironmentVariableIsSet("KELO_QUIT_WHEN_SHOWN")) {
        // Start-up measurement: report when the window is up, then end.
        QTimer::singleShot(0, &app, [&] {
            std::printf("main window shown after %lld ms\n",
                        static_cast<long long>(clock.elapsed()));
            std::fflush(stdout);
            app.quit();
        });
    }
    const QString screenshot = qEnvironmentVariable("KELO_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        // Demo runs without a display: open the first menu, photograph the screen, end.
        QTimer::singleShot(800, &app, [&] {
            // KELO_OPEN_PROGRAM=ID opens that program and searches; otherwise the first menu opens.
            const QString program = qEnvironmentVariable("KELO_OPEN_PROGRAM");
            const QList<QAction *> menus = mainWindow.menuBar()->actions();
            if (!program.isEmpty()) {
                mainWindow.OpenProgram(program, program);
                QWidget *screen = mainWindow.activeScreen();
                // KELO_OPEN_PAGE=n shows a hub's n-th page; KELO_OPEN_FIELD=name=text fills
                // that field of the page before the search.
                auto *hub = qobject_cast<TfrmSZS000 *>(screen);
                bool pageOk = false;
                const int page = qEnvironmentVariableIntValue("KELO_OPEN_PAGE", &pageOk);
                if (hub && pageOk) {
                    hub->ShowSubScreen(page);
                    screen = hub->subScreen(page);
                }
                const QString field = qEnvironmentVariable("KELO_OPEN_FIELD");
                const qsizetype eq = field.indexOf(QLatin1Char('='));
                if (screen && eq > 0)
                    if (auto *edit = screen->findChild<QLineEdit *>(field.left(eq)))
                        edit->setText(field.mid(eq + 1));
                if (screen)
                    if (QAbstractButton *search = VisibleSearchButton(screen)) {
                        std::printf("searched with %s\n", qPrintable(search->objectName()));
                        std::fflush(stdout);
                        search->click();
                    }
            } else if (!menus.isEmpty() && menus.first()->menu()) {
                mainWindow.menuBar()->setActiveAction(menus.first());
            }
            QTimer::singleShot(700, &app, [&] {
                QScreen *screen = QGuiApplication::primaryScreen();
                const QPixmap shot = screen ? screen->grabWindow(0) : mainWindow.grab();
                const bool saved = (shot.isNull() ? mainWindow.grab() : shot).save(screenshot);
                std::printf("%s %s\n", saved ? "screenshot:" : "could not write",
                            qPrintable(screenshot));
                std::fflush(stdout);
                mainWindow.menuBar()->setActiveAction(nullptr);
                mainWindow.close(); // the close query, and the launcher's notice
                app.quit();
            });
        });
    }
    const int code = app.exec();
    guard.unlock();
    return code;
}

} // namespace kelo::shell
