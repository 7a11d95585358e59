#pragma once

#include <QString>

#include <cstdint>

// The token cutter shared by every layer (Qt Core only).
//
// Finds the delimiter at or after the 1-based position start, writes the text
// from start up to it into token and returns the position just after the
// delimiter, or 1 when there is none (the token then runs to the end).
// On an error (start below 1) it shows the runtime-error box, leaves token
// unwritten and returns 0.
std::int32_t FncLng_GetToken(const QString& source, const QString& delimiter, std::int32_t start,
                             QString& token);
