#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <sys/stat.h>
#include <utility>
#include <vector>

// The POSIX ground the file-system object stands on: owned descriptors,
// folder listings by descriptor (so that a walk never goes through a link)
// and the error numbers raised for failed calls.
namespace scripting::detail {

class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : m_fd(fd) {}
    Fd(Fd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd& operator=(Fd&& other) noexcept;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd();

    int get() const { return m_fd; }
    // Closes now and reports the error close gives (a late write error), or 0.
    int close();

private:
    int m_fd = -1;
};

enum class Kind { Folder, File, Link, Other };

Kind kindOf(mode_t mode);

struct RawEntry {
    QByteArray name;
    Kind kind;  // of the entry itself: a link is Kind::Link
};

// Hands each entry of an open folder except "." and ".." to visit as it is
// read, in readdir order. The kind comes from d_type, or from fstatat where
// d_type does not tell. A read that fails part-way raises after the entries
// already visited, so a caller keeps what was read before the failure.
void forEachEntry(int folderFd, const QString& source,
                  const std::function<void(const RawEntry&)>& visit);
// All entries of an open folder, as forEachEntry reads them; nothing when
// the read fails.
std::vector<RawEntry> readEntries(int folderFd, const QString& source);

// The mounted volume an entry lies on. A mount point below a walk's start is
// on another volume even when it shows the same device (a bind mount), so the
// mount is compared too where the kernel tells it.
struct Volume {
    dev_t device = 0;
    std::uint64_t mount = 0;  // 0: not told
};
bool sameVolume(const Volume& a, const Volume& b);
// Of a statx result asked for STATX_MNT_ID.
Volume volumeFrom(const struct statx& status);
// Of an open entry (an O_PATH descriptor will do).
Volume volumeOf(int fd, const QString& source);
// Of the entry name in folderFd itself (a link is not followed); false with
// errno set when it cannot be examined.
bool volumeAt(int folderFd, const QByteArray& name, Volume& volume);
// A walk that deletes, copies, sizes or changes attributes stays on the volume
// it started on: an entry on another one is refused with 70, untouched.
void requireVolume(const Volume& entry, const Volume& walk, const QString& source);

// A folder opened for listing, by ordinary path lookup (links followed).
Fd openFolder(const QByteArray& path, const QString& source);
// A folder used only as the base of *at calls: needs search permission only.
Fd openFolderBase(const QByteArray& path, const QString& source);
// A folder entry of an open folder; a link there is refused, never followed.
Fd openFolderAt(int parentFd, const QByteArray& name, const QString& source);

// A failed call: a missing entry (or a path through a non-folder) raises
// missingError, anything else the number that stands for errno.
[[noreturn]] void raiseMissingErrno(int errnoValue, int missingError, const QString& source);
// The same in an operation on folders (76) and on files (53).
[[noreturn]] void raiseFolderErrno(int errnoValue, const QString& source);
[[noreturn]] void raiseFileErrno(int errnoValue, const QString& source);

bool statPath(const QByteArray& path, struct stat& status);
bool lstatPath(const QByteArray& path, struct stat& status);
bool lstatAt(int folderFd, const QByteArray& name, struct stat& status);

// The path with every link and "." or ".." resolved by the system; empty when
// it cannot be resolved.
QByteArray canonicalPath(const QByteArray& path);
// True when inner is outer itself or lies below it (canonical paths).
bool isWithin(const QByteArray& inner, const QByteArray& outer);

}  // namespace scripting::detail
