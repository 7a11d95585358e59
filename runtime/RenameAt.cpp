#include "runtime/RenameAt.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/Sys.h"

#include <QString>

namespace rt {
namespace {

bool entryStat(int folder, const char* name, struct stat& info)
{
    return sys::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// True when the folder holding name lists an entry spelled exactly like its
// last component. On a case-insensitive volume another spelling resolves to
// the existing entry without being listed under it.
bool spelledExactly(int base, const QByteArray& name)
{
    const qsizetype slash = name.lastIndexOf(static_cast<char>(kPathSeparator));
    const QByteArray folder = slash < 0    ? QByteArrayLiteral(".")
                              : slash == 0 ? name.left(1)
                                           : name.left(slash);
    const QByteArray last = name.mid(slash + 1);
    const int fd = sys::openat(base, folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;  // cannot tell: treat as a distinct entry, so nothing moves
    DIR* dir = sys::fdopendir(fd);
    if (dir == nullptr) {
        ::close(fd);
        return true;
    }
    bool found = false;
    for (;;) {
        errno = 0;
        const dirent* entry = sys::readdir(dir);
        if (entry == nullptr) {
            found = found || errno != 0;
            break;
        }
        if (last == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// A change of letter case only, reaching the very entry being renamed
// without being a second name of it (a hard link is a distinct entry).
bool isCaseOnlyChange(int oldFolder, const QByteArray& oldName, int newFolder,
                      const QByteArray& newName)
{
    if (oldFolder != newFolder)
        return false;
    const QString oldText = decodeName(oldName);
    const QString newText = decodeName(newName);
    if (oldText == newText || oldText.toCaseFolded() != newText.toCaseFolded())
        return false;
    struct stat oldInfo {};
    struct stat newInfo {};
    if (!entryStat(oldFolder, oldName.constData(), oldInfo) ||
        !entryStat(newFolder, newName.constData(), newInfo))
        return false;
    return oldInfo.st_dev == newInfo.st_dev && oldInfo.st_ino == newInfo.st_ino &&
           !spelledExactly(newFolder, newName);
}

int renameWithoutFlag(int oldFolder, const char* oldName, int newFolder, const char* newName)
{
    struct stat info {};
    if (!entryStat(oldFolder, oldName, info))
        return errno;
    if (!S_ISDIR(info.st_mode)) {
        // linkat refuses an existing target atomically and never follows a
        // link, so a link is renamed as itself.
        if (sys::linkat(oldFolder, oldName, newFolder, newName, 0) == 0) {
            if (sys::unlinkat(oldFolder, oldName, 0) == 0)
                return 0;
            const int error = errno;
            sys::unlinkat(newFolder, newName, 0);
            return error;
        }
        const int error = errno;
        if (error != EPERM && error != EOPNOTSUPP && error != EMLINK)
            return error;
        // The volume has no hard links (or no more): check and rename.
    }
    struct stat target {};
    if (entryStat(newFolder, newName, target))
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return sys::renameat(oldFolder, oldName, newFolder, newName) == 0 ? 0 : errno;
}

}  // namespace

int renameNoReplaceAt(int oldFolder, const QByteArray& oldName, int newFolder,
                      const QByteArray& newName)
{
    int error = 0;
    if (sys::renameat2(oldFolder, oldName.constData(), newFolder, newName.constData(),
                       RENAME_NOREPLACE) != 0) {
        error = errno;
        if (error == EINVAL)  // the volume may not know the flag
            error =
                renameWithoutFlag(oldFolder, oldName.constData(), newFolder, newName.constData());
    }
    if (error == EEXIST && isCaseOnlyChange(oldFolder, oldName, newFolder, newName))
        error = sys::renameat(oldFolder, oldName.constData(), newFolder, newName.constData()) == 0
                    ? 0
                    : errno;
    return error;
}

}  // namespace rt
