#include "tst_Forms.h"

#include "forms/App.h"
#include "forms/InstanceLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The id of a process that has ended and been reaped.
pid_t deadProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// A lock file as QLockFile writes it, but naming another process id.
QByteArray lockTextNaming(const QString& scratchLock, qint64 pid)
{
    QLockFile probe(scratchLock);
    if (!probe.tryLock(0))
        return {};
    QFile file(scratchLock);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray text = file.readAll();
    file.close();
    probe.unlock();
    const qsizetype lineEnd = text.indexOf('\n');
    return QByteArray::number(pid) + text.mid(lineEnd);
}

}  // namespace

void TestForms::instanceLockLeftByDeadProcessDoesNotBlock()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString lockName = dir.filePath(QStringLiteral("instance.lock"));
    const pid_t dead = deadProcessId();
    const QByteArray text = lockTextNaming(dir.filePath(QStringLiteral("probe.lock")), dead);
    QVERIFY(!text.isEmpty());
    QFile stale(lockName);
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write(text);
    stale.close();

    forms::InstanceLock lock(lockName);
    QVERIFY(!lock.heldByAnother());
    // The lock now belongs to this process.
    qint64 owner = 0;
    QString host, app;
    QVERIFY(QLockFile(lockName).getLockInfo(&owner, &host, &app));
    QCOMPARE(owner, QCoreApplication::applicationPid());
    QVERIFY(!lock.heldByAnother());  // asking again does not count itself
}

void TestForms::instanceLockHeldByLiveHolderBlocks()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString lockName = dir.filePath(QStringLiteral("instance.lock"));
    QLockFile holder(lockName);
    QVERIFY(holder.tryLock(0));
    forms::InstanceLock second(lockName);
    QVERIFY(second.heldByAnother());
    holder.unlock();
    QVERIFY(!second.heldByAnother());
}

// The folder of the process-wide instance lock: the lock is released only at
// exit, so the folder goes after it (exit handlers registered before the
// lock's own run after its release).
static QByteArray g_lockFolder;

static void removeLockFolder()
{
    ::rmdir(g_lockFolder.constData());
}

void TestForms::prevInstanceFirstStart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    dir.setAutoRemove(false);
    g_lockFolder = QFile::encodeName(dir.path());
    std::atexit(removeLockFolder);
    qputenv("XDG_RUNTIME_DIR", g_lockFolder);
    const QString lockName = forms::instanceLockFileName();
    QCOMPARE(QFileInfo(lockName).absolutePath(), dir.path());
    QVERIFY(lockName.endsWith(QStringLiteral("nemirou-%1.lock").arg(::getuid())));
    QVERIFY(!forms::App::PrevInstance());
    QVERIFY(QFileInfo::exists(lockName));
    QVERIFY(!forms::App::PrevInstance());
    // A second start of the program would now find the lock taken.
    QVERIFY(forms::InstanceLock(lockName).heldByAnother());
}

void TestForms::appPathIsExecutableFolder()
{
    QCOMPARE(forms::App::Path(), QCoreApplication::applicationDirPath());
    QCOMPARE(forms::App::Title(), QStringLiteral("Nemirou"));
}
