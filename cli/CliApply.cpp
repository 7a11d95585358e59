#include "cli/CliApply.h"

#include "cli/CliJournal.h"
#include "cli/CliPlan.h"
#include "engine/Cls_RenameDiskModel.h"
#include "engine/Cls_RenameDiskReal.h"

CommandResult runCommand(const CliSettings& settings, const std::function<void()>& onStep)
{
    CommandResult result;
    {
        Cls_RenameDiskModel model = previewModel(settings);
        result.preview = runRename(settings, model, [&](const RenameStep&) {
            if (onStep)
                onStep();
        });
    }
    // With nothing planned there is nothing to journal or to run: the model
    // answered from the disk as it is.
    if (!settings.apply || result.preview.renamed == 0)
        return result;
    JournalWriter journal;
    if (!journal.begin(settings.folder, result.preview.steps, result.error))
        return result;
    result.journal = journal.path();
    // The applied run carries out the preview's own steps, so it does what
    // the preview showed and the passes are not run a second time. The
    // steps move over: a run of many files keeps one list of them.
    // A step taken through a temporary name has that name journaled first.
    Cls_RenameDiskReal disk;
    const StepList* steps = nullptr;
    qsizetype current = 0;
    disk.setTemporaryNameListener([&](const QByteArray& temporary) {
        if (steps)
            journal.markTemporary(steps->view(current), temporary);
    });
    RunOutcome plan = std::move(result.preview);
    result.preview = RunOutcome{{}, plan.renamed, plan.skipped, plan.examined};
    result.applied = applyPlan(
        settings.folder, std::move(plan), disk,
        [&](qsizetype number, int error) {
            if (error == 0)
                journal.markDone(number);
            if (onStep)
                onStep();
        },
        [&](const StepList& list, qsizetype number) {
            steps = &list;
            current = number;
        });
    journal.finish();
    result.ranOnDisk = true;
    return result;
}
