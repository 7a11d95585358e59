#pragma once

#include <QByteArray>

// The one rename that never replaces, relative to folder descriptors (or
// AT_FDCWD with paths), under `Name`, the moves and the engine's passes.
namespace rt {

// Gives the entry oldName of oldFolder (never a link's target) the name
// newName of newFolder. Never replaces: where the volume refuses the flag
// (EINVAL) a file is linked and unlinked, a folder renamed after an
// existence check. EEXIST for a change of letter case only that resolves to
// the entry itself is carried out as a plain rename. Returns 0 or an errno
// value.
int renameNoReplaceAt(int oldFolder, const QByteArray& oldName, int newFolder,
                      const QByteArray& newName);

}  // namespace rt
