#include "scripting/Copying.h"

#include "runtime/Sys.h"
#include "runtime/VbError.h"
#include "scripting/Posix.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace scripting::detail {

namespace {

QByteArray temporaryName()
{
    return QByteArrayLiteral(".nemirou-") +
           QByteArray::number(QRandomGenerator::global()->generate64(), 16) +
           QByteArrayLiteral(".tmp");
}

// A fresh file of our own beside the destination.
Fd createTemporaryAt(int folderFd, QByteArray& name, const QString& source)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName();
        const int fd = rt::sys::openat(folderFd, name.constData(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0)
            return Fd(fd);
        if (errno != EEXIST)
            rt::raiseErrno(errno, source);
    }
    rt::raiseError(rt::kFileAlreadyExists, source);
}

void writeAll(int fd, const char* data, ssize_t length, const QString& source)
{
    while (length > 0) {
        const ssize_t written = rt::sys::write(fd, data, static_cast<size_t>(length));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            rt::raiseErrno(errno, source);
        }
        data += written;
        length -= written;
    }
}

// durable: the data reaches the disk before the copy is closed, as the copy
// is about to take the place of what was there.
void fill(int sourceFd, Fd& destination, const struct stat& status, bool durable,
          const QString& source)
{
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t got = rt::sys::read(sourceFd, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            rt::raiseErrno(errno, source);
        }
        if (got == 0)
            break;
        writeAll(destination.get(), buffer.data(), got, source);
    }
    copyMetadata(destination.get(), status, source);
    if (durable && rt::sys::fsync(destination.get()) != 0)
        rt::raiseErrno(errno, source);
    if (const int error = destination.close())
        rt::raiseErrno(error, source);
}

// Refusals shared by files and links about to replace an existing entry.
void checkReplaceable(const struct stat& existing, bool overwrite, const QString& source)
{
    if (!overwrite)
        rt::raiseError(rt::kFileAlreadyExists, source);
    if (S_ISDIR(existing.st_mode))
        rt::raiseError(rt::kPermissionDenied, source);
}

