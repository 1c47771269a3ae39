#pragma once

#include <QApplication>

namespace kelo {

// The application with the program's general error handling: an exception
// that leaves the handling of an event is shown in the error box (with a full
// stop appended where the message ends in a character that sorts after it),
// except SilentStop, which is never shown; then the next event is handled.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Whether a window can be shown: a platform chosen in QT_QPA_PLATFORM that needs
// no display server (offscreen, minimal, vnc ...) or a DISPLAY / WAYLAND_DISPLAY to
// connect to. When not, says so on standard error (naming the program) and
// returns false; call it before the application object is made.
bool DisplayAvailable(const char *program);

// The message as the general error handling shows it.
QString GeneralErrorText(const QString &message);

} // namespace kelo
