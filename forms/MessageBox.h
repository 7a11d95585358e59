#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

// The Qt side of the runtime's message box, factored out of the handler that
// installMessageBox() installs so that it can be checked without a modal loop.
namespace forms {

// The icon of a box style: 16 critical, 48 warning, 64 information (the
// styles the program passes), anything else none.
QMessageBox::Icon messageBoxIcon(int style);

// The prompt as the box shows it: CR LF and a lone CR become line breaks.
QString messageBoxText(const QString& prompt);

// Sets up a box (OK button, icon, plain-text prompt, title) without showing it.
// No title argument gives the application's title; an empty one stays empty.
void configureMessageBox(QMessageBox& box, int style, const QString& prompt,
                         const std::optional<QString>& title);

}  // namespace forms
