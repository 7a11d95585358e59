#include "tst_Forms.h"

#include "forms/App.h"
#include "forms/InstanceLock.h"
#include "forms/InstanceRaise.h"

#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The folder of the process-wide instance lock: the lock is released only at
// exit, so the folder goes after it (exit handlers registered before the
// lock's own run after its release).
QByteArray g_lockFolder;

void removeLockFolder()
{
    ::unlink(QFile::encodeName(forms::instanceLockFileName()).constData());
    ::rmdir(g_lockFolder.constData());
}

// A child that takes the lock and then waits to be killed; -1 when it could
// not take it.
pid_t startHolder(const QString& lockName)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        forms::InstanceLock lock(lockName);
        const char answer = lock.heldByAnother() ? 'n' : 'y';
        (void)!::write(ready[1], &answer, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char answer = 0;
    const bool took = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
    if (!took && child > 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        return -1;
    }
    return child;
}

}  // namespace

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

    QVERIFY(!forms::App::PrevInstance());
    QVERIFY(!forms::App::PrevInstance());  // asking again does not count itself
    // It took the lock over: a second start of the program finds it taken.
    QVERIFY(forms::InstanceLock(lockName).heldByAnother());

    // The application's folder is the working directory, with its bytes.
    const QByteArray folder = g_lockFolder + "/x\xff";
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    const int before = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    QCOMPARE(::chdir(folder.constData()), 0);
    const QString path = forms::App::Path();
    QCOMPARE(::fchdir(before), 0);
    ::close(before);
    ::rmdir(folder.constData());
    QCOMPARE(path, dir.path() + QStringLiteral("/x") + QChar(0xDCFF));
}

// A later start finds the lock held and calls its holder, which brings its
// minimised window back and activates it; nobody listening is no error.
void TestForms::raiseOnLaterStart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString lockName = dir.filePath(QStringLiteral("x.lock"));
    forms::InstanceLock first(lockName);
    QVERIFY(!first.heldByAnother());
    forms::InstanceLock later(lockName);
    QVERIFY(later.heldByAnother());
    QCOMPARE(later.socketName(), first.socketName());
    QVERIFY(!forms::askToRaise(later.socketName()));
    // A socket file left behind by an ended holder is replaced.
    QVERIFY(QFile(first.socketName()).open(QIODevice::WriteOnly));
    const std::unique_ptr<QLocalServer> server(forms::listenForRaise(first.socketName()));
    QVERIFY(server);

    QWidget window;
    window.showMinimized();
    QVERIFY(window.isMinimized() && !window.isActiveWindow());
    QVERIFY(forms::askToRaise(later.socketName()));
    QTRY_VERIFY(!window.isMinimized() && window.isActiveWindow());
}

void TestForms::instanceLockNotALock_data()
{
    QTest::addColumn<QString>("found");
    QTest::newRow("garbage") << "garbage";
    QTest::newRow("empty file") << "empty";
    QTest::newRow("folder") << "folder";
    QTest::newRow("link to a file elsewhere") << "link";
    QTest::newRow("no write permission") << "readonly";
    QTest::newRow("another user's file") << "owner";
    QTest::newRow("held by a process that was killed") << "killed";
}

// Whatever sits at the lock's name, the first start runs and a second is
// kept out, and a thing that is not ours is left as it was. A live holder
// keeps a second start out; once it is killed its lock is gone.
void TestForms::instanceLockNotALock()
{
    QFETCH(QString, found);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString lockName = dir.filePath(QStringLiteral("x.lock"));
    const QByteArray raw = QFile::encodeName(lockName);
    const QByteArray outside = QFile::encodeName(dir.filePath(QStringLiteral("outside")));
    const auto writeFile = [](const QByteArray& path, const QByteArray& content, mode_t mode) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, mode);
        const bool ok =
            fd >= 0 && ::write(fd, content.constData(), content.size()) == content.size();
        ::close(fd);
        return ok;
    };
    if (found == u"garbage") {
        QVERIFY(writeFile(raw, QByteArray("\xff\x00not a lock\n99999999\n", 22), 0600));
    } else if (found == u"empty") {
        QVERIFY(writeFile(raw, {}, 0600));
    } else if (found == u"folder") {
        QCOMPARE(::mkdir(raw.constData(), 0700), 0);
    } else if (found == u"link") {
        QVERIFY(writeFile(outside, "keep", 0600));
        QCOMPARE(::symlink(outside.constData(), raw.constData()), 0);
    } else if (found == u"killed") {
        const pid_t holder = startHolder(lockName);
        QVERIFY(holder > 0 && forms::InstanceLock(lockName).heldByAnother());
        QCOMPARE(::kill(holder, SIGKILL), 0);
        QCOMPARE(::waitpid(holder, nullptr, 0), holder);
    } else if (found == u"readonly") {
        QVERIFY(writeFile(raw, "keep", 0400));
    } else {
        if (::geteuid() != 0)
            QSKIP("giving a file to another user needs root");
        QVERIFY(writeFile(raw, "keep", 0666));
        QCOMPARE(::chown(raw.constData(), 65534, 65534), 0);
    }

    // What sits at the name, as seen through it: kind, owner and content.
    const auto state = [&] {
        struct stat st {};
        QFile file(lockName);
        const QByteArray content = file.open(QIODevice::ReadOnly) ? file.readAll() : "-";
        return ::lstat(raw.constData(), &st) != 0
                   ? QByteArray("gone")
                   : QByteArray::number(st.st_mode) + ' ' + QByteArray::number(st.st_uid) + ' ' +
                         content;
    };
    const QByteArray before = state();

    forms::InstanceLock first(lockName);
    QVERIFY(!first.heldByAnother());
    QVERIFY(forms::InstanceLock(lockName).heldByAnother());
    QCOMPARE(startHolder(lockName), pid_t(-1));  // another process is kept out too
    if (found != u"garbage" && found != u"empty" && found != u"killed")
        QCOMPARE(state(), before);
}
