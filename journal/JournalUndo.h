#pragma once

#include "engine/Cls_RenameDisk.h"
#include "engine/RunOutcome.h"
#include "journal/RenameJournal.h"

// The error of an undo step whose entry is no longer the one the run renamed
// (another file or folder was put at its name since): it is left alone.
constexpr int kChangedSince = 75;

// The reverse run of a journal, last step first, against disk (the model
// for a preview, the real disk to apply). A step is undone only where the
// disk shows it was done (its new name there, its old name free); anything
// else is reported and left alone. Folders are opened from the journal's
// folder one component at a time, never through a link, and a step outside
// that folder is refused. A step taken half-way through a temporary name
// is taken back from there. complete, when given, tells whether every step
// was restored or never done (nothing is left for a later undo).
RunOutcome undoJournal(const Journal& journal, Cls_RenameDisk& disk, bool* complete = nullptr);
