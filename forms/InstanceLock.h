#pragma once

#include <QString>

// The lock behind the previous-instance test, kept apart so that it can be
// exercised on a file of one's own choosing.
namespace forms {

// The lock is an advisory flock on a regular file of the user's own: the
// kernel drops it when the holder ends, however it ends, so a killed process
// never leaves a lock behind, and the file's content means nothing. Whatever
// else is found at the lock's name (a folder, a link, another user's file)
// is passed over for the next name in a fixed sequence, the same for every
// process, so two starts still meet at one lock.
class InstanceLock {
public:
    explicit InstanceLock(const QString& fileName);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock unless another live holder has it; true when one has.
    // When no name in the sequence can be used at all the answer is false,
    // so the application still starts.
    bool heldByAnother();

    // Where the holder of the lock that heldByAnother() took or found
    // listens for a later start (a local socket beside that lock); empty
    // when no lock could be used.
    QString socketName() const;

private:
    QString m_fileName;
    QByteArray m_usedName;
    int m_fd = -1;
};

// <$XDG_RUNTIME_DIR or the temporary folder>/nemirou-<uid>.lock
QString instanceLockFileName();

}  // namespace forms
