#pragma once

#include "cli/CliRun.h"

#include <QByteArray>
#include <QList>
#include <QString>

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
    bool undone = false;
};

QString journalFolder();

// The newest journal of the journal folder; empty when there is none.
QString newestJournal();

class JournalWriter {
public:
    JournalWriter() = default;
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Creates the journal with the plan and syncs it. false with a message
    // when it cannot be written (the run must then not start).
    bool begin(const QString& folder, const StepList& plan, QString& error);
    // The run's number-th step (from 0, skipped steps counted) is done.
    void markDone(qsizetype number);
    // Writes what is buffered and the end mark.
    void finish();
    const QString& path() const { return m_Path; }

private:
    void flush();

    int m_Fd = -1;
    QString m_Path;
    QByteArray m_Buffer;
};

bool readJournal(const QString& path, Journal& journal, QString& error);

// Appends the undone mark and syncs it.
bool markJournalUndone(const QString& path);

// The reverse run of a journal, last step first, against disk (the model
// for a preview, the real disk to apply). A step is undone only where the
// disk shows it was done (its new name there, its old name free); anything
// else is reported and left alone. Folders are opened from the journal's
// folder one component at a time, never through a link, and a step outside
// that folder is refused.
RunOutcome undoJournal(const Journal& journal, Cls_RenameDisk& disk);
