#pragma once

#include <Qt>

class QWidget;

namespace kelo {

// A synthesised key stroke: a press and a release delivered to the widget that
// has the focus (or to the active window, or to the fallback). They pass the
// application's event filters as a typed key does, but not the shortcut map.
void SynthesizeKeyStroke(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                         QWidget *fallback = nullptr);

} // namespace kelo
