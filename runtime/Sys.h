#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The system calls that read or change the disk, as every layer above calls
// them. Each wrapper is the real call behind one test of a null pointer: a
// test may install a fault hook, which is asked before every call and either
// lets it through (0) or makes it fail with the errno value it returns,
// without the real call being made.
namespace rt::sys {

// A hook's answer for a rename that the volume reports done without making
// it, as some drivers do: the rename wrappers then return 0. Only they honour
// it; any other call so answered fails with errno 0.
inline constexpr int kAnsweredDone = -1;

enum class Call : std::uint8_t {
    RenameNoReplace,  // renameat2
    Rename,           // renameat
    Link,             // linkat, symlinkat
    Unlink,           // unlink, unlinkat (also of folders)
    Open,             // open, openat, opendir, fdopendir
    Read,             // read, readlinkat
    Write,            // write
    Sync,             // fsync, syncfs
    Mkdir,            // mkdir, mkdirat
    Stat,             // stat, lstat, fstat, fstatat, statx
    Readdir,          // readdir
    Chmod,            // chmod, fchmod, fchmodat, futimens
    Close,            // close where its error is checked
};
inline constexpr int kCallKinds = 13;

using FaultHook = int (*)(Call call);
// Null outside tests.
extern FaultHook faultHook;

// Asks the hook; sets errno when the call is to fail.
bool refusedByHook(Call call);

inline bool refused(Call call)
{
    if (faultHook == nullptr) [[likely]]
        return false;
    return refusedByHook(call);
}

// What a refused rename returns: 0 when the hook answered it done.
inline int refusedRename()
{
    return errno == 0 ? 0 : -1;
}
inline int renameat2(int oldFolder, const char* oldName, int newFolder, const char* newName,
                     unsigned int flags)
{
    return refused(Call::RenameNoReplace)
               ? refusedRename()
               : ::renameat2(oldFolder, oldName, newFolder, newName, flags);
}
inline int renameat(int oldFolder, const char* oldName, int newFolder, const char* newName)
{
    return refused(Call::Rename) ? refusedRename()
                                 : ::renameat(oldFolder, oldName, newFolder, newName);
}
inline int linkat(int oldFolder, const char* oldName, int newFolder, const char* newName, int flags)
{
    return refused(Call::Link) ? -1 : ::linkat(oldFolder, oldName, newFolder, newName, flags);
}
inline int symlinkat(const char* target, int folder, const char* name)
{
    return refused(Call::Link) ? -1 : ::symlinkat(target, folder, name);
}
inline int unlinkat(int folder, const char* name, int flags)
{
    return refused(Call::Unlink) ? -1 : ::unlinkat(folder, name, flags);
}
inline int unlink(const char* path)
{
    return refused(Call::Unlink) ? -1 : ::unlink(path);
}
inline int open(const char* path, int flags, mode_t mode = 0)
{
    return refused(Call::Open) ? -1 : ::open(path, flags, mode);
}
inline int openat(int folder, const char* name, int flags, mode_t mode = 0)
{
    return refused(Call::Open) ? -1 : ::openat(folder, name, flags, mode);
}
inline DIR* opendir(const char* path)
{
    return refused(Call::Open) ? nullptr : ::opendir(path);
}
inline DIR* fdopendir(int fd)
{
    return refused(Call::Open) ? nullptr : ::fdopendir(fd);
}
inline ssize_t read(int fd, void* buffer, size_t size)
{
    return refused(Call::Read) ? -1 : ::read(fd, buffer, size);
}
inline ssize_t readlinkat(int folder, const char* name, char* buffer, size_t size)
{
    return refused(Call::Read) ? -1 : ::readlinkat(folder, name, buffer, size);
}
inline ssize_t write(int fd, const void* data, size_t size)
{
    return refused(Call::Write) ? -1 : ::write(fd, data, size);
}
inline int fsync(int fd)
{
    return refused(Call::Sync) ? -1 : ::fsync(fd);
}
inline int syncfs(int fd)
{
    return refused(Call::Sync) ? -1 : ::syncfs(fd);
}
inline int mkdir(const char* path, mode_t mode)
{
    return refused(Call::Mkdir) ? -1 : ::mkdir(path, mode);
}
inline int mkdirat(int folder, const char* name, mode_t mode)
{
    return refused(Call::Mkdir) ? -1 : ::mkdirat(folder, name, mode);
}
inline int stat(const char* path, struct stat* status)
{
    return refused(Call::Stat) ? -1 : ::stat(path, status);
}
inline int lstat(const char* path, struct stat* status)
{
    return refused(Call::Stat) ? -1 : ::lstat(path, status);
}
inline int fstat(int fd, struct stat* status)
{
    return refused(Call::Stat) ? -1 : ::fstat(fd, status);
}
inline int fstatat(int folder, const char* name, struct stat* status, int flags)
{
    return refused(Call::Stat) ? -1 : ::fstatat(folder, name, status, flags);
}
inline int statx(int folder, const char* name, int flags, unsigned int mask, struct statx* status)
{
    return refused(Call::Stat) ? -1 : ::statx(folder, name, flags, mask, status);
}
inline dirent* readdir(DIR* dir)
{
    return refused(Call::Readdir) ? nullptr : ::readdir(dir);
}
inline int chmod(const char* path, mode_t mode)
{
    return refused(Call::Chmod) ? -1 : ::chmod(path, mode);
}
inline int fchmod(int fd, mode_t mode)
{
    return refused(Call::Chmod) ? -1 : ::fchmod(fd, mode);
}
inline int fchmodat(int folder, const char* name, mode_t mode, int flags)
{
    return refused(Call::Chmod) ? -1 : ::fchmodat(folder, name, mode, flags);
}
inline int futimens(int fd, const struct timespec times[2])
{
    return refused(Call::Chmod) ? -1 : ::futimens(fd, times);
}
// A refused close still releases the descriptor, as a failed close(2) does.
inline int close(int fd)
{
    if (refused(Call::Close)) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return ::close(fd);
}

}  // namespace rt::sys
