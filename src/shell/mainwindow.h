#pragma once

#include "shell/datamodule.h"

#include <QFrame>
#include <QIcon>
#include <QMainWindow>
#include <QTabWidget>

class QLocalServer;
class QMenu;

namespace kelo::shell {

class CardReader;
class ProgramRegistry;

// The main window: the permission menu of the signed-in employee, one tab per
// open program up to PROGRAM_COUNT, the Window menu with its hidden F12 close
// entry, the window messages with the hosted screens and the launcher, and the
// card reader.
class TfrmZZMain : public QMainWindow {
    Q_OBJECT
public:
    // projectId: empty for the executable's name in upper case (KELO_S).
    explicit TfrmZZMain(TfrmZZD000 &dataModule, const QString &projectId = QString());
    ~TfrmZZMain() override;

    // False when the connection was not open: the window must not show.
    bool menuBuilt() const { return m_menuBuilt; }
    QString projectId() const { return m_projectId; }
    int programCount() const { return m_programCount; }
    int comPort() const { return m_port; }

    bool OpenProgram(const QString &caption, const QString &programId);
    virtual QWidget *CreateProgramScreen(const QString &programId) = 0;
    QWidget *HostScreen(QWidget *screen);
    void CloseActiveProgram();
    void RemoveActiveTab();
    void comRF15693RxChar(const QString &characters);

    QWidget *screenOfTab(int index) const;
    TfrmZZD000 &dataModule() const { return m_dm; }
    QWidget *activeScreen() const;

    QFrame *panTabs;
    QTabWidget *pgcTabs;
    QMenu *mmuMenuWindow;
    QAction *mmuMenuWindowClose;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void LoadMainSettings();
    void BuildMenu();
    void openCardReader();
    void pgcTabsChange();
    void notifyLauncher();
    void activateFromSecondStart();

    TfrmZZD000 &m_dm;
    QString m_projectId;
    QString m_storedCaption = QStringLiteral("경영정보");
    int m_programCount = 10;
    int m_port = 0;
    QString m_portDevice;
    bool m_menuBuilt = false;
    QIcon m_images[2];
    CardReader *m_reader = nullptr;
    QLocalServer *m_instanceServer = nullptr;
};

// The program's own main window: screens come from the program registry.
class TfrmS0Main : public TfrmZZMain {
    Q_OBJECT
public:
    TfrmS0Main(TfrmZZD000 &dataModule, const ProgramRegistry &registry,
               const QString &projectId = QString());
    QWidget *CreateProgramScreen(const QString &programId) override;

private:
    const ProgramRegistry &m_registry;
};

} // namespace kelo::shell
