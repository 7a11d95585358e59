#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// Raw POSIX set-up and inspection for the file-system object's tests: paths
// are bytes, so names that are not UTF-8 can be made and checked exactly.
namespace fixture {

void writeFile(const QByteArray& path, const QByteArray& content, mode_t mode = 0644);
QByteArray readFile(const QByteArray& path);
void makeFolder(const QByteArray& path, mode_t mode = 0755);
void makeLink(const QByteArray& target, const QByteArray& path);
QByteArray linkTarget(const QByteArray& path);
bool exists(const QByteArray& path);           // the entry itself, links not followed
struct stat statusOf(const QByteArray& path);  // lstat
mode_t permissions(const QByteArray& path);
// Removes path with everything below it, whatever the names' bytes and
// permissions (QDir cannot: it loses names that are not UTF-8).
void removeTree(const QByteArray& path);

}  // namespace fixture
