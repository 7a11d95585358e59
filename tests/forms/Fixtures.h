#pragma once

#include "runtime/NameCodec.h"
#include "runtime/VbError.h"
#include "support/ErrorNumber.h"

#include <QTest>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

// Helpers of the forms tests. Entries on disk are made through the lossless
// name codec, so rt::decodeName(bytes) sets up a name that is not UTF-8.
namespace fixtures {

inline bool makeFolder(const QString& path)
{
    return ::mkdir(rt::encodeName(path).constData(), 0755) == 0;
}

inline bool makeFile(const QString& path)
{
    const int fd = ::open(rt::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    return fd >= 0 && ::close(fd) == 0;
}

inline bool makeLink(const char* target, const QString& path)
{
    return ::symlink(target, rt::encodeName(path).constData()) == 0;
}

inline bool removeFolder(const QString& path)
{
    return ::rmdir(rt::encodeName(path).constData()) == 0;
}

// Removes a tree by its bytes: QTemporaryDir cannot remove names that are not UTF-8.
inline void removeTree(const QByteArray& path)
{
    ::nftw(
        path.constData(),
        [](const char* entry, const struct stat*, int, struct FTW*) { return ::remove(entry); }, 16,
        FTW_DEPTH | FTW_PHYS);
}

// A double click as a user makes it: press and release, then the second press.
inline void doubleClick(QWidget* viewport, QPoint at)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

}  // namespace fixtures
