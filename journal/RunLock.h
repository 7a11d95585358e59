#pragma once

#include <QString>

// Keeps a run and an undo of one folder apart: a lock file of the user's
// own per folder, named after the folder's device and inode numbers (so
// that every spelling of its path is one lock), under
// $XDG_STATE_HOME/nemirou/locks/. The kernel drops the lock when its holder
// ends, however it ends.
class RunLock {
public:
    explicit RunLock(const QString& folder);
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Waits for the lock (a run).
    void lock();
    // Takes the lock only when it is free (an undo): false when another
    // process holds it. Where no lock can be made (the folder or the state
    // folder cannot be reached) both go on without one.
    bool tryLock();

private:
    bool take(bool wait);

    QString m_Folder;
    int m_Fd = -1;
};
