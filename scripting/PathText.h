#pragma once

#include <QString>

// Textual path helpers of the file-system object: no disk access except the
// current folder that makes a relative path absolute.
namespace scripting::detail {

bool endsWithSeparator(const QString& path);
// The path without trailing separators; a path made only of separators is "/".
QString withoutTrailingSeparators(const QString& path);
// The last component, trailing separators ignored; "" for the root.
QString lastName(const QString& path);
// folder + separator + name, without doubling the root's separator.
QString joinPath(const QString& folder, const QString& name);
// GetParentFolderName: the path without its last component and the separator
// before it; "" when there is no parent component.
QString parentFolderName(const QString& path);
// GetAbsolutePathName: relative paths are taken from the current folder; ".",
// ".." (never above the root) and repeated separators are resolved textually;
// no trailing separator except for "/".
QString absolutePath(const QString& path);
// The folder that holds an absolute path's last entry ("/" for "/x").
QString containingFolder(const QString& absolute);
// The absolute destination of a copy or move: a destination ending in the
// separator means "into that folder", under the source's own name.
QString destinationPath(const QString& destination, const QString& absoluteSource);

}  // namespace scripting::detail
