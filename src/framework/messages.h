#pragma once

#include <QEvent>
#include <QString>

class QWidget;

// The window messages between the main window, the hosted screens and the
// launcher keep their numbers; here they are events sent synchronously with
// QCoreApplication::sendEvent.
namespace kelo {

enum WindowMessage : int {
    WM_RESIZEPROGRAM = 1124, // main window -> every tab's screen: width, height
    WM_PROGRAMCLOSED = 1314, // hosted screen -> main window: remove the active tab
    WM_OPENPROGRAM = 1324,   // -> main window: caption, program ID
    WM_CARDREAD = 1424,      // main window -> active screen: CardNo holds a card number
    WM_CLIENTCLOSING = 1924, // main window -> launcher (over the local socket "Tfrm_0Main")
};

class ResizeProgramEvent : public QEvent {
public:
    ResizeProgramEvent(int width, int height)
        : QEvent(QEvent::Type(WM_RESIZEPROGRAM)), width(width), height(height) {}
    const int width, height;
};

class ProgramClosedEvent : public QEvent {
public:
    ProgramClosedEvent() : QEvent(QEvent::Type(WM_PROGRAMCLOSED)) {}
};

class OpenProgramEvent : public QEvent {
public:
    OpenProgramEvent(const QString &caption, const QString &programId)
        : QEvent(QEvent::Type(WM_OPENPROGRAM)), caption(caption), programId(programId) {}
    const QString caption, programId;
    bool opened = false;
};

class CardReadEvent : public QEvent {
public:
    CardReadEvent() : QEvent(QEvent::Type(WM_CARDREAD)) {}
};

// The local-socket names under which the running client and the launcher are
// found, and the single-instance guard's name. KELO_IPC_SUFFIX, when set, is
// appended to each (tests run several copies side by side).
QString IpcName(const char *base);
inline QString ClientWindowName() {
    return IpcName("TfrmS0Main");
}
inline QString LauncherWindowName() {
    return IpcName("Tfrm_0Main");
}
inline QString InstanceGuardName() {
    return IpcName("Kelo_S");
}

// The main window of the application, where screens send WM_PROGRAMCLOSED.
void SetApplicationMainWindow(QWidget *window);
QWidget *ApplicationMainWindow();

} // namespace kelo
