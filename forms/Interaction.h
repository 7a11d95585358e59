#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// Message box, mouse pointer, message-loop yield, clipboard, dropped files.
namespace forms {

// Installs the Qt message box (styles 0, 16, 48, 64 with an OK button; no
// icon, critical, warning, information) as the rt::MsgBox handler. A box
// without a title argument shows App::Title().
void installMessageBox();

inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
// Sets the application-wide pointer (11 busy, 0 default; the only shapes the
// window uses, any other counts as 0), no yield.
void setMousePointer(int shape);
int mousePointer();

// One yield to the event loop (the runtime's DoEvents).
void DoEvents();

namespace Clipboard {
void Clear();
void SetText(const QString& text);  // plain text
}  // namespace Clipboard

// The local paths of a drop, in order, taken from the raw text/uri-list bytes
// through the lossless name codec (QUrl::toLocalFile loses non-UTF-8 bytes).
// Empty when the drop carries no local file.
QStringList droppedFiles(const QMimeData* data);

}  // namespace forms
