#include "runtime/RenameAt.h"

#include "runtime/PathSeparator.h"
#include "runtime/Sys.h"
#include "runtime/VolumeRules.h"

namespace rt {
namespace {

constexpr qsizetype kNameMax = 255;
constexpr int kTemporaryAttempts = 100;

bool entryStat(int folder, const char* name, struct stat& info)
{
    return sys::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool entryThere(int folder, const QByteArray& name)
{
    struct stat info {};
    return entryStat(folder, name.constData(), info);
}

}  // namespace

// On a volume that folds case another spelling resolves to the entry
// without being listed under it.
bool listsExactly(int folder, const QByteArray& name)
{
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return true;  // cannot tell: treat as a distinct entry, so nothing moves
    DIR* dir = sys::fdopendir(copy);
    if (dir == nullptr) {
        ::close(copy);
        return true;
    }
    ::rewinddir(dir);  // the copy shares the folder's reading position
    bool found = false;
    for (;;) {
        errno = 0;
        const dirent* entry = sys::readdir(dir);
        if (entry == nullptr) {
            found = found || errno != 0;
            break;
        }
        if (name == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

namespace {

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
        if (error != EPERM && error != EOPNOTSUPP && error != EMLINK && error != ENOSYS)
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

int renameOnce(int oldFolder, const QByteArray& oldName, int newFolder, const QByteArray& newName)
{
    if (sys::renameat2(oldFolder, oldName.constData(), newFolder, newName.constData(),
                       RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL)  // the volume may not know the flag
        return error;
    return renameWithoutFlag(oldFolder, oldName.constData(), newFolder, newName.constData());
}

// One step of a two-step rename, confirmed on disk: the name it left is
// gone and the one it gave is there.
int confirmedStep(int folder, const QByteArray& from, const QByteArray& to)
{
    if (const int error = renameOnce(folder, from, folder, to))
        return error;
    return entryThere(folder, to) && !entryThere(folder, from) ? 0 : EIO;
}

}  // namespace

QByteArray temporaryNameFor(const QByteArray& oldName, int attempt)
{
    QByteArray suffix = ".nemirou-tmp" + QByteArray::number(::getpid());
    if (attempt > 0)
        suffix += '-' + QByteArray::number(attempt);
    QByteArray head = oldName.left(kNameMax - suffix.size());
    // Cut at a character's first byte, so the name stays whole UTF-8.
    while (head.size() < oldName.size() && !head.isEmpty() &&
           (static_cast<unsigned char>(oldName[head.size()]) & 0xC0) == 0x80)
        head.chop(1);
    return head + suffix;
}

int renameThroughTemporaryAt(int folder, const QByteArray& oldName, const QByteArray& newName,
                             const TemporaryNameListener& listener)
{
    QByteArray temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < kTemporaryAttempts && error == EEXIST; ++attempt) {
        temporary = temporaryNameFor(oldName, attempt);
        if (entryThere(folder, temporary))
            continue;
        if (listener)
            listener(temporary);
        error = confirmedStep(folder, oldName, temporary);
    }
    if (error != 0)
        return error;
    error = confirmedStep(folder, temporary, newName);
    if (error != 0 && entryThere(folder, temporary))
        renameOnce(folder, temporary, folder, oldName);
    return error;
}

int renameNoReplaceAt(int oldFolder, const QByteArray& oldName, int newFolder,
                      const QByteArray& newName, const TemporaryNameListener& listener)
{
    const int error = renameOnce(oldFolder, oldName, newFolder, newName);
    if (error != EEXIST || oldFolder != newFolder)
        return error;
    // Taken by another spelling of the entry itself? Only inside one folder,
    // on a volume that shows the new spelling nowhere in it.
    const qsizetype slash = oldName.lastIndexOf(static_cast<char>(kPathSeparator));
    if (newName.lastIndexOf(static_cast<char>(kPathSeparator)) != slash ||
        oldName.left(slash + 1) != newName.left(slash + 1) ||
        !differInCaseOnly(oldName.mid(slash + 1), newName.mid(slash + 1)))
        return error;
    int folder = oldFolder;
    if (slash >= 0 || oldFolder == AT_FDCWD) {
        const QByteArray parent = slash < 0    ? QByteArrayLiteral(".")
                                  : slash == 0 ? oldName.left(1)
                                               : oldName.left(slash);
        folder = sys::openat(oldFolder, parent.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0)
            return error;
    }
    const QByteArray from = oldName.mid(slash + 1);
    const QByteArray to = newName.mid(slash + 1);
    const int result =
        listsExactly(folder, to) ? error : renameThroughTemporaryAt(folder, from, to, listener);
    if (folder != oldFolder)
        ::close(folder);
    return result;
}

}  // namespace rt
