#include "cli/CliPlan.h"

#include "cli/CliFolderWalk.h"
#include "runtime/NameCodec.h"
#include "runtime/VbError.h"

#include <cerrno>

RunOutcome applyPlan(const QString& folder, RunOutcome plan, Cls_RenameDisk& disk,
                     const std::function<void(const RenameStep&)>& onStep)
{
    plan.renamed = 0;
    plan.skipped = 0;
    FolderWalk walk(disk, folder);
    for (qsizetype i = 0; i < plan.steps.size(); ++i) {
        RenameStep step = plan.steps[i];
        if (step.error == 0) {
            const Cls_RenameDisk::Handle handle =
                step.toFolder.isNull() ? walk.at(step.folder) : Cls_RenameDisk::kNoFolder;
            const QByteArray from = rt::encodeName(step.fromName);
            if (handle == Cls_RenameDisk::kNoFolder) {
                step.systemError = ENOENT;
                step.error = rt::kPathNotFound;
            } else {
                step.systemError =
                    disk.rename(handle, from, rt::encodeName(step.toName), step.isFolder);
                step.error = step.systemError == 0
                                 ? 0
                                 : disk.renameErrorNumber(handle, from, step.systemError);
            }
            if (step.error == 0 && step.isFolder) {
                walk.forget(step.from());
                walk.forget(step.to());
            }
            plan.steps.setOutcome(i, step.error, step.systemError);
        }
        (step.error == 0 ? plan.renamed : plan.skipped) += 1;
        if (onStep)
            onStep(step);
    }
    return plan;
}
