#include "CliTest.h"

#include <csignal>

// A run killed with SIGKILL part-way, the command line's or the window's,
// leaves a journal whose undo (nemirou-cli --undo --apply) puts back every
// name the run had changed.
class CrashTest : public QObject {
    Q_OBJECT

private slots:
    void killedRunIsUndone_data()
    {
        QTest::addColumn<bool>("window");
        QTest::newRow("command line") << false;
        QTest::newRow("window") << true;
    }
    void killedRunIsUndone()
    {
        QFETCH(bool, window);
        constexpr int kFiles = 4000;
        bool partWay = false;
        for (int attempt = 0; attempt < 6 && !partWay; ++attempt) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid() && QDir(dir.path()).mkdir(u"files"_qs));
            const QString folder = dir.filePath(u"files"_qs);
            // A fresh QDir each time: one caches what it listed.
            const auto count = [&](const char* pattern) {
                return int(
                    QDir(folder).entryList({pattern}, QDir::Files | QDir::CaseSensitive).size());
            };
            for (int i = 0; i < kFiles; ++i)
                QVERIFY(QFile(folder + u"/IMG_%1.jpeg"_qs.arg(i)).open(QIODevice::WriteOnly));
            qputenv("XDG_STATE_HOME", QFile::encodeName(dir.filePath(u"state"_qs)));
            // The run in a child process of its own, journaled as the command
            // line's --apply runs it, or as the window runs it.
            const pid_t child = ::fork();
            if (child == 0) {
                JournalWriter journal(window ? JournalWriter::Front::Window
                                             : JournalWriter::Front::CommandLine);
                runJournaled(runOf(folder, u"--tail --from .jpeg --to .jpg"_qs), journal);
                ::_exit(0);
            }
            // Killed once the first file has its new name.
            bool ended = false;
            while (!(ended = ::waitpid(child, nullptr, WNOHANG) == child) && count("*.jpg") == 0)
                QThread::usleep(50);
            if (!ended) {
                ::kill(child, SIGKILL);
                ::waitpid(child, nullptr, 0);
            }
            const int renamed = count("*.jpg");
            partWay = renamed > 0 && renamed < kFiles;
            qInfo("attempt %d: killed after %d of %d renames", attempt, renamed, kFiles);

            QProcess undo;
            undo.start(NEMIROU_CLI_PATH, {"--undo", "--apply"});
            QVERIFY(undo.waitForFinished(60000));
            qunsetenv("XDG_STATE_HOME");
            QCOMPARE(count("*.jpeg"), kFiles);
            QCOMPARE(count("*.jpg"), 0);
            if (partWay)
                QCOMPARE(undo.exitCode(), 1);  // the steps never taken are reported
        }
        if (!partWay)
            QSKIP("the run always ended before or after the renames; no kill landed part-way");
    }
};

NEMIROU_CLI_TESTS(CrashTest)

#include "tst_Crash.moc"
