#pragma once
// Re Pág, Av Pág and Inicio move the calendar when they reach the window; every box and
// list keeps them for itself, even where they have nowhere to move, so that a key meant
// for the text or the list never changes the month under it.
#include <QKeyEvent>

namespace quelora {

// The key, alone or with Shift, is one the calendar takes from the window.
inline bool isPageKey(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods = e.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    const int k = e.key();
    return mods == Qt::NoModifier && (k == Qt::Key_PageUp || k == Qt::Key_PageDown || k == Qt::Key_Home);
}

} // namespace quelora
