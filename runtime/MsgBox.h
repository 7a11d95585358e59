#pragma once

#include <QString>

#include <functional>
#include <optional>

// The runtime's message box, behind one seam. The application installs the
// Qt message box; tests install a recorder; with nothing installed a box is
// written to standard error. So nothing below the window links Qt Widgets.
namespace rt {

inline constexpr int kVbOkOnly = 0;
inline constexpr int kVbCritical = 16;
inline constexpr int kVbExclamation = 48;
inline constexpr int kVbInformation = 64;
inline constexpr int kVbOk = 1;  // the button number of OK

// title: std::nullopt when the caller gave no title argument (the box then
// shows the application's title); an empty string is an empty title.
using MsgBoxHandler =
    std::function<int(int style, const QString& prompt, const std::optional<QString>& title)>;

// Installs a handler; an empty function restores the standard-error fallback.
// Returns the handler that was installed before.
MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler);

int MsgBox(const QString& prompt, int style = kVbOkOnly,
           const std::optional<QString>& title = std::nullopt);

}  // namespace rt
