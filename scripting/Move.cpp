// MoveFile and MoveFolder: a rename on one volume, copy and delete across.
#include "scripting/Copying.h"
#include "scripting/FileSystemObject.h"
#include "scripting/PathText.h"
#include "scripting/Posix.h"
#include "scripting/Removal.h"

#include "runtime/FileRename.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scripting {

using namespace detail;

namespace {

// Renames without replacing anything; false when the two paths lie on
// different volumes. Errors carry the caller's source.
bool renameOnVolume(const QString& from, const QString& to, const QString& where)
{
    try {
        rt::Name(from, to);
        return true;
    } catch (const rt::VbError& error) {
        if (error.number() == rt::kRenameAcrossDisks)
            return false;
        throw rt::VbError(error.number(), error.description(), where);
    }
}

// One side of a move across volumes: a folder descriptor and an entry name.
struct Place {
    Fd folder;
    QByteArray name;
};

Place placeOf(const QString& absolute, const QString& where)
{
    return Place{openFolderBase(rt::encodeName(containingFolder(absolute)), where),
                 rt::encodeName(lastName(absolute))};
}

// Where the moved entry goes: free, in an existing folder. And the source's
// folder must let us remove the entry once copied, so check that first
// rather than copy everything for nothing.
void checkPlaces(const QString& from, const Place& target, const QString& where)
{
    struct stat existing {};
    if (lstatAt(target.folder.get(), target.name, existing))
        rt::raiseError(rt::kFileAlreadyExists, where);
    if (::access(rt::encodeName(containingFolder(from)).constData(), W_OK | X_OK) != 0)
        rt::raiseErrno(errno, where);
}

// The copy is complete: remove the source entry, or else the copy, so that
// the move either happens or changes nothing.
void removeSourceFile(const Place& source, const Place& target, const QString& where)
{
    if (rt::sys::unlinkat(source.folder.get(), source.name.constData(), 0) != 0) {
        const int error = errno;
        rt::sys::unlinkat(target.folder.get(), target.name.constData(), 0);
        rt::raiseErrno(error, where);
    }
}

// The copied file or link is on the disk before the source goes; else the
// copy goes.
void syncCopy(const Place& target, const QString& where)
{
    // The base is an O_PATH descriptor, which syncfs does not take.
    const Fd folder(rt::sys::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0 || rt::sys::syncfs(folder.get()) != 0) {
        const int error = errno;
        rt::sys::unlinkat(target.folder.get(), target.name.constData(), 0);
        rt::raiseErrno(error, where);
    }
}

// The source folder could be emptied only in part: whatever it still holds
// goes from the copy again, so that every entry is in one place only, either
// still at the source or moved.
void dropCopiesOfRemaining(int sourceFolder, int targetFolder, const QString& where)
{
    for (const RawEntry& entry : readEntries(targetFolder, where)) {
        struct stat status {};
        if (!lstatAt(sourceFolder, entry.name, status))
            continue;  // moved: the copy is the only one
        if (entry.kind == Kind::Folder && S_ISDIR(status.st_mode)) {
            const Fd from = openFolderAt(sourceFolder, entry.name, where);
            const Fd to = openFolderAt(targetFolder, entry.name, where);
            dropCopiesOfRemaining(from.get(), to.get(), where);
            // Stays when it holds entries already moved.
            rt::sys::unlinkat(targetFolder, entry.name.constData(), AT_REMOVEDIR);
        } else {
            rt::sys::unlinkat(targetFolder, entry.name.constData(), 0);
        }
    }
}

void removeSourceFolder(const Place& source, const Place& target, const QString& where)
{
    try {
        deleteFolderAt(source.folder.get(), source.name, true, where);
    } catch (...) {
        try {
            struct stat status {};
            if (lstatAt(source.folder.get(), source.name, status)) {
                const Fd from = openFolderAt(source.folder.get(), source.name, where);
                const Fd to = openFolderAt(target.folder.get(), target.name, where);
                dropCopiesOfRemaining(from.get(), to.get(), where);
                rt::sys::unlinkat(target.folder.get(), target.name.constData(), AT_REMOVEDIR);
            }
        } catch (...) {  // the first error is the one to report
        }
        throw;
    }
}

void copyFileAcross(const Place& source, const Place& target, const QString& where)
{
    const Fd input(rt::sys::openat(source.folder.get(), source.name.constData(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (input.get() < 0)
        raiseFileErrno(errno, where);
    struct stat status {};
    if (rt::sys::fstat(input.get(), &status) != 0)
        rt::raiseErrno(errno, where);
    if (!S_ISREG(status.st_mode))
        rt::raiseError(rt::kFileNotFound, where);
    copyFileAt(input.get(), status, target.folder.get(), target.name, false, where);
}

void copyFolderAcross(const Place& source, const Place& target, const QString& where)
{
    struct stat status {};
    if (!lstatAt(source.folder.get(), source.name, status))
        raiseFolderErrno(errno, where);
    // A mounted volume is no folder to move: emptying it after the copy would
    // wipe the volume. The copy refuses mount points further down itself.
    Volume volume;
    if (!volumeAt(source.folder.get(), source.name, volume))
        raiseFolderErrno(errno, where);
    requireVolume(volume, volumeOf(source.folder.get(), where), where);
    if (rt::sys::mkdirat(target.folder.get(), target.name.constData(), S_IRWXU) != 0)
        rt::raiseErrno(errno, where);
    try {
        const Fd input = openFolderAt(source.folder.get(), source.name, where);
        const Fd output = openFolderAt(target.folder.get(), target.name, where);
        copyFolderContent(input.get(), output.get(), false, where);
        copyMetadata(output.get(), status, where);
        if (rt::sys::syncfs(output.get()) != 0)
            rt::raiseErrno(errno, where);
    } catch (...) {
        try {
            deleteFolderAt(target.folder.get(), target.name, true, where);
        } catch (...) {  // the first error is the one to report
        }
        throw;
    }
}

bool isLink(const QByteArray& path)
{
    struct stat status {};
    return lstatPath(path, status) && S_ISLNK(status.st_mode);
}

}  // namespace

void FileSystemObject::MoveFile(const QString& source, const QString& destination) const
{
    const QString where = QStringLiteral("FileSystemObject.MoveFile");
    if (endsWithSeparator(source) || !FileExists(source))
        rt::raiseError(rt::kFileNotFound, where);
    const QString from = absolutePath(source);
    const QString to = destinationPath(destination, from);
    if (renameOnVolume(from, to, where))
        return;

    const Place sourcePlace = placeOf(from, where);
    const Place targetPlace = placeOf(to, where);
    checkPlaces(from, targetPlace, where);
    if (isLink(rt::encodeName(from)))
        copyLinkAt(sourcePlace.folder.get(), sourcePlace.name, targetPlace.folder.get(),
                   targetPlace.name, false, where);
    else
        copyFileAcross(sourcePlace, targetPlace, where);
    syncCopy(targetPlace, where);
    removeSourceFile(sourcePlace, targetPlace, where);
}

void FileSystemObject::MoveFolder(const QString& source, const QString& destination) const
{
    const QString where = QStringLiteral("FileSystemObject.MoveFolder");
    if (!FolderExists(source))
        rt::raiseError(rt::kPathNotFound, where);
    const QString from = absolutePath(source);
    const QString to = destinationPath(destination, from);
    const QByteArray fromBytes = rt::encodeName(from);
    const bool link = isLink(fromBytes);

    // A folder cannot go into its own subtree; a link to a folder is moved as
    // itself, so where it points does not matter.
    if (!link) {
        const QByteArray canonicalFrom = canonicalPath(fromBytes);
        const QByteArray toFolder = canonicalPath(rt::encodeName(containingFolder(to)));
        if (!canonicalFrom.isEmpty() && !toFolder.isEmpty() && isWithin(toFolder, canonicalFrom))
            rt::raiseError(rt::kInvalidCall, where);
    }
    if (renameOnVolume(from, to, where))
        return;

    const Place sourcePlace = placeOf(from, where);
    const Place targetPlace = placeOf(to, where);
    checkPlaces(from, targetPlace, where);
    if (link) {
        copyLinkAt(sourcePlace.folder.get(), sourcePlace.name, targetPlace.folder.get(),
                   targetPlace.name, false, where);
        syncCopy(targetPlace, where);
        removeSourceFile(sourcePlace, targetPlace, where);
        return;
    }
    copyFolderAcross(sourcePlace, targetPlace, where);
    // Only now that the whole copy is on the disk does the source go; a
    // failure here leaves every entry in one place, and is reported.
    removeSourceFolder(sourcePlace, targetPlace, where);
}

}  // namespace scripting
