// The built executable: single instance and the start without a display.
#include "tst_Ui.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QProcessEnvironment environment(const QString& runtimeDir, bool withDisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (withDisplay)
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    else
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return env;
}

}  // namespace

void TestUi::secondInstanceEndsAtOnce()
{
    QTemporaryDir runtimeDir;
    QVERIFY(runtimeDir.isValid());
    QProcess first;
    first.setProcessEnvironment(environment(runtimeDir.path(), true));
    first.start(QStringLiteral(NEMIROU_EXECUTABLE), {});
    QVERIFY(first.waitForStarted());
    // The first instance holds its lock once a file shows in the runtime folder.
    QVERIFY(QTest::qWaitFor(
        [&] { return !QDir(runtimeDir.path()).isEmpty() || first.state() != QProcess::Running; },
        120000));
    QCOMPARE(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(environment(runtimeDir.path(), true));
    second.start(QStringLiteral(NEMIROU_EXECUTABLE), {});
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
    app.setProcessEnvironment(environment(runtimeDir.path(), false));
    app.start(QStringLiteral(NEMIROU_EXECUTABLE), {});
    QVERIFY(app.waitForFinished(120000));
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 1);
    const QByteArray error = app.readAllStandardError();
    QVERIFY(error.startsWith("nemirou: no display found"));
    QCOMPARE(error.count('\n'), 1);
    QVERIFY(error.endsWith('\n'));
    QVERIFY(QDir(runtimeDir.path()).isEmpty());  // ended before taking the lock
}
