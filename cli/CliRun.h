#pragma once

#include "cli/CliSettings.h"
#include "cli/CliStepList.h"
#include "engine/Cls_RenameDisk.h"
#include "engine/Cls_RenameDiskModel.h"
#include "engine/Cls_RenameStep.h"

#include <functional>

// A folder a run could not open or read to its end.
struct FolderFailure {
    QString path;
    int systemError = 0;
};

// What one run did (or, against the model, would do).
struct RunOutcome {
    StepList steps;
    qint64 renamed = 0;
    qint64 skipped = 0;
    qint64 examined = 0;
    QList<FolderFailure> unreadable = {};
};

// Runs the rename job with the settings against disk. Each step is kept and
// also handed to onStep when one is given (the journal marks steps so).
RunOutcome runRename(const CliSettings& settings, Cls_RenameDisk& disk,
                     const std::function<void(const RenameStep&)>& onStep = {});

// The model a preview of the settings runs against.
Cls_RenameDiskModel previewModel(const CliSettings& settings);

// The error of an undo step whose entry is no longer the one the run renamed
// (another file or folder was put at its name since): it is left alone.
constexpr int kChangedSince = 75;

// The exit status of a run: 0 when every step went well and every folder
// was read, otherwise 1.
int exitStatusOf(const RunOutcome& outcome);

// A step's status word: ok, exists, invalid or error.
QString stepStatus(const RenameStep& step);
// The platform's message for a failed step; empty for a step that went well.
QString stepMessage(const RenameStep& step);
