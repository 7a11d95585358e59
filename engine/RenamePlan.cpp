#include "engine/RenamePlan.h"

#include "engine/FolderWalk.h"
#include "runtime/NameCodec.h"
#include "runtime/VbError.h"

#include <cerrno>

RunOutcome applyPlan(const QString& folder, RunOutcome plan, Cls_RenameDisk& disk,
                     const PlanStepHook& onStep, const PlanStepHook& beforeStep)
{
    plan.renamed = 0;
    plan.skipped = 0;
    FolderWalk walk(disk, folder);
    QByteArray from;
    QByteArray to;
    for (qsizetype i = 0; i < plan.steps.size(); ++i) {
        const StepList::View step = plan.steps.view(i);
        int error = step.error;
        if (error == 0) {
            const Cls_RenameDisk::Handle handle =
                step.toFolder ? Cls_RenameDisk::kNoFolder : walk.at(step.folder);
            int systemError = 0;
            if (handle == Cls_RenameDisk::kNoFolder) {
                systemError = ENOENT;
                error = rt::kPathNotFound;
            } else {
                if (beforeStep)
                    beforeStep(plan.steps, i);
                rt::encodeNameInto(step.fromName, from);
                rt::encodeNameInto(step.toName, to);
                systemError = disk.rename(handle, from, to, step.isFolder);
                error = systemError == 0 ? 0 : disk.renameErrorNumber(handle, from, systemError);
            }
            if (error == 0 && step.isFolder) {
                const RenameStep done = plan.steps[i];
                walk.forget(done.from());
                walk.forget(done.to());
            }
            plan.steps.setOutcome(i, error, systemError);
        }
        (error == 0 ? plan.renamed : plan.skipped) += 1;
        if (onStep)
            onStep(plan.steps, i);
    }
    return plan;
}
