#include "Snapshot.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace reliability {
namespace {

std::vector<QByteArray> names(const QByteArray& folder)
{
    std::vector<QByteArray> result;
    DIR* dir = ::opendir(folder.constData());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            result.emplace_back(entry->d_name);
    }
    if (dir)
        ::closedir(dir);
    return result;
}

QByteArray fileContent(const QByteArray& path)
{
    QByteArray content;
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t got = 0; fd >= 0 && (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, got);
    if (fd >= 0)
        ::close(fd);
    return content;
}

void walk(Snapshot& into, const QByteArray& folder, const QByteArray& key)
{
    for (const QByteArray& name : names(folder)) {
        const QByteArray path = folder + '/' + name;
        const QByteArray at = key + '/' + name;
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0)
            continue;
        const QByteArray mode = QByteArray::number(info.st_mode & 07777, 8);
        if (S_ISDIR(info.st_mode)) {
            into.insert(at, {'D', mode});
            walk(into, path, at);
        } else if (S_ISLNK(info.st_mode)) {
            char target[4096];
            const ssize_t length = ::readlink(path.constData(), target, sizeof target);
            into.insert(at, {'L', QByteArray(target, length < 0 ? 0 : length)});
        } else {
            into.insert(at, {'F', mode + ' ' + QByteArray::number(qint64(info.st_mtime)) + ' ' +
                                      fileContent(path)});
        }
    }
}

}  // namespace

void addTree(Snapshot& into, const QByteArray& root, const QByteArray& label)
{
    walk(into, root, label);
}

QMap<QByteArray, int> contentCounts(const Snapshot& snapshot)
{
    QMap<QByteArray, int> counts;
    for (const Entry& entry : snapshot) {
        if (entry.kind == 'F')
            ++counts[entry.value.mid(entry.value.indexOf(' ', entry.value.indexOf(' ') + 1) + 1)];
    }
    return counts;
}

void pinTimes(const QByteArray& root)
{
    for (const QByteArray& name : names(root)) {
        const QByteArray path = root + '/' + name;
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0 || S_ISLNK(info.st_mode))
            continue;
        if (S_ISDIR(info.st_mode)) {
            pinTimes(path);
            continue;
        }
        const struct timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
        ::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW);
    }
}

void emptyTree(const QByteArray& root)
{
    for (const QByteArray& name : names(root)) {
        const QByteArray path = root + '/' + name;
        struct stat info {};
        if (::lstat(path.constData(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            ::chmod(path.constData(), 0700);
            emptyTree(path);
            ::rmdir(path.constData());
        } else {
            ::unlink(path.constData());
        }
    }
}

}  // namespace reliability
