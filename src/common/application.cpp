#include "common/application.h"

#include "common/dialogs.h"
#include "common/silentstop.h"

#include <cstdio>
#include <exception>

namespace kelo {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {
    // No display name: the window system would append it to every window's title, and the
    // titles are the program's own ("경영정보(site)"); message boxes carry the title
    // themselves.
    setApplicationName(QStringLiteral("Kelo_S"));
}

bool DisplayAvailable(const char *program) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool needsServer = platform.isEmpty() || platform.startsWith("xcb") ||
                             platform.startsWith("wayland") || platform.startsWith("eglfs");
    if (!needsServer || platform.startsWith("eglfs") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return true;
    std::fprintf(stderr,
                 "%s: 화면을 표시할 디스플레이가 없습니다 (DISPLAY가 설정되지 않음).\n"
                 "%s needs a graphical display: start it in a desktop session, or under "
                 "xvfb-run.\n",
                 program, program);
    return false;
}

QString GeneralErrorText(const QString &message) {
    if (!message.isEmpty() && message.back() > u'.')
        return message + u'.';
    return message;
}

bool Application::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const SilentStop &) {
        return true;
    } catch (const std::exception &e) {
        ShowError(GeneralErrorText(QString::fromUtf8(e.what())));
        return true;
    }
}

} // namespace kelo
