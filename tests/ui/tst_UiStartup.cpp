// The built executable: single instance and the start without a display.
#include "tst_Ui.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Starts the application with its own runtime folder, where it keeps its lock.
void start(QProcess& app, const QString& runtimeDir, bool withDisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    if (withDisplay)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    app.setProcessEnvironment(env);
    app.start(QStringLiteral(NEMIROU_EXECUTABLE), {});
}

}  // namespace

void TestUi::secondInstanceEndsAtOnce()
{
    QTemporaryDir runtimeDir;
    QVERIFY(runtimeDir.isValid());
    QProcess first;
    start(first, runtimeDir.path(), true);
    // The first instance holds its lock once a file shows in the runtime folder.
    QVERIFY(QTest::qWaitFor(
        [&] { return !QDir(runtimeDir.path()).isEmpty() || first.state() == QProcess::NotRunning; },
        120000));
    QCOMPARE(first.state(), QProcess::Running);

    QProcess second;
    start(second, runtimeDir.path(), true);
    QVERIFY(second.waitForFinished(120000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(second.readAllStandardError().isEmpty());
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    QVERIFY(first.waitForFinished(120000));
}

void TestUi::withoutDisplayOneLineAndExitCode1()
{
    QTemporaryDir runtimeDir;
    QProcess app;
    start(app, runtimeDir.path(), false);
    QVERIFY(app.waitForFinished(120000));
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 1);
    const QByteArray error = app.readAllStandardError();
    QVERIFY(error.startsWith("nemirou: no display found") && error.endsWith('\n'));
    QCOMPARE(error.count('\n'), 1);
    QVERIFY(QDir(runtimeDir.path()).isEmpty());  // ended before taking the lock
}
