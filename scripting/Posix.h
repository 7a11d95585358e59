#pragma once

#include <QByteArray>
#include <QString>

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

// The entries of an open folder except "." and "..", in readdir order. The
// kind comes from d_type, or from fstatat where d_type does not tell.
std::vector<RawEntry> readEntries(int folderFd, const QString& source);

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
