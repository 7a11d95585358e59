#include "DiskFixture.h"

#include <QtTest>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace fixture {

void writeFile(const QByteArray& path, const QByteArray& content, mode_t mode)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QVERIFY2(fd >= 0, path.constData());
    QCOMPARE(::write(fd, content.constData(), content.size()), ssize_t(content.size()));
    QCOMPARE(::fchmod(fd, mode), 0);
    ::close(fd);
}

QByteArray readFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return QByteArray("<missing>");
    QByteArray content;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0)
        content.append(buffer, got);
    ::close(fd);
    return content;
}

void makeFolder(const QByteArray& path, mode_t mode)
{
    QVERIFY2(::mkdir(path.constData(), 0700) == 0, path.constData());
    QCOMPARE(::chmod(path.constData(), mode), 0);
}

void makeLink(const QByteArray& target, const QByteArray& path)
{
    QVERIFY2(::symlink(target.constData(), path.constData()) == 0, path.constData());
}

QByteArray linkTarget(const QByteArray& path)
{
    char buffer[4096];
    const ssize_t length = ::readlink(path.constData(), buffer, sizeof buffer);
    return length < 0 ? QByteArray() : QByteArray(buffer, length);
}

bool exists(const QByteArray& path)
{
    struct stat status {};
    return ::lstat(path.constData(), &status) == 0;
}

struct stat statusOf(const QByteArray& path)
{
    struct stat status {};
    ::lstat(path.constData(), &status);
    return status;
}

mode_t permissions(const QByteArray& path)
{
    return statusOf(path).st_mode & 07777;
}

void removeTree(const QByteArray& path)
{
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0)
        return;
    if (!S_ISDIR(status.st_mode)) {
        ::unlink(path.constData());
        return;
    }
    ::chmod(path.constData(), (status.st_mode & 07777) | S_IRWXU);
    if (DIR* dir = ::opendir(path.constData())) {
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                removeTree(path + '/' + entry->d_name);
        }
        ::closedir(dir);
    }
    ::rmdir(path.constData());
}

}  // namespace fixture
