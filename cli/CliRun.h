#pragma once

#include "cli/CliSettings.h"
#include "engine/Cls_RenameDisk.h"
#include "engine/Cls_RenameDiskModel.h"
#include "engine/Cls_RenameJournal.h"
#include "engine/Cls_RenameStep.h"
#include "engine/RunOutcome.h"

#include <functional>

// Runs the rename job with the settings against disk. Each step is kept and
// also handed to onStep when one is given (the journal marks steps so).
RunOutcome runRename(const CliSettings& settings, Cls_RenameDisk& disk,
                     const std::function<void(const RenameStep&)>& onStep = {});

// Runs the rename job with the settings on the real disk, journaled: it
// previews, records the plan in journal, then carries the plan out.
RunOutcome runJournaled(const CliSettings& settings, Cls_RenameJournal& journal,
                        const std::function<void(const RenameStep&)>& onStep = {});

// The model a preview of the settings runs against.
Cls_RenameDiskModel previewModel(const CliSettings& settings);

// The exit status of a run: 0 when every step went well and every folder
// was read, otherwise 1.
int exitStatusOf(const RunOutcome& outcome);

// A step's status word: ok, exists, invalid or error.
QString stepStatus(const RenameStep& step);
// The platform's message for a failed step; empty for a step that went well.
QString stepMessage(const RenameStep& step);
