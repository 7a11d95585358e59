#pragma once

#include <QString>

// The runtime's file rename statement `Name`.
namespace rt {

// Gives the entry at oldPath (file, folder or link itself, never a link's
// target) the path newPath. Never replaces an existing entry: renameat2 with
// RENAME_NOREPLACE, falling back to link+unlink for files and to an existence
// check + rename for folders where the file system refuses the flag.
// Throws VbError: 53 when oldPath does not exist, 58 when newPath exists
// (also when it is oldPath itself), 76 when newPath's folder does not exist,
// 74 across volumes, 52 for an unencodable path, others from errno.
// A case-only change that resolves to the same entry is carried out.
void Name(const QString& oldPath, const QString& newPath);

}  // namespace rt
