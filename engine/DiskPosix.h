#pragma once

#include "runtime/Sys.h"

#include <QByteArray>
#include <QString>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The descriptor-relative system calls both rename disks share: one listing
// routine, so that the model reads a folder exactly as the real disk does.
namespace engine_detail {

enum class EntryKind : unsigned char { File, Folder, Other };

// A link counts as a file when it leads to a regular file; a link to a
// folder, a dangling link and everything else count as neither.
inline EntryKind kindOf(int folder, const char* name, unsigned char type)
{
    struct stat info {};
    switch (type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK:
        return rt::sys::fstatat(folder, name, &info, 0) == 0 && S_ISREG(info.st_mode)
                   ? EntryKind::File
                   : EntryKind::Other;
    case DT_UNKNOWN:
        if (rt::sys::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return EntryKind::Other;
        if (S_ISLNK(info.st_mode))
            return kindOf(folder, name, DT_LNK);
        return S_ISREG(info.st_mode)   ? EntryKind::File
               : S_ISDIR(info.st_mode) ? EntryKind::Folder
                                       : EntryKind::Other;
    default: return EntryKind::Other;
    }
}

// Calls visit(name, length, kind, hidden) for every entry of the open folder
// but "." and "..", in the order the folder yields them; hidden names are
// passed only when withHidden is set, and their kind is not looked up
// (always Other). Returns 0, or the errno that ended the listing part-way.
template <typename Visit> int readFolder(int folder, bool withHidden, Visit&& visit)
{
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    if (copy < 0)
        return errno;
    DIR* dir = rt::sys::fdopendir(copy);
    if (!dir) {
        const int error = errno;
        ::close(copy);
        return error;
    }
    ::rewinddir(dir);
    int error = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = rt::sys::readdir(dir);
        if (!entry) {
            error = errno;
            break;
        }
        const char* name = entry->d_name;
        if (name[0] == '.') {
            if (name[1] == '\0' || (name[1] == '.' && name[2] == '\0') || !withHidden)
                continue;
            visit(name, std::strlen(name), EntryKind::Other, true);
            continue;
        }
        visit(name, std::strlen(name), kindOf(folder, name, entry->d_type), false);
    }
    ::closedir(dir);
    return error;
}

// True when the subfolder name of an open folder holds no entry (or
// cannot be read: nothing is then taken for empty).
inline bool folderIsEmpty(int folder, const char* name)
{
    const int fd = rt::sys::openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool empty = true;
    const int error =
        readFolder(fd, true, [&](const char*, std::size_t, EntryKind, bool) { empty = false; });
    ::close(fd);
    return empty && error == 0;
}

// Opens the folder at a path given as text; returns the descriptor, or -1
// with error set (EINVAL for a path the name codec cannot encode).
int openFolderPath(const QString& path, int& error);

// The status as the runtime's file time reads it: a link reports its
// target, a dangling one itself.
inline bool statEntry(int folder, const char* name, struct stat& info)
{
    return rt::sys::fstatat(folder, name, &info, 0) == 0 ||
           rt::sys::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// The last-modification time.
inline bool modifiedAt(int folder, const char* name, std::int64_t& seconds)
{
    struct stat info {};
    if (!statEntry(folder, name, info))
        return false;
    seconds = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    return true;
}

}  // namespace engine_detail
