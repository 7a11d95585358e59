#pragma once

#include "engine/Cls_RenameJournal.h"
#include "engine/RunOutcome.h"
#include "journal/RunLock.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

// The journal of an applied run: one file per run under
// $XDG_STATE_HOME/nemirou/journal/ (default ~/.local/state/...), named by
// the time of the run. It holds the steps the run is about to take, written
// and synced once before the first rename; each step is then marked done as
// it completes, without a sync (an undo reads the disk, so a mark lost in a
// crash does no harm). Paths are kept as percent-encoded bytes.
struct Journal {
    QString path;
    QString folder;           // the folder the run started in
    QList<RenameStep> steps;  // planned, then any done step the plan lacks
    // The temporary path of a step taken in two steps (a change of letter
    // case on a volume that folds case), by its old and new paths: a crash
    // between the two leaves the entry there.
    QHash<QPair<QString, QString>, QString> temporaries;
    bool undone = false;
    QString madeBy;  // "window" or "command line"
};

QString journalFolder();

// The newest journal of the journal folder that is not undone yet; empty
// when there is none.
QString newestJournal();

// The time of the run a journal records (UTC), from its name.
QDateTime journalTime(const QString& path);

// One line of the list of journals.
struct JournalSummary {
    QString path;
    QDateTime when;  // UTC, from the journal's name
    QString folder;
    qsizetype steps = 0;
    bool undone = false;
    QString madeBy;
};
// Every journal, newest first.
QList<JournalSummary> listJournals();

// Journals kept: the newest kKeptJournals, and any younger than
// kKeptJournalDays days; older ones go when a run starts.
constexpr int kKeptJournals = 100;
constexpr int kKeptJournalDays = 90;
void pruneJournals(const QDateTime& now);

// The journal of one run, as the job records it. Creating it also prunes
// old journals and takes the run lock of the run's folder, held until the
// writer goes, so that no undo of that folder runs meanwhile.
class JournalWriter final : public Cls_RenameJournal {
public:
    enum class Front { Window, CommandLine };
    explicit JournalWriter(Front front);
    ~JournalWriter() override;
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Creates the journal with the plan and syncs it; false, with error()
    // set, when it cannot be written.
    bool begin(const QString& folder, const StepList& plan) override;
    // The command line does not run unjournaled; the window does.
    bool isRequired() const override { return m_Front == Front::CommandLine; }
    // Written at once, so that a crash of the process between the two
    // steps leaves the name in the journal.
    void markTemporary(const StepList::View& step, const QByteArray& temporary) override;
    // Buffered, without a sync: an undo reads the disk.
    void markDone(qsizetype number) override;
    // Writes what is buffered and the end mark.
    void finish() override;
    const QString& path() const { return m_Path; }
    const QString& error() const { return m_Error; }

private:
    void flush();

    Front m_Front;
    int m_Fd = -1;
    QString m_Path;
    QString m_Error;
    QByteArray m_Buffer;
    std::unique_ptr<RunLock> m_Lock;
};

bool readJournal(const QString& path, Journal& journal, QString& error);

// Appends the undone mark and syncs it. Only a journal whose every step
// was restored or never done is marked: a later undo tries the rest.
bool markJournalUndone(const QString& path);

