#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <sys/stat.h>

// Copies by descriptor: the source side never follows a link inside a tree,
// and the destination side never writes through one.
namespace scripting::detail {

// Copies the regular file open as sourceFd (its status in sourceStatus) to
// the entry name of the folder destinationFd, with its permission bits and
// times. An existing destination is an error 58 unless overwrite; when it is
// replaced, the copy is written beside it and renamed over it, so a failure
// never leaves it half-written. A destination that is a folder, the source
// itself, or read-only (no owner write permission) is refused with 70.
void copyFileAt(int sourceFd, const struct stat& sourceStatus, int destinationFd,
                const QByteArray& name, bool overwrite, const QString& source);

// Recreates the link sourceName of sourceFolderFd as name in destinationFd,
// with the same target text (never the target's content).
void copyLinkAt(int sourceFolderFd, const QByteArray& sourceName, int destinationFd,
                const QByteArray& name, bool overwrite, const QString& source);

// Copies everything in one open folder into another, merging with what is
// there. Subfolders are created as needed and get their source's permission
// bits and times once filled; links are copied as links; other special
// entries (pipes, sockets, devices) are recreated with mknod. Stops at the
// first error. Reads only from sourceFd's volume and writes only into
// destinationFd's: a mount point below either is refused with 70.
void copyFolderContent(int sourceFd, int destinationFd, bool overwrite, const QString& source);

// Runs fillIt on a folder the copy made, then gives the folder the source's
// permission bits and times (status; null for a folder that was there and
// keeps its own), also when fillIt fails part-way: a partial copy never
// leaves a folder with other permissions than its source's.
void fillFolder(int folderFd, const struct stat* status, const std::function<void()>& fillIt,
                const QString& source);

// Permission bits and access/modification times of status onto an open entry.
void copyMetadata(int fd, const struct stat& status, const QString& source);

}  // namespace scripting::detail
