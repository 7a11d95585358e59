#pragma once

#include "cli/CliRun.h"

#include <QByteArray>
#include <QHash>
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
    // The temporary path of a step taken in two steps (a change of letter
    // case on a volume that folds case), by its old and new paths: a crash
    // between the two leaves the entry there.
    QHash<QPair<QString, QString>, QString> temporaries;
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
    // The step is about to be taken through the temporary name (in its
    // folder). Written at once, so that a crash of the process between the
    // two steps leaves the name in the journal.
    void markTemporary(const StepList::View& step, const QByteArray& temporary);
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

// Appends the undone mark and syncs it. Only a journal whose every step
// was restored or never done is marked: a later undo tries the rest.
bool markJournalUndone(const QString& path);

// The reverse run of a journal, last step first, against disk (the model
// for a preview, the real disk to apply). A step is undone only where the
// disk shows it was done (its new name there, its old name free); anything
// else is reported and left alone. Folders are opened from the journal's
// folder one component at a time, never through a link, and a step outside
// that folder is refused. A step taken half-way through a temporary name
// is taken back from there. complete, when given, tells whether every step
// was restored or never done (nothing is left for a later undo).
RunOutcome undoJournal(const Journal& journal, Cls_RenameDisk& disk, bool* complete = nullptr);
