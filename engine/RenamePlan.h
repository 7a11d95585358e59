#pragma once

#include "engine/RunOutcome.h"

#include <functional>

// Carries out a previewed run on disk, step by step in the preview's order:
// each step that the preview showed as done is renamed, inside the folder it
// names (opened from the run's folder down, never through a link), and
// never onto a taken name; a step the preview showed as skipped is reported
// as it was shown and nothing is done for it. The plan is returned with each
// step's outcome set to what happened to it now; onStep is told each step
// (by its number in the plan, its outcome set) once it is over, and
// beforeStep each step about to be taken.
using PlanStepHook = std::function<void(const StepList& steps, qsizetype number)>;
RunOutcome applyPlan(const QString& folder, RunOutcome plan, Cls_RenameDisk& disk,
                     const PlanStepHook& onStep = {}, const PlanStepHook& beforeStep = {});
