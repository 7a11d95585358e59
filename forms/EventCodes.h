#pragma once

#include <QDropEvent>
#include <QKeyEvent>
#include <QStringList>

// The classic codes of mouse and key events, and the file-drop answer shared
// by the controls that take dropped files.
namespace forms {

// 1 left, 2 right, 4 middle, 0 other.
int mouseButtonCode(Qt::MouseButton button);
// 1 shift, 2 ctrl, 4 alt, or-ed.
int shiftCode(Qt::KeyboardModifiers modifiers);
// The classic key code (virtual-key numbering) of a key event.
int keyCode(const QKeyEvent* event);

// Answers a drag-enter or drag-move: accepted when file drops are on and the
// drag carries a URI list.
void answerFileDrag(QDropEvent* event, bool acceptsFileDrops);
// Accepts a drop that carries a URI list; false (drop ignored) otherwise.
bool acceptFileDrop(QDropEvent* event, bool acceptsFileDrops);

}  // namespace forms
