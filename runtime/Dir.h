#pragma once

#include <QString>

// The runtime's directory listing, over opendir/readdir.
//
// Only the last path component is a pattern (`*` any run, `?` one code unit,
// case-sensitive); the folder part is taken literally even when it holds
// those characters. An empty last component means `*`; a path without a
// separator lists the current folder.
//
// Attribute set 0 admits normal files: regular files and links to regular
// files, neither hidden (name begins with ".") nor system (anything that is
// neither a regular file nor a folder). Attribute set 16 admits those and also
// folders that are not hidden; links to folders and dangling links are never
// admitted. d_type decides first; stat is called only where it does not tell.
//
// There is one listing state per process: Dir(pattern, ...) abandons any
// listing in progress.
namespace rt {

inline constexpr int kDirNormal = 0;
inline constexpr int kDirDirectory = 16;

// Starts a new listing; returns the first matching bare name, or "" when
// none matches (also for a missing folder). Throws VbError for a folder that
// exists but cannot be read.
QString Dir(const QString& pattern, int attributes = kDirNormal);

// The next matching name of the current listing, or "" at its end (and from
// then on). Throws VbError 5 when no listing was ever started.
QString Dir();

}  // namespace rt
