#pragma once

#include <QString>

#include <cstdint>

namespace rt {
class VbError;
}

// The runtime-error box and the general message box, shared by every layer.
// Both reach the screen through rt::MsgBox (runtime/MsgBox.h).

// Shows the error being handled (call it inside a catch block): its number,
// one space, its description, a CR and its source, style 16, title "VB Error".
void Sub_ShowVbError();
void Sub_ShowVbError(const rt::VbError& error);

// Shows prompt under title with the given style; returns the button number.
std::int16_t FncInt_ShowMessage(std::int32_t style, const QString& prompt, const QString& title);
