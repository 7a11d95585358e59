#pragma once

#include "EngineTestSupport.h"
#include "cli/CliApply.h"
#include "cli/CliOutput.h"
#include "engine/Cls_RenameDiskReal.h"
#include "journal/JournalUndo.h"
#include "support/FaultPlan.h"
#include "support/LoopVolume.h"

#include <QtTest>

#include <sys/wait.h>
#include <unistd.h>

// Defines run<Class>(argc, argv), which main.cpp calls in turn.
#define NEMIROU_CLI_TESTS(Class)                                                                   \
    int run##Class(int argc, char** argv)                                                          \
    {                                                                                              \
        Class test;                                                                                \
        return QTest::qExec(&test, argc, argv);                                                    \
    }

// The settings of a run of folder, from the options as they are typed
// ("--tail --from .jpeg --to .jpg --apply"; an empty text between two
// blanks).
inline CliSettings runOf(const QString& folder, const QString& options)
{
    CliSettings run;
    QString error;
    int status = 0;
    parseCommandLine(QStringList{"nemirou-cli", folder} + options.split(u' '), run, error, status);
    return run;
}

// Undoes the journal at path on the real disk, as nemirou-cli --undo --apply
// does; an unreadable one undoes nothing, and says why.
inline RunOutcome undoAt(const QString& path, bool& complete)
{
    Journal journal;
    QString why;
    if (!readJournal(path, journal, why))
        qWarning() << "cannot read the journal" << path << why;
    Cls_RenameDiskReal disk;
    return undoJournal(journal, disk, &complete);
}
