#pragma once

#include <QString>

#include <cstdint>

// The attribute value of a file or folder, mapped onto POSIX metadata:
// hidden = the name begins with "."; read-only = no owner write permission;
// archive = a regular file; directory = a folder; system = anything else;
// alias = a symbolic link (whose read-only bit is never set: a link has no
// permissions of its own).
namespace scripting::detail {

// missingError: the number raised when nothing is at the path (53 or 76).
std::int32_t attributesOf(const QString& path, int missingError, const QString& source);

// Applies the read-only bit of value and ignores every other bit: set removes
// all write permissions, clear gives the owner write permission back. A link
// is left alone, and so is its target.
void applyReadOnly(const QString& path, std::int32_t value, int missingError,
                   const QString& source);

}  // namespace scripting::detail
