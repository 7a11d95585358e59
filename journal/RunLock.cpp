#include "journal/RunLock.h"

#include "journal/RenameJournal.h"
#include "runtime/NameCodec.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

RunLock::RunLock(const QString& folder) : m_Folder(folder) {}

RunLock::~RunLock()
{
    if (m_Fd >= 0)
        ::close(m_Fd);
}

void RunLock::lock()
{
    take(true);
}

bool RunLock::tryLock()
{
    return take(false);
}

bool RunLock::take(bool wait)
{
    if (m_Fd >= 0)
        return true;
    struct stat folder {};
    QByteArray where;
    try {
        if (::stat(rt::encodeName(m_Folder).constData(), &folder) != 0)
            return true;
        QString locks = journalFolder();  // .../nemirou/journal
        locks.chop(QStringLiteral("journal").size());
        where = rt::encodeName(locks) + "locks";
    } catch (...) {
        return true;
    }
    // The state folder may not be there yet: the first run makes it.
    for (qsizetype i = 1; i <= where.size(); ++i) {
        if (i == where.size() || where[i] == '/')
            ::mkdir(where.left(i).constData(), 0700);
    }
    const QByteArray name = where + '/' + QByteArray::number(quint64(folder.st_dev)) + '-' +
                            QByteArray::number(quint64(folder.st_ino)) + ".lock";
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;
    int result = 0;
    do {
        result = ::flock(fd, wait ? LOCK_EX : LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        const int error = errno;
        ::close(fd);
        return error != EWOULDBLOCK;
    }
    m_Fd = fd;
    return true;
}
