// nemirou-cli: the window's rename run from the command line, with a
// preview that the applied run follows step for step, a journal and undo.
#include "cli/CliApply.h"
#include "cli/CliOutput.h"
#include "cli/CliRun.h"
#include "cli/CliSettings.h"
#include "cli/CliText.h"
#include "engine/Cls_RenameDiskModel.h"
#include "engine/Cls_RenameDiskReal.h"
#include "journal/JournalUndo.h"
#include "journal/RenameJournal.h"
#include "journal/RunLock.h"
#include "runtime/FileDateTime.h"
#include "runtime/NameCodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void printLine(FILE* to, const QString& text)
{
    std::fputs(text.toUtf8().constData(), to);
    std::fputc('\n', to);
}

int usageError(const QString& message)
{
    printLine(stderr, QStringLiteral("nemirou-cli: ") + message);
    return 2;
}

// A progress line on stderr while a run that lasts over a second goes on;
// only on a terminal.
class Progress {
public:
    Progress() : m_Shown(::isatty(STDERR_FILENO) == 1) { m_Clock.start(); }
    ~Progress()
    {
        if (m_Drawn)
            std::fputs("\r\033[K", stderr);
    }
    void step()
    {
        ++m_Steps;
        if (!m_Shown || (m_Steps & 255) != 0 || m_Clock.elapsed() < 1000)
            return;
        std::fprintf(stderr, "\r%s", CliText::tr("%1 steps...").arg(m_Steps).toUtf8().constData());
        m_Drawn = true;
    }

private:
    QElapsedTimer m_Clock;
    qint64 m_Steps = 0;
    bool m_Shown;
    bool m_Drawn = false;
};

void report(const CliSettings& settings, const RunOutcome& outcome, bool applied,
            const QString& journal, const QString& summary)
{
    if (settings.json) {
        const QByteArray json = outcomeJson(outcome, applied, journal);
        std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
        return;
    }
    const QByteArray lines = stepLines(outcome, colourWanted());
    std::fwrite(lines.constData(), 1, static_cast<size_t>(lines.size()), stdout);
    printLine(stdout, summary);
}

int runUndo(const CliSettings& settings)
{
    const QString path = settings.journal.isEmpty() ? newestJournal() : settings.journal;
    if (path.isEmpty())
        return usageError(CliText::tr("no run to undo in %1").arg(journalFolder()));
    Journal journal;
    QString error;
    if (!readJournal(path, journal, error))
        return usageError(CliText::tr("cannot read the journal %1: %2").arg(path, error));
    if (journal.undone) {
        printLine(stderr, QStringLiteral("nemirou-cli: ") +
                              CliText::tr("the journal %1 was undone already").arg(path));
        return 1;
    }
    if (!settings.apply) {
        Cls_RenameDiskModel model;
        const RunOutcome outcome = undoJournal(journal, model);
        report(settings, outcome, false, path,
               CliText::tr(
                   "Undo preview: %1 to restore, %2 left alone. Nothing was changed; add --apply "
                   "to undo.")
                   .arg(outcome.renamed)
                   .arg(outcome.skipped));
        return exitStatusOf(outcome);
    }
    RunLock lock(journal.folder);
    if (!lock.tryLock()) {
        printLine(stderr,
                  QStringLiteral("nemirou-cli: ") +
                      CliText::tr("a run of %1 is under way; undo it when the run has ended")
                          .arg(journal.folder));
        return 1;
    }
    Cls_RenameDiskReal disk;
    bool complete = false;
    const RunOutcome outcome = undoJournal(journal, disk, &complete);
    if (complete)
        markJournalUndone(path);
    report(settings, outcome, true, path,
           CliText::tr("%1 restored, %2 left alone.").arg(outcome.renamed).arg(outcome.skipped));
    return exitStatusOf(outcome);
}

int listJournalsCommand(const CliSettings& settings)
{
    const QList<JournalSummary> journals = listJournals();
    if (settings.json) {
        const QByteArray json = journalsJson(journals);
        std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
        return 0;
    }
    if (journals.isEmpty())
        printLine(stdout, CliText::tr("no journal in %1").arg(journalFolder()));
    for (const JournalSummary& journal : journals) {
        printLine(stdout,
                  QStringLiteral("%1  %2  %3  %4  %5")
                      .arg(journal.when.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_qs),
                           (journal.madeBy == u"window" ? CliText::tr("window")
                                                        : CliText::tr("command line")),
                           CliText::tr("%n step(s)", nullptr, int(journal.steps)),
                           journal.undone ? CliText::tr("undone") : CliText::tr("not undone"),
                           journal.folder));
    }
    return 0;
}

int runRenames(const CliSettings& settings)
{
    struct stat info {};
    const QByteArray folder = rt::encodeName(settings.folder);
    if (::stat(folder.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return usageError(CliText::tr("no such folder: %1").arg(settings.folder));
    // A folder that cannot be listed would pass for an empty one.
    if (DIR* dir = ::opendir(folder.constData()))
        ::closedir(dir);
    else
        return usageError(CliText::tr("cannot read the folder %1: %2")
                              .arg(settings.folder, QString::fromLocal8Bit(std::strerror(errno))));

    Progress progress;
    const CommandResult result = runCommand(settings, [&] { progress.step(); });
    if (!result.error.isEmpty())
        return usageError(CliText::tr("cannot write the journal: %1").arg(result.error));
    if (!settings.apply) {
        const RunOutcome& plan = result.preview;
        report(settings, plan, false, QString(),
               CliText::tr("Preview: %1 to rename, %2 skipped, %3 examined. Nothing was changed; "
                           "add --apply to rename.")
                   .arg(plan.renamed)
                   .arg(plan.skipped)
                   .arg(plan.examined));
        return exitStatusOf(plan);
    }
    const RunOutcome& done = result.applied;
    QString summary = CliText::tr("%1 renamed, %2 skipped, %3 examined.")
                          .arg(done.renamed)
                          .arg(done.skipped)
                          .arg(done.examined);
    if (!result.journal.isEmpty())
        summary += u'\n' + CliText::tr("Journal: %1 (undo with --undo)").arg(result.journal);
    report(settings, done, true, result.journal, summary);
    return exitStatusOf(done);
}

}  // namespace

int main(int argc, char** argv)
{
    rt::pinLocalTimeZone();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nemirou-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(NEMIROU_VERSION));
    QTranslator translator;
    if (translator.load(QLocale(), QStringLiteral("nemirou-cli"), QStringLiteral("_"),
                        QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&translator);
    // Qt's own texts (the option parser's errors), where they are installed.
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    // The arguments through the name codec: a folder whose name is not
    // UTF-8 keeps its bytes.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(rt::decodeName(QByteArray(argv[i])));
    CliSettings settings;
    QString error;
    int exitCode = 2;
    if (!parseCommandLine(arguments, settings, error, exitCode))
        return error.isEmpty() ? exitCode : usageError(error);
    // Scripts read the JSON answer: its texts stay English in every locale.
    if (settings.json) {
        QCoreApplication::removeTranslator(&translator);
        std::setlocale(LC_MESSAGES, "C");  // strerror
    }
    if (settings.journals)
        return listJournalsCommand(settings);
    return settings.undo ? runUndo(settings) : runRenames(settings);
}
