#include "DiskFixture.h"

#include "runtime/NameCodec.h"

#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace disk {

void makeFile(const QString& path, const QByteArray& content)
{
    const int fd = ::open(rt::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY2(fd >= 0, qPrintable(path));
    QCOMPARE(::write(fd, content.constData(), content.size()), content.size());
    ::close(fd);
}

void makeFolder(const QString& path)
{
    QVERIFY2(::mkdir(rt::encodeName(path).constData(), 0755) == 0, qPrintable(path));
}

void makeLink(const QString& target, const QString& path)
{
    QVERIFY2(::symlink(rt::encodeName(target).constData(), rt::encodeName(path).constData()) == 0,
             qPrintable(path));
}

QByteArray content(const QString& path)
{
    QByteArray result;
    const int fd = ::open(rt::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        result.append(buffer, n);
    ::close(fd);
    return result;
}

bool exists(const QString& path)
{
    struct stat info {};
    return ::lstat(rt::encodeName(path).constData(), &info) == 0;
}

bool writable(const QString& path)
{
    struct stat info {};
    return ::lstat(rt::encodeName(path).constData(), &info) == 0 &&
           (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

QList<QByteArray> rawNames(const QString& folder)
{
    QList<QByteArray> names;
    DIR* dir = ::opendir(rt::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

QStringList normalFileNames(const QString& folder)
{
    QStringList names;
    for (const QByteArray& raw : rawNames(folder)) {
        struct stat info {};
        const QString name = rt::decodeName(raw);
        if (!raw.startsWith('.') &&
            ::stat(rt::encodeName(join(folder, name)).constData(), &info) == 0 &&
            S_ISREG(info.st_mode))
            names.append(name);
    }
    return names;
}

namespace {
int giveWrite(const char* path, const struct stat* info, int type, FTW*)
{
    if (type == FTW_D)
        ::chmod(path, info->st_mode | S_IRWXU);
    else if (type == FTW_F)
        ::chmod(path, info->st_mode | S_IWUSR);
    return 0;
}

int removeEntry(const char* path, const struct stat*, int, FTW* walk)
{
    if (walk->level > 0)
        ::remove(path);
    return 0;
}
}  // namespace

void emptyFolder(const QString& path)
{
    const QByteArray osPath = rt::encodeName(path);
    ::nftw(osPath.constData(), giveWrite, 16, FTW_PHYS);
    ::nftw(osPath.constData(), removeEntry, 16, FTW_PHYS | FTW_DEPTH);
}

bool setImmutable(const QString& path, bool on)
{
    const int fd = ::open(rt::encodeName(path).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

}  // namespace disk
