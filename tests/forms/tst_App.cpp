#include "tst_Forms.h"

#include "forms/App.h"
#include "forms/InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Leaves the lock of a process that took it and was killed.
bool leaveStaleLock(const QString& lockName)
{
    const pid_t child = ::fork();
    if (child == 0) {
        QLockFile lock(lockName);
        ::_exit(lock.tryLock(0) ? 0 : 1);  // no unlock: the process just ends
    }
    int status = -1;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The folder of the process-wide instance lock: the lock is released only at
// exit, so the folder goes after it (exit handlers registered before the
// lock's own run after its release).
QByteArray g_lockFolder;

void removeLockFolder()
{
    ::rmdir(g_lockFolder.constData());
}

}  // namespace

// PrevInstance takes over a lock left by a dead process.
void TestForms::appPrevInstanceAndPath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    dir.setAutoRemove(false);
    g_lockFolder = QFile::encodeName(dir.path());
    std::atexit(removeLockFolder);
    qputenv("XDG_RUNTIME_DIR", g_lockFolder);
    const QString lockName = forms::instanceLockFileName();
    QCOMPARE(lockName, dir.path() + QStringLiteral("/nemirou-%1.lock").arg(::getuid()));
    QVERIFY(leaveStaleLock(lockName));

    QVERIFY(!forms::App::PrevInstance());
    QVERIFY(!forms::App::PrevInstance());  // asking again does not count itself
    // It took the lock over: a second start of the program finds it taken.
    QVERIFY(forms::InstanceLock(lockName).heldByAnother());
    QCOMPARE(forms::App::Path(), QCoreApplication::applicationDirPath());
}
