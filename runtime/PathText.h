#pragma once

#include <QString>

// Path text shared by the file-system object and the forms layer.
namespace rt {

// The process's current folder, decoded losslessly. Throws VbError when it
// cannot be read.
QString currentFolder();

// The absolute form of a path: a relative path is taken from the current
// folder; ".", ".." (never above the root) and repeated separators are
// resolved textually; no trailing separator except for "/".
QString absolutePath(const QString& path);

}  // namespace rt
