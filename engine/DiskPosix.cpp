#include "engine/DiskPosix.h"

#include "runtime/NameCodec.h"
#include "runtime/VbError.h"

#include <QString>

namespace engine_detail {
namespace {

bool entryStat(int folder, const char* name, struct stat& info)
{
    return ::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// True when the folder lists an entry spelled exactly so. On a
// case-insensitive volume another spelling resolves to the existing entry
// without being listed under it.
bool spelledExactly(int folder, const QByteArray& name)
{
    bool found = false;
    const int error =
        readFolder(folder, true, [&](const char* entry, std::size_t, EntryKind, bool) {
            found = found || name == entry;
        });
    return found || error != 0;  // cannot tell: treat as distinct, so nothing moves
}

// A change of letter case only, reaching the very entry being renamed.
bool isCaseOnlyChange(int folder, const QByteArray& from, const QByteArray& to)
{
    const QString oldText = rt::decodeName(from);
    const QString newText = rt::decodeName(to);
    if (oldText == newText || oldText.toCaseFolded() != newText.toCaseFolded())
        return false;
    struct stat oldInfo {};
    struct stat newInfo {};
    if (!entryStat(folder, from.constData(), oldInfo) ||
        !entryStat(folder, to.constData(), newInfo))
        return false;
    return oldInfo.st_dev == newInfo.st_dev && oldInfo.st_ino == newInfo.st_ino &&
           !spelledExactly(folder, to);
}

// For volumes that refuse RENAME_NOREPLACE.
int renameWithoutFlag(int folder, const char* from, const char* to, bool isFolder)
{
    struct stat info {};
    if (!entryStat(folder, from, info))
        return errno;
    if (!isFolder && !S_ISDIR(info.st_mode)) {
        // linkat refuses an existing target atomically and never follows a
        // link, so a link is renamed as itself.
        if (::linkat(folder, from, folder, to, 0) == 0) {
            if (::unlinkat(folder, from, 0) == 0)
                return 0;
            const int error = errno;
            ::unlinkat(folder, to, 0);
            return error;
        }
        const int error = errno;
        if (error != EPERM && error != EOPNOTSUPP && error != EMLINK)
            return error;
    }
    struct stat target {};
    if (entryStat(folder, to, target))
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::renameat(folder, from, folder, to) == 0 ? 0 : errno;
}

}  // namespace

int openFolderPath(const QString& path, int& error)
{
    QByteArray bytes;
    try {
        bytes = rt::encodeName(path);
    } catch (const rt::VbError&) {
        error = EINVAL;
        return -1;
    }
    const int fd = ::open(bytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    error = fd < 0 ? errno : 0;
    return fd;
}

int renameAt(int folder, const QByteArray& from, const QByteArray& to, bool isFolder)
{
    if (::renameat2(folder, from.constData(), folder, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    int error = errno;
    if (error == EINVAL)  // the volume may not know the flag
        error = renameWithoutFlag(folder, from.constData(), to.constData(), isFolder);
    if (error == EEXIST && isCaseOnlyChange(folder, from, to))
        error = ::renameat(folder, from.constData(), folder, to.constData()) == 0 ? 0 : errno;
    return error;
}

}  // namespace engine_detail
