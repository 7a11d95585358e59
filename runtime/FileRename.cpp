#include "runtime/FileRename.h"

#include "runtime/NameCodec.h"
#include "runtime/PathSeparator.h"
#include "runtime/VbError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace rt {
namespace {

const QString kSource = QStringLiteral("Name");

bool entryStat(const QByteArray& path, struct stat& info)
{
    return ::lstat(path.constData(), &info) == 0;
}

bool sameInode(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The folder part ("." when there is none) and the last name of a path.
void splitPath(const QByteArray& path, QByteArray& folder, QByteArray& name)
{
    const qsizetype slash = path.lastIndexOf(static_cast<char>(kPathSeparator));
    if (slash < 0) {
        folder = QByteArrayLiteral(".");
        name = path;
    } else {
        folder = slash == 0 ? path.left(1) : path.left(slash);
        name = path.mid(slash + 1);
    }
}

// True when the folder of path holds an entry spelled exactly like its last
// name. On a case-insensitive volume a differently cased spelling resolves
// to the existing entry without being listed under that spelling.
bool spelledExactly(const QByteArray& path)
{
    QByteArray folder, name;
    splitPath(path, folder, name);
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return true;  // cannot tell: treat as a distinct entry, so nothing moves
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (name == entry->d_name) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// A change of letter case only: the texts differ, fold to the same text, and
// the new spelling reaches the very entry being renamed without being a
// second name of it (a hard link is a distinct entry).
bool isCaseOnlyChange(const QString& oldPath, const QString& newPath, const QByteArray& oldBytes,
                      const QByteArray& newBytes)
{
    if (oldPath == newPath || oldPath.toCaseFolded() != newPath.toCaseFolded())
        return false;
    struct stat oldInfo {};
    struct stat newInfo {};
    if (!entryStat(oldBytes, oldInfo) || !entryStat(newBytes, newInfo))
        return false;
    return sameInode(oldInfo, newInfo) && !spelledExactly(newBytes);
}

[[noreturn]] void raiseRenameErrno(int error, const QByteArray& oldBytes)
{
    if (error == ENOENT || error == ENOTDIR) {
        // Missing source and missing target folder look alike to rename(2).
        struct stat info {};
        raiseError(entryStat(oldBytes, info) ? kPathNotFound : kFileNotFound, kSource);
    }
    raiseErrno(error, kSource);
}

// For volumes that refuse RENAME_NOREPLACE. Returns 0 or an errno value.
int renameWithoutFlag(const QByteArray& oldBytes, const QByteArray& newBytes)
{
    struct stat info {};
    if (!entryStat(oldBytes, info))
        return errno;
    if (!S_ISDIR(info.st_mode)) {
        // link(2) refuses an existing target atomically and never follows a
        // symbolic link, so a link is renamed as itself.
        if (::link(oldBytes.constData(), newBytes.constData()) == 0) {
            if (::unlink(oldBytes.constData()) == 0)
                return 0;
            const int error = errno;
            ::unlink(newBytes.constData());
            return error;
        }
        const int error = errno;
        if (error != EPERM && error != EOPNOTSUPP && error != EMLINK)
            return error;
        // The volume has no hard links: fall through to check and rename.
    }
    struct stat target {};
    if (entryStat(newBytes, target))
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return ::rename(oldBytes.constData(), newBytes.constData()) == 0 ? 0 : errno;
}

enum class Method { NoReplaceFlag, WithoutFlag };

void renameEntry(const QString& oldPath, const QString& newPath, Method method)
{
    QByteArray oldBytes, newBytes;
    try {
        oldBytes = encodeName(oldPath);
        newBytes = encodeName(newPath);
    } catch (const VbError&) {
        raiseError(kBadFileName, kSource);
    }

    int error = 0;
    if (method == Method::WithoutFlag) {
        error = renameWithoutFlag(oldBytes, newBytes);
    } else if (::renameat2(AT_FDCWD, oldBytes.constData(), AT_FDCWD, newBytes.constData(),
                           RENAME_NOREPLACE) != 0) {
        error = errno;
        if (error == EINVAL)  // the volume may not know the flag
            error = renameWithoutFlag(oldBytes, newBytes);
    }
    if (error == 0)
        return;
    if (error == EEXIST && isCaseOnlyChange(oldPath, newPath, oldBytes, newBytes)) {
        if (::rename(oldBytes.constData(), newBytes.constData()) == 0)
            return;
        error = errno;
    }
    raiseRenameErrno(error, oldBytes);
}

}  // namespace

void Name(const QString& oldPath, const QString& newPath)
{
    renameEntry(oldPath, newPath, Method::NoReplaceFlag);
}

void NameWithoutNoReplaceFlag(const QString& oldPath, const QString& newPath)
{
    renameEntry(oldPath, newPath, Method::WithoutFlag);
}

}  // namespace rt
