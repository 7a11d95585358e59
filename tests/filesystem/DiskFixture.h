#pragma once

#include "runtime/PathSeparator.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Raw POSIX helpers for arranging and inspecting test trees, so that what the
// service did is checked independently of the service and its lower layers.
namespace disk {

inline QString join(const QString& folder, const QString& name)
{
    return folder + rt::kPathSeparator + name;
}

void makeFile(const QString& path, const QByteArray& content = QByteArray());
void makeFolder(const QString& path);
void makeLink(const QString& target, const QString& path);
QByteArray content(const QString& path);
bool exists(const QString& path);    // the entry itself, links not followed
bool writable(const QString& path);  // any write bit set
// Entry names as raw bytes, in readdir order, "." and ".." left out.
QList<QByteArray> rawNames(const QString& folder);
// The names Dir-style listing admits as normal files, in readdir order.
QStringList normalFileNames(const QString& folder);
// Empties a folder by raw names, read-only entries and names that are not
// UTF-8 included, so that a temporary folder can always be removed.
void emptyFolder(const QString& path);

// Marks a file immutable, so even root cannot change its permissions.
// Returns false where the file system or the privileges do not allow it.
bool setImmutable(const QString& path, bool on);

}  // namespace disk
