#pragma once

#include "cli/CliRun.h"
#include "cli/CliSettings.h"

#include <functional>

// A rename command: a preview against the model or, with --apply, the
// journaled run of the rename job (previewed, journaled, carried out).
struct CommandResult {
    RunOutcome preview;  // without --apply
    RunOutcome applied;  // with --apply: what was done, or found nothing to do
    QString journal;     // the journal written, if any
    QString error;       // why the run could not start
};

// onStep is called for every step (for a progress line).
CommandResult runCommand(const CliSettings& settings, const std::function<void()>& onStep = {});
