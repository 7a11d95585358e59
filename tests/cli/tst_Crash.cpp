#include "cli/CliRun.h"
#include "journal/RenameJournal.h"
#include "runtime/NameCodec.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kFiles = 4000;

int countEnding(const QByteArray& folder, const char* ending)
{
    int count = 0;
    DIR* dir = ::opendir(folder.constData());
    while (const dirent* entry = dir ? ::readdir(dir) : nullptr) {
        if (QByteArray(entry->d_name).endsWith(ending))
            ++count;
    }
    if (dir)
        ::closedir(dir);
    return count;
}

bool journalBegun(const QString& folder)
{
    const QStringList names = QDir(folder).entryList({"*.journal"}, QDir::Files);
    if (names.isEmpty())
        return false;
    QFile file(folder + u'/' + names[0]);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("\nbegin\n");
}

// A run of the folder in a child process of its own, journaled as the
// command line's --apply runs it, or as the window runs it.
pid_t startRun(const QString& folder, bool window)
{
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    CliSettings settings;
    settings.head = false;
    settings.from = u".jpeg"_qs;
    settings.to = u".jpg"_qs;
    settings.folder = folder;
    JournalWriter journal(window ? JournalWriter::Front::Window
                                 : JournalWriter::Front::CommandLine);
    runJournaled(settings, journal);
    ::_exit(0);
}

}  // namespace

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
        bool partWay = false;
        for (int attempt = 0; attempt < 6 && !partWay; ++attempt) {
            QTemporaryDir dir;
            QVERIFY(dir.isValid());
            const QByteArray folder = rt::encodeName(dir.path() + "/files");
            QCOMPARE(::mkdir(folder.constData(), 0755), 0);
            for (int i = 0; i < kFiles; ++i) {
                const QByteArray path = folder + "/IMG_" + QByteArray::number(i) + ".jpeg";
                ::close(::open(path.constData(), O_WRONLY | O_CREAT, 0644));
            }
            qputenv("XDG_STATE_HOME", rt::encodeName(dir.path() + "/state"));
            const pid_t child = startRun(rt::decodeName(folder), window);
            bool ended = false;
            while (!(ended = ::waitpid(child, nullptr, WNOHANG) == child) &&
                   !journalBegun(dir.path() + "/state/nemirou/journal"))
                QThread::usleep(50);
            QThread::usleep(static_cast<unsigned long>(attempt) * 2000);
            if (!ended) {
                ::kill(child, SIGKILL);
                ::waitpid(child, nullptr, 0);
            }
            const int renamed = countEnding(folder, ".jpg");
            partWay = renamed > 0 && renamed < kFiles;
            qInfo("attempt %d: killed after %d of %d renames", attempt, renamed, kFiles);

            QProcess undo;
            undo.start(NEMIROU_CLI_PATH, {"--undo", "--apply"});
            QVERIFY(undo.waitForFinished(60000));
            qunsetenv("XDG_STATE_HOME");
            QCOMPARE(countEnding(folder, ".jpeg"), kFiles);
            QCOMPARE(countEnding(folder, ".jpg"), 0);
            if (partWay)
                QCOMPARE(undo.exitCode(), 1);  // the steps never taken are reported
        }
        if (!partWay)
            QSKIP("the run always ended before or after the renames; no kill landed part-way");
    }
};

int runCrashTests(int argc, char** argv)
{
    CrashTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Crash.moc"
