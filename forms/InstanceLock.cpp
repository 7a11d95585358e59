#include "forms/InstanceLock.h"

#include "runtime/PathSeparator.h"

#include <QDir>

#include <unistd.h>

namespace forms {

InstanceLock::InstanceLock(const QString& fileName) : m_lock(fileName)
{
    // Never stale by age: only a dead owner makes the lock stale, which
    // QLockFile finds out from the process id written in the file.
    m_lock.setStaleLockTime(0);
}

bool InstanceLock::heldByAnother()
{
    if (m_lock.isLocked())
        return false;
    if (m_lock.tryLock(0))
        return false;
    // tryLock has already removed a lock whose owner is dead; what is left is
    // held by a live process. Other errors (an unwritable folder) do not
    // keep the application from starting.
    return m_lock.error() == QLockFile::LockFailedError;
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
