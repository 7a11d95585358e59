#pragma once

#include "cli/CliRun.h"
#include "cli/CliSettings.h"

#include <functional>

// A rename command: the preview against the model and, with --apply, the
// journal and the run on the real disk.
struct CommandResult {
    RunOutcome preview;
    RunOutcome applied;  // empty unless the run was applied
    bool ranOnDisk = false;
    QString journal;  // the journal written, if any
    QString error;    // why the run could not start
};

// onStep is called for every step of either run (for a progress line).
CommandResult runCommand(const CliSettings& settings, const std::function<void()>& onStep = {});
