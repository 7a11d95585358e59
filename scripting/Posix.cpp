#include "scripting/Posix.h"

#include "runtime/PathSeparator.h"
#include "runtime/Sys.h"
#include "runtime/VbError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace scripting::detail {

Fd& Fd::operator=(Fd&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

Fd::~Fd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int Fd::close()
{
    const int fd = std::exchange(m_fd, -1);
    return fd >= 0 && rt::sys::close(fd) != 0 ? errno : 0;
}

Kind kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return Kind::Folder;
    if (S_ISREG(mode))
        return Kind::File;
    if (S_ISLNK(mode))
        return Kind::Link;
    return Kind::Other;
}

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

std::optional<Kind> kindOfType(unsigned char type)
{
    switch (type) {
    case DT_DIR: return Kind::Folder;
    case DT_REG: return Kind::File;
    case DT_LNK: return Kind::Link;
    case DT_UNKNOWN: return std::nullopt;
    default: return Kind::Other;
    }
}

}  // namespace

void forEachEntry(int folderFd, const QString& source,
                  const std::function<void(const RawEntry&)>& visit)
{
    // fdopendir takes the descriptor over; the caller keeps its own.
    const int listingFd = ::dup(folderFd);
    if (listingFd < 0)
        rt::raiseErrno(errno, source);
    DIR* dir = rt::sys::fdopendir(listingFd);
    if (dir == nullptr) {
        const int error = errno;
        ::close(listingFd);
        rt::raiseErrno(error, source);
    }
    const std::unique_ptr<DIR, DirCloser> owner(dir);
    ::rewinddir(dir);

    for (;;) {
        errno = 0;
        const dirent* entry = rt::sys::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0)
                rt::raiseErrno(errno, source);
            break;
        }
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        std::optional<Kind> kind = kindOfType(entry->d_type);
        if (!kind) {
            struct stat status {};
            if (rt::sys::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
                if (errno == ENOENT)
                    continue;  // gone since readdir delivered it
                rt::raiseErrno(errno, source);
            }
            kind = kindOf(status.st_mode);
        }
        visit(RawEntry{QByteArray(name), *kind});
    }
}

std::vector<RawEntry> readEntries(int folderFd, const QString& source)
{
    std::vector<RawEntry> entries;
    forEachEntry(folderFd, source, [&entries](const RawEntry& entry) { entries.push_back(entry); });
    return entries;
}

Volume volumeFrom(const struct statx& status)
{
    Volume volume;
    volume.device = makedev(status.stx_dev_major, status.stx_dev_minor);
    if ((status.stx_mask & STATX_MNT_ID) != 0)
        volume.mount = status.stx_mnt_id;
    return volume;
}

bool sameVolume(const Volume& a, const Volume& b)
{
    return a.device == b.device && (a.mount == 0 || b.mount == 0 || a.mount == b.mount);
}

Volume volumeOf(int fd, const QString& source)
{
    struct statx status {};
    if (rt::sys::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &status) != 0)
        rt::raiseErrno(errno, source);
    return volumeFrom(status);
}

bool volumeAt(int folderFd, const QByteArray& name, Volume& volume)
{
    struct statx status {};
    if (rt::sys::statx(folderFd, name.constData(), AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &status) != 0)
        return false;
    volume = volumeFrom(status);
    return true;
}

void requireVolume(const Volume& entry, const Volume& walk, const QString& source)
{
    if (!sameVolume(entry, walk))
        rt::raiseError(rt::kPermissionDenied, source);
}

Fd openFolder(const QByteArray& path, const QString& source)
{
    const int fd = rt::sys::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        raiseFolderErrno(errno, source);
    return Fd(fd);
}

Fd openFolderBase(const QByteArray& path, const QString& source)
{
    const int fd = rt::sys::open(path.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        raiseFolderErrno(errno, source);
    return Fd(fd);
}

Fd openFolderAt(int parentFd, const QByteArray& name, const QString& source)
{
    const int fd = rt::sys::openat(parentFd, name.constData(),
                                   O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        raiseFolderErrno(errno, source);
    return Fd(fd);
}

void raiseMissingErrno(int errnoValue, int missingError, const QString& source)
{
    if (errnoValue == ENOENT || errnoValue == ENOTDIR)
        rt::raiseError(missingError, source);
    rt::raiseErrno(errnoValue, source);
}

void raiseFolderErrno(int errnoValue, const QString& source)
{
    raiseMissingErrno(errnoValue, rt::kPathNotFound, source);
}

void raiseFileErrno(int errnoValue, const QString& source)
{
    raiseMissingErrno(errnoValue, rt::kFileNotFound, source);
}

bool statPath(const QByteArray& path, struct stat& status)
{
    return rt::sys::stat(path.constData(), &status) == 0;
}

bool lstatPath(const QByteArray& path, struct stat& status)
{
    return rt::sys::lstat(path.constData(), &status) == 0;
}

bool lstatAt(int folderFd, const QByteArray& name, struct stat& status)
{
    return rt::sys::fstatat(folderFd, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

QByteArray canonicalPath(const QByteArray& path)
{
    char* resolved = ::realpath(path.constData(), nullptr);
    if (resolved == nullptr)
        return QByteArray();
    QByteArray result(resolved);
    std::free(resolved);
    return result;
}

bool isWithin(const QByteArray& inner, const QByteArray& outer)
{
    if (inner == outer)
        return true;
    const char separator = static_cast<char>(rt::kPathSeparator);
    const QByteArray prefix = outer.endsWith(separator) ? outer : outer + separator;
    return inner.startsWith(prefix);
}

}  // namespace scripting::detail
