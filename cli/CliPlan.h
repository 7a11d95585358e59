#pragma once

#include "cli/CliRun.h"

#include <functional>

// Carries out a previewed run on disk, step by step in the preview's order:
// each step that the preview showed as done is renamed, inside the folder it
// names (opened from the run's folder down, never through a link), and
// never onto a taken name; a step the preview showed as skipped is reported
// as it was shown and nothing is done for it. The plan is returned with each
// step's outcome set to what happened to it now; onStep is told each step's
// number and error number, and beforeStep each step's number before it is
// taken.
RunOutcome applyPlan(const QString& folder, RunOutcome plan, Cls_RenameDisk& disk,
                     const std::function<void(qsizetype, int)>& onStep = {},
                     const std::function<void(const StepList&, qsizetype)>& beforeStep = {});
