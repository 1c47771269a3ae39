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

// The message as the general error handling shows it.
QString GeneralErrorText(const QString &message);

} // namespace kelo
