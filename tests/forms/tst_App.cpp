#include "tst_Forms.h"

#include "forms/App.h"
#include "forms/InstanceLock.h"
#include "forms/InstanceRaise.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

namespace {

// The folder of the process-wide instance lock: the lock is released only at
// exit, so the folder goes after it (exit handlers registered before the
// lock's own run after its release).
QByteArray g_lockFolder;

void removeLockFolder()
{
    const QByteArray lock = g_lockFolder + "/nemirou-" + QByteArray::number(::getuid()) + ".lock";
    ::unlink(lock.constData());
    ::unlink((lock + ".socket").constData());
    ::rmdir(g_lockFolder.constData());
}

// Whether another process finds the lock held: a child asks, and answers
// with its exit status.
bool heldInAnotherProcess(const QString& lockName)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(forms::InstanceLock(lockName).heldByAnother() ? 0 : 1);
    int status = 1;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

void TestForms::appPrevInstanceAndPath()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    dir.setAutoRemove(false);
    g_lockFolder = QFile::encodeName(dir.path());
    std::atexit(removeLockFolder);
    const QString name = QStringLiteral("/nemirou-%1.lock").arg(::getuid());
    // A runtime folder that does not exist gives way to the temporary folder.
    qputenv("XDG_RUNTIME_DIR", g_lockFolder + "/missing");
    QCOMPARE(forms::instanceLockFileName(), QDir::tempPath() + name);
    qputenv("XDG_RUNTIME_DIR", g_lockFolder + '/');
    const QString lockName = forms::instanceLockFileName();
    QCOMPARE(lockName, dir.path() + name);

    QVERIFY(!forms::App::PrevInstance());
    QVERIFY(!forms::App::PrevInstance());  // asking again does not count itself
    // It took the lock over: a second start of the program finds it taken.
    QVERIFY(heldInAnotherProcess(lockName));
    // A later start calls the holder, which brings its minimised window back
    // and activates it; nobody listening is no error, and a socket file left
    // behind by an ended holder is replaced.
    QVERIFY(!forms::askToRaise(lockName + ".socket"));
    QVERIFY(QFile(lockName + ".socket").open(QIODevice::WriteOnly));
    forms::App::ListenForLaterStarts();
    QWidget window;
    window.showMinimized();
    QVERIFY(window.isMinimized() && !window.isActiveWindow());
    forms::App::RaisePrevInstance();
    QTRY_VERIFY(!window.isMinimized() && window.isActiveWindow());

    // The application's folder is the working directory, with its bytes; the
    // home folder once that directory is removed.
    const QByteArray folder = g_lockFolder + "/x\xff";
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    const int before = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QCOMPARE(::chdir(folder.constData()), 0);
    const QString path = forms::App::Path();
    ::rmdir(folder.constData());
    const QString removed = forms::App::Path();
    QCOMPARE(::fchdir(before), 0);
    ::close(before);
    QCOMPARE(path, dir.path() + QStringLiteral("/x") + QChar(0xDCFF));
    QCOMPARE(removed, QDir::homePath());
}

void TestForms::instanceLockNotALock_data()
{
    QTest::addColumn<QString>("found");
    QTest::addColumn<bool>("taken");  // the lock is taken at its name, else at the next one
    QTest::newRow("garbage") << "garbage" << true;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("link to a file elsewhere") << "link" << false;
    QTest::newRow("another user's file") << "owner" << false;
    QTest::newRow("held by a process that was killed") << "killed" << true;
}

// Whatever sits at the lock's name, the first start runs and a second is
// kept out, also in another process, and what sits there keeps its kind and
// owner.
void TestForms::instanceLockNotALock()
{
    QFETCH(QString, found);
    QFETCH(bool, taken);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString lockName = dir.filePath(QStringLiteral("x.lock"));
    const QByteArray raw = QFile::encodeName(lockName);
    const auto writeFile = [](const QString& path, const QByteArray& content) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    };
    if (found == u"garbage") {
        QVERIFY(writeFile(lockName, QByteArray("\xff\x00not a lock\n99999999\n", 22)));
    } else if (found == u"folder") {
        QCOMPARE(::mkdir(raw.constData(), 0700), 0);
    } else if (found == u"link") {
        QVERIFY(writeFile(dir.filePath(QStringLiteral("outside")), "keep"));
        QCOMPARE(::symlink("outside", raw.constData()), 0);
    } else if (found == u"owner") {
        if (::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        QVERIFY(writeFile(lockName, "keep"));
        QCOMPARE(::chown(raw.constData(), 65534, 65534), 0);
    } else {  // a holder killed while it holds the lock
        const pid_t holder = ::fork();
        if (holder == 0) {
            forms::InstanceLock lock(lockName);
            if (!lock.heldByAnother())
                ::raise(SIGKILL);
            ::_exit(1);
        }
        int status = 0;
        QVERIFY(::waitpid(holder, &status, 0) == holder && WIFSIGNALED(status));
    }
    const auto state = [&] {
        struct stat st {};
        return ::lstat(raw.constData(), &st) == 0 ? std::pair(st.st_mode, st.st_uid)
                                                  : std::pair(0u, 0u);
    };
    const auto before = state();

    forms::InstanceLock first(lockName);
    QVERIFY(!first.heldByAnother());
    QCOMPARE(first.socketName(), lockName + (taken ? "" : ".1") + ".socket");
    forms::InstanceLock later(lockName);
    QVERIFY(later.heldByAnother());
    QCOMPARE(later.socketName(), first.socketName());  // the later start calls the holder
    QVERIFY(heldInAnotherProcess(lockName));
    QVERIFY(state() == before);
}
