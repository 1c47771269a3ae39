#include "framework/messages.h"

#include <QPointer>
#include <QWidget>

namespace kelo {

namespace {
QPointer<QWidget> &mainWindow() {
    static QPointer<QWidget> window;
    return window;
}
} // namespace

QString IpcName(const char *base) {
    return QString::fromLatin1(base) + QString::fromLocal8Bit(qgetenv("KELO_IPC_SUFFIX"));
}

void SetApplicationMainWindow(QWidget *window) {
    mainWindow() = window;
}
QWidget *ApplicationMainWindow() {
    return mainWindow();
}

} // namespace kelo
