#pragma once

#include <QByteArray>

#include <functional>

// The one rename that never replaces, relative to folder descriptors (or
// AT_FDCWD with paths), under `Name`, the moves and the engine's passes.
namespace rt {

// Told the temporary name of a rename in two steps before the first step
// is taken, so that a journal can find the entry after a crash between
// them.
using TemporaryNameListener = std::function<void(const QByteArray& temporary)>;

// Gives the entry oldName of oldFolder (never a link's target) the name
// newName of newFolder. Never replaces: where the volume refuses the flag
// (EINVAL) a file is linked and unlinked, a folder renamed after an
// existence check. A change of letter case only that the volume answers
// with EEXIST because both spellings are one name there is carried out
// through a temporary name (renameThroughTemporaryAt). Returns 0 or an
// errno value.
int renameNoReplaceAt(int oldFolder, const QByteArray& oldName, int newFolder,
                      const QByteArray& newName, const TemporaryNameListener& listener = {});

// Renames inside one folder, in two steps through a free temporary name,
// each step never replacing: on a volume that takes the two spellings of a
// case-only change as one name, a direct rename is refused (EEXIST) or, by
// the kernel's rule for a rename onto the same file, answered with success
// while nothing changes. Each step counts only when the disk shows it: the
// old name gone and the new one there (EIO otherwise). When the second
// step fails the entry is given its old name back. The temporary name says
// what it is and whose it was: "<old name>.nemirou-tmp<process id>".
int renameThroughTemporaryAt(int folder, const QByteArray& oldName, const QByteArray& newName,
                             const TemporaryNameListener& listener = {});

// True when the open folder lists an entry spelled exactly so (or when
// it cannot be read: nothing is then taken for another spelling).
bool listsExactly(int folder, const QByteArray& name);

// The temporary name renameThroughTemporaryAt would try first; attempt
// counts the names already found taken.
QByteArray temporaryNameFor(const QByteArray& oldName, int attempt);

}  // namespace rt
