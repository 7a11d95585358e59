#pragma once

#include <QString>

#include <cstdint>

namespace forms {
class TextBox;
}

// The window half of the shared module: start-up, busy cursor, select-all.

// The folder the executable lies in; the window opens it when it loads.
extern QString Gstr_StartPath;

// The start procedure. Ends at once (false, no window, no message) when
// another instance runs; otherwise stores the start folder, installs the
// message box, shows the main window (deleted when it is closed) and returns
// true: the caller then runs the event loop.
bool Main();

// Sets the application-wide mouse pointer (11 hourglass, 0 default) and
// yields once to the event loop.
void Sub_SetMousePointer(std::int32_t shape);

// Caret at 0 and the whole text selected.
void Sub_SelectAllText(forms::TextBox* box);