QByteArray linkTarget(int folderFd, const QByteArray& name, const QString& source)
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length =
            rt::sys::readlinkat(folderFd, name.constData(), buffer.data(), buffer.size());
        if (length < 0)
            rt::raiseErrno(errno, source);
        if (static_cast<size_t>(length) < buffer.size())
            return QByteArray(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

void copyLinkTimes(int folderFd, const QByteArray& name, const struct stat& status)
{
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    // Only cosmetic for a link; some file systems do not keep link times.
    ::utimensat(folderFd, name.constData(), times, AT_SYMLINK_NOFOLLOW);
}

// The volumes a copy started on: it reads only from the first and writes
// only into the second.
struct Walk {
    Volume from;
    Volume to;
};

void copyContent(int sourceFd, int destinationFd, bool overwrite, const Walk& walk,
                 const QString& source);

void copySubfolder(int sourceFd, const QByteArray& name, int destinationFd, bool overwrite,
                   const Walk& walk, const QString& source)
{
    struct stat status {};
    if (!lstatAt(sourceFd, name, status))
        rt::raiseErrno(errno, source);
    const Fd from = openFolderAt(sourceFd, name, source);
    requireVolume(volumeOf(from.get(), source), walk.from, source);

    bool created = false;
    struct stat existing {};
    if (lstatAt(destinationFd, name, existing)) {
        if (!S_ISDIR(existing.st_mode))
            rt::raiseError(rt::kFileAlreadyExists, source);
    } else if (errno != ENOENT) {
        rt::raiseErrno(errno, source);
    } else {
        if (rt::sys::mkdirat(destinationFd, name.constData(), S_IRWXU) != 0)
            rt::raiseErrno(errno, source);
        created = true;
    }
    Fd to;
    try {
        to = openFolderAt(destinationFd, name, source);
        requireVolume(volumeOf(to.get(), source), walk.to, source);
    } catch (...) {
        if (created)  // still empty, and without its source's permissions
            rt::sys::unlinkat(destinationFd, name.constData(), AT_REMOVEDIR);
        throw;
    }
    fillFolder(
        to.get(), created ? &status : nullptr,
        [&] { copyContent(from.get(), to.get(), overwrite, walk, source); }, source);
}

void copyRegular(int sourceFd, const QByteArray& name, int destinationFd, bool overwrite,
                 const Walk& walk, const QString& source)
{
    const Fd from(rt::sys::openat(sourceFd, name.constData(),
                                  O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (from.get() < 0)
        rt::raiseErrno(errno, source);
    requireVolume(volumeOf(from.get(), source), walk.from, source);  // a file mounted over
    struct stat status {};
    if (rt::sys::fstat(from.get(), &status) != 0)
        rt::raiseErrno(errno, source);
    if (!S_ISREG(status.st_mode))
        rt::raiseError(rt::kPathFileAccessError, source);  // replaced since it was listed
    copyFileAt(from.get(), status, destinationFd, name, overwrite, source);
}

void recreateSpecial(int sourceFd, const QByteArray& name, int destinationFd, const QString& source)
{
    struct stat status {};
    if (!lstatAt(sourceFd, name, status))
        rt::raiseErrno(errno, source);
    if (::mknodat(destinationFd, name.constData(), status.st_mode & (S_IFMT | 07777),
                  status.st_rdev) != 0)
        rt::raiseErrno(errno, source);
}

void copyContent(int sourceFd, int destinationFd, bool overwrite, const Walk& walk,
                 const QString& source)
{
    for (const RawEntry& entry : readEntries(sourceFd, source)) {
        switch (entry.kind) {
        case Kind::Folder:
            copySubfolder(sourceFd, entry.name, destinationFd, overwrite, walk, source);
            break;
        case Kind::File:
            copyRegular(sourceFd, entry.name, destinationFd, overwrite, walk, source);
            break;
        case Kind::Link:
            copyLinkAt(sourceFd, entry.name, destinationFd, entry.name, overwrite, source);
            break;
        case Kind::Other: recreateSpecial(sourceFd, entry.name, destinationFd, source); break;
        }
    }
}

}  // namespace

void copyMetadata(int fd, const struct stat& status, const QString& source)
{
    if (rt::sys::fchmod(fd, status.st_mode & 07777) != 0)
        rt::raiseErrno(errno, source);
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    if (rt::sys::futimens(fd, times) != 0)
        rt::raiseErrno(errno, source);
}

void fillFolder(int folderFd, const struct stat* status, const std::function<void()>& fillIt,
                const QString& source)
{
    try {
        fillIt();
    } catch (...) {
        if (status) {
            try {
                copyMetadata(folderFd, *status, source);
            } catch (...) {  // the first error is the one to report
            }
        }
        throw;
    }
    if (status)
        copyMetadata(folderFd, *status, source);
}

void copyFileAt(int sourceFd, const struct stat& sourceStatus, int destinationFd,
                const QByteArray& name, bool overwrite, const QString& source)
{
    struct stat existing {};
    if (lstatAt(destinationFd, name, existing)) {
        checkReplaceable(existing, overwrite, source);
        const bool sameFile =
            existing.st_dev == sourceStatus.st_dev && existing.st_ino == sourceStatus.st_ino;
        const bool readOnly = !S_ISLNK(existing.st_mode) && (existing.st_mode & S_IWUSR) == 0;
        if (sameFile || readOnly)
            rt::raiseError(rt::kPermissionDenied, source);

        QByteArray temporary;
        Fd out = createTemporaryAt(destinationFd, temporary, source);
        try {
            fill(sourceFd, out, sourceStatus, true, source);
            if (rt::sys::renameat(destinationFd, temporary.constData(), destinationFd,
                                  name.constData()) != 0)
                rt::raiseErrno(errno, source);
        } catch (...) {
            rt::sys::unlinkat(destinationFd, temporary.constData(), 0);
            throw;
        }
        return;
    }
    if (errno != ENOENT)
        rt::raiseErrno(errno, source);

    Fd out(rt::sys::openat(destinationFd, name.constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (out.get() < 0)
        rt::raiseErrno(errno, source);  // EEXIST: appeared meanwhile, 58
    try {
        fill(sourceFd, out, sourceStatus, false, source);
    } catch (...) {
        rt::sys::unlinkat(destinationFd, name.constData(), 0);
        throw;
    }
}

void copyLinkAt(int sourceFolderFd, const QByteArray& sourceName, int destinationFd,
                const QByteArray& name, bool overwrite, const QString& source)
{
    const QByteArray target = linkTarget(sourceFolderFd, sourceName, source);
    struct stat status {};
    if (!lstatAt(sourceFolderFd, sourceName, status))
        rt::raiseErrno(errno, source);

    struct stat existing {};
    if (!lstatAt(destinationFd, name, existing)) {
        if (errno != ENOENT)
            rt::raiseErrno(errno, source);
        if (rt::sys::symlinkat(target.constData(), destinationFd, name.constData()) != 0)
            rt::raiseErrno(errno, source);
        copyLinkTimes(destinationFd, name, status);
        return;
    }
    checkReplaceable(existing, overwrite, source);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray temporary = temporaryName();
        if (rt::sys::symlinkat(target.constData(), destinationFd, temporary.constData()) != 0) {
            if (errno == EEXIST)
                continue;
            rt::raiseErrno(errno, source);
        }
        copyLinkTimes(destinationFd, temporary, status);
        if (rt::sys::renameat(destinationFd, temporary.constData(), destinationFd,
                              name.constData()) != 0) {
            const int error = errno;
            rt::sys::unlinkat(destinationFd, temporary.constData(), 0);
            rt::raiseErrno(error, source);
        }
        return;
    }
    rt::raiseError(rt::kFileAlreadyExists, source);
}

void copyFolderContent(int sourceFd, int destinationFd, bool overwrite, const QString& source)
{
    copyContent(sourceFd, destinationFd, overwrite,
                Walk{volumeOf(sourceFd, source), volumeOf(destinationFd, source)}, source);
}

}  // namespace scripting::detail
