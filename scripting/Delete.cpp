// DeleteFile and DeleteFolder.
#include "scripting/FileSystemObject.h"
#include "scripting/PathText.h"
#include "scripting/Posix.h"
#include "scripting/Removal.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace scripting {

using namespace detail;

void FileSystemObject::DeleteFile(const QString& path, bool force) const
{
    const QString where = QStringLiteral("FileSystemObject.DeleteFile");
    if (endsWithSeparator(path))
        rt::raiseError(rt::kFileNotFound, where);
    const QByteArray bytes = rt::encodeName(absolutePath(path));
    struct stat status {};
    if (!statPath(bytes, status))
        raiseFileErrno(errno, where);
    if (!S_ISREG(status.st_mode))
        rt::raiseError(rt::kFileNotFound, where);
    // A link is removed as itself; its own permissions never make it read-only.
    if (!lstatPath(bytes, status))
        raiseFileErrno(errno, where);
    if (!force && !S_ISLNK(status.st_mode) && (status.st_mode & S_IWUSR) == 0)
        rt::raiseError(rt::kPermissionDenied, where);
    if (rt::sys::unlink(bytes.constData()) != 0)
        raiseFileErrno(errno, where);
}

void FileSystemObject::DeleteFolder(const QString& path, bool force) const
{
    const QString where = QStringLiteral("FileSystemObject.DeleteFolder");
    const QString target = absolutePath(path);
    const QByteArray bytes = rt::encodeName(target);
    struct stat status {};
    if (!statPath(bytes, status))
        raiseFolderErrno(errno, where);
    if (!S_ISDIR(status.st_mode))
        rt::raiseError(rt::kPathNotFound, where);
    if (!lstatPath(bytes, status))
        raiseFolderErrno(errno, where);
    if (S_ISLNK(status.st_mode)) {
        if (rt::sys::unlink(bytes.constData()) != 0)
            raiseFolderErrno(errno, where);
        return;
    }
    // The root and mounted volumes are drives, not folders to delete: emptying
    // one before rmdir refuses it would wipe a whole volume.
    if (target == rt::kPathSeparatorText || DriveExists(target))
        rt::raiseError(rt::kPermissionDenied, where);
    const Fd parent = openFolderBase(rt::encodeName(containingFolder(target)), where);
    deleteFolderAt(parent.get(), rt::encodeName(lastName(target)), force, where);
}

}  // namespace scripting
