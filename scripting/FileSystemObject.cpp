// Existence tests, names, drives, and getting or creating one entry.
#include "scripting/FileSystemObject.h"

#include "runtime/MountTable.h"
#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"
#include "scripting/PathText.h"
#include "scripting/Posix.h"

#include <cerrno>
#include <sys/stat.h>

namespace scripting {

using namespace detail;

namespace {

// The kind of entry a path leads to, links followed; false when the path
// leads nowhere or cannot name anything on disk.
bool statFollowing(const QString& path, struct stat& status)
{
    try {
        return statPath(rt::encodeName(path), status);
    } catch (const rt::VbError&) {
        return false;
    }
}

QString driveNameText(const QString& driveName)
{
    return withoutTrailingSeparators(driveName);
}

}  // namespace

bool FileSystemObject::FolderExists(const QString& path) const
{
    struct stat status {};
    return statFollowing(path, status) && S_ISDIR(status.st_mode);
}

bool FileSystemObject::FileExists(const QString& path) const
{
    struct stat status {};
    return statFollowing(path, status) && S_ISREG(status.st_mode);
}

bool FileSystemObject::DriveExists(const QString& driveName) const
{
    const QString wanted = driveNameText(driveName);
    if (wanted.isEmpty())
        return false;
    for (const rt::MountPoint& mount : rt::mountPoints()) {
        if (mount.path == wanted)
            return true;
    }
    return false;
}

bool FileSystemObject::IsMountPoint(const QString& path) const
{
    const QString where = QStringLiteral("FileSystemObject.IsMountPoint");
    const QString target = absolutePath(path);
    if (target == rt::kPathSeparatorText)
        return true;
    const Fd folder = openFolderBase(rt::encodeName(containingFolder(target)), where);
    Volume volume;
    if (!volumeAt(folder.get(), rt::encodeName(lastName(target)), volume))
        raiseFileErrno(errno, where);
    return !sameVolume(volume, volumeOf(folder.get(), where));
}

QString FileSystemObject::GetDriveName(const QString& path) const
{
    if (!path.startsWith(rt::kPathSeparator))
        return QString();
    return rt::mountPointOf(absolutePath(path));
}

QString FileSystemObject::GetParentFolderName(const QString& path) const
{
    return parentFolderName(path);
}

QString FileSystemObject::GetAbsolutePathName(const QString& path) const
{
    return absolutePath(path);
}

Folder FileSystemObject::CreateFolder(const QString& path) const
{
    const QString source = QStringLiteral("FileSystemObject.CreateFolder");
    const QString target = absolutePath(path);
    if (!FolderExists(containingFolder(target)))
        rt::raiseError(rt::kPathNotFound, source);
    if (rt::sys::mkdir(rt::encodeName(target).constData(), 0777) != 0)
        rt::raiseErrno(errno, source);  // EEXIST: 58, whatever is there
    return Folder(target);
}

Folder FileSystemObject::GetFolder(const QString& path) const
{
    const QString target = absolutePath(path);
    if (!FolderExists(target))
        rt::raiseError(rt::kPathNotFound, QStringLiteral("FileSystemObject.GetFolder"));
    return Folder(target);
}

File FileSystemObject::GetFile(const QString& path) const
{
    const QString target = absolutePath(path);
    if (!FileExists(target))
        rt::raiseError(rt::kFileNotFound, QStringLiteral("FileSystemObject.GetFile"));
    return File(target);
}

Drive FileSystemObject::GetDrive(const QString& driveName) const
{
    if (!DriveExists(driveName))
        rt::raiseError(rt::kDeviceUnavailable, QStringLiteral("FileSystemObject.GetDrive"));
    return Drive(driveNameText(driveName));
}

}  // namespace scripting
