#pragma once

#include <QKeyEvent>

// The classic codes of mouse and key events.
namespace forms {

// 1 left, 2 right, 4 middle, 0 other.
int mouseButtonCode(Qt::MouseButton button);
// 1 shift, 2 ctrl, 4 alt, or-ed.
int shiftCode(Qt::KeyboardModifiers modifiers);
// The classic key code (virtual-key numbering) of a key event. It stays
// although the path box's handler ignores the code: KeyDown promises the
// classic numbers, and Qt's (Enter 0x01000004) would be a trap for the next one.
int keyCode(const QKeyEvent* event);

}  // namespace forms
