#include "common/application.h"

#include "common/dialogs.h"
#include "common/silentstop.h"

#include <exception>

namespace kelo {

Application::Application(int &argc, char **argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("Kelo_S"));
    setApplicationDisplayName(ApplicationTitle());
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
