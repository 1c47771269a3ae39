#include "common/keystroke.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace kelo {

void SynthesizeKeyStroke(int key, Qt::KeyboardModifiers modifiers, QWidget *fallback) {
    QPointer<QWidget> target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target)
        target = fallback;
    if (!target)
        return;
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &press);
    if (!target)
        return; // the press may have closed it
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
}

} // namespace kelo
