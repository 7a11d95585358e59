#include "scripting/Removal.h"

#include "runtime/Sys.h"
#include "runtime/VbError.h"
#include "scripting/Posix.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace scripting::detail {

namespace {

void unlinkEntry(int folderFd, const QByteArray& name, int flags, const QString& source)
{
    if (rt::sys::unlinkat(folderFd, name.constData(), flags) != 0 && errno != ENOENT)
        rt::raiseErrno(errno, source);
}

void checkWritable(const struct stat& status, bool force, const QString& source)
{
    if (!force && (status.st_mode & S_IWUSR) == 0)
        rt::raiseError(rt::kPermissionDenied, source);
}

void removeFolderAt(int parentFd, const QByteArray& name, bool force, const Volume& walk,
                    bool nested, const QString& source);

void emptyFolder(int folderFd, bool force, const Volume& walk, const QString& source)
{
    for (const RawEntry& entry : readEntries(folderFd, source)) {
        switch (entry.kind) {
        case Kind::Folder: removeFolderAt(folderFd, entry.name, force, walk, true, source); break;
        case Kind::Link: unlinkEntry(folderFd, entry.name, 0, source); break;
        case Kind::File:
        case Kind::Other: {
            struct stat status {};
            if (!lstatAt(folderFd, entry.name, status)) {
                if (errno == ENOENT)
                    break;
                rt::raiseErrno(errno, source);
            }
            if (!S_ISLNK(status.st_mode))
                checkWritable(status, force, source);
            unlinkEntry(folderFd, entry.name, 0, source);
            break;
        }
        }
    }
}

// A folder that is gone is an error 76 at the top, and just gone below it
// (nested): a vanished subfolder never makes the whole delete look done.
void removeFolderAt(int parentFd, const QByteArray& name, bool force, const Volume& walk,
                    bool nested, const QString& source)
{
    struct stat status {};
    if (!lstatAt(parentFd, name, status)) {
        if (errno == ENOENT && nested)
            return;  // gone since it was listed: nothing left to delete
        raiseFolderErrno(errno, source);
    }
    if (!S_ISDIR(status.st_mode)) {  // replaced since it was listed
        if (!S_ISLNK(status.st_mode))
            checkWritable(status, force, source);
        unlinkEntry(parentFd, name, 0, source);
        return;
    }
    // A mount point is refused before its permissions are touched; the open
    // folder is checked again, as a mount may have appeared meanwhile.
    Volume volume;
    if (!volumeAt(parentFd, name, volume)) {
        if (errno == ENOENT && nested)
            return;
        raiseFolderErrno(errno, source);
    }
    requireVolume(volume, walk, source);
    checkWritable(status, force, source);
    const mode_t needed = S_IRWXU;
    if (force && (status.st_mode & needed) != needed &&
        rt::sys::fchmodat(parentFd, name.constData(), (status.st_mode & 07777) | needed, 0) != 0)
        rt::raiseErrno(errno, source);
    {
        Fd folder;
        try {
            folder = openFolderAt(parentFd, name, source);
        } catch (const rt::VbError& error) {
            if (nested && error.number() == rt::kPathNotFound)
                return;  // gone, or no folder any more: the parent's removal tells
            throw;
        }
        requireVolume(volumeOf(folder.get(), source), walk, source);
        emptyFolder(folder.get(), force, walk, source);
    }
    unlinkEntry(parentFd, name, AT_REMOVEDIR, source);
}

}  // namespace

void deleteFolderAt(int parentFd, const QByteArray& name, bool force, const QString& source)
{
    removeFolderAt(parentFd, name, force, volumeOf(parentFd, source), false, source);
}

}  // namespace scripting::detail
