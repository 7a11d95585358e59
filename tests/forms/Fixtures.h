#pragma once

#include "runtime/NameCodec.h"

#include <QByteArray>
#include <QString>
#include <QTest>

#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes entries on disk by their raw bytes, so that names that are not UTF-8
// can be set up.
namespace fsfixture {

inline QByteArray bytes(const QString& path)
{
    return rt::encodeName(path);
}

inline bool makeFolder(const QByteArray& path)
{
    return ::mkdir(path.constData(), 0755) == 0;
}

inline bool makeFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

inline bool makeLink(const QByteArray& target, const QByteArray& path)
{
    return ::symlink(target.constData(), path.constData()) == 0;
}

inline bool makeFolder(const QString& path)
{
    return makeFolder(bytes(path));
}
inline bool makeFile(const QString& path)
{
    return makeFile(bytes(path));
}

// Removes a tree by its bytes when it goes out of scope: QTemporaryDir cannot
// remove names that are not UTF-8.
class RemoveOnExit {
public:
    explicit RemoveOnExit(QByteArray path) : m_path(std::move(path)) {}
    ~RemoveOnExit()
    {
        ::nftw(
            m_path.constData(),
            [](const char* path, const struct stat*, int, struct FTW*) { return ::remove(path); },
            16, FTW_DEPTH | FTW_PHYS);
    }
    RemoveOnExit(const RemoveOnExit&) = delete;
    RemoveOnExit& operator=(const RemoveOnExit&) = delete;

private:
    QByteArray m_path;
};

}  // namespace fsfixture
