#include "forms/InstanceLock.h"

#include "runtime/PathSeparator.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace forms {
namespace {

// The lock file itself, then these many alternatives beside it.
constexpr int kAlternatives = 8;

enum class Outcome { Taken, Held, Unusable };

// Opens name as a lock: only a regular file owned by this user (never
// through a symbolic link) is used; anything else is unusable.
Outcome tryName(const QByteArray& name, int& fd)
{
    const int opened =
        ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (opened < 0)
        return Outcome::Unusable;
    struct stat st {};
    if (::fstat(opened, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(opened);
        return Outcome::Unusable;
    }
    if (::flock(opened, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(opened);
        return error == EWOULDBLOCK ? Outcome::Held : Outcome::Unusable;
    }
    fd = opened;
    return Outcome::Taken;
}

}  // namespace

InstanceLock::InstanceLock(const QString& fileName) : m_fileName(fileName) {}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceLock::heldByAnother()
{
    if (m_fd >= 0)
        return false;
    const QByteArray base = QFile::encodeName(m_fileName);
    for (int k = 0; k <= kAlternatives; ++k) {
        const QByteArray name = k == 0 ? base : base + '.' + QByteArray::number(k);
        switch (tryName(name, m_fd)) {
        case Outcome::Taken: m_usedName = name; return false;
        case Outcome::Held: m_usedName = name; return true;
        case Outcome::Unusable: break;
        }
    }
    return false;
}

QString InstanceLock::socketName() const
{
    return m_usedName.isEmpty() ? QString() : QFile::decodeName(m_usedName + ".socket");
}

QString instanceLockFileName()
{
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::tempPath();
    if (!folder.endsWith(rt::kPathSeparator))
        folder += rt::kPathSeparator;
    return folder + QStringLiteral("nemirou-%1.lock").arg(::getuid());
}

}  // namespace forms
