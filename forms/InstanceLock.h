#pragma once

#include <QLockFile>
#include <QString>

// The lock behind the previous-instance test, kept apart so that it can be
// exercised on a file of one's own choosing.
namespace forms {

class InstanceLock {
public:
    explicit InstanceLock(const QString& fileName);
    // Takes the lock unless another live process holds it. A lock left by a
    // process that died is removed and taken. Returns true when another live
    // process holds it; a lock that cannot be written at all does not count,
    // so the application still starts.
    bool heldByAnother();

private:
    QLockFile m_lock;
};

// <$XDG_RUNTIME_DIR or the temporary folder>/nemirou-<uid>.lock
QString instanceLockFileName();

}  // namespace forms
