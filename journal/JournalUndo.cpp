#include "journal/JournalUndo.h"

#include "engine/FolderWalk.h"
#include "engine/Volumes.h"
#include "runtime/NameCodec.h"
#include "runtime/VbError.h"

#include <cerrno>

RunOutcome undoJournal(const Journal& journal, Cls_RenameDisk& disk, bool* complete)
{
    RunOutcome outcome;
    bool everyStep = true;
    FolderWalk walk(disk, journal.folder);
    for (qsizetype i = journal.steps.size() - 1; i >= 0; --i) {
        const RenameStep& done = journal.steps[i];
        const QString present = done.to();
        const QString former = done.from();
        RenameStep step = RenameStep::between(present, former);
        const Cls_RenameDisk::Handle handle =
            done.toFolder.isNull() ? walk.at(done.folder) : Cls_RenameDisk::kNoFolder;
        if (handle == Cls_RenameDisk::kNoFolder) {
            step.error = 76;  // outside the journal's folders, or gone
            step.systemError = ENOENT;
        } else {
            QByteArray presentName = rt::encodeName(done.toName);
            const QByteArray formerName = rt::encodeName(done.fromName);
            // Left half-way at its temporary name?
            const QString temporary = journal.temporaries.value({done.from(), done.to()});
            if (!temporary.isEmpty() && !disk.exists(handle, presentName)) {
                const QByteArray name =
                    rt::encodeName(temporary.mid(temporary.lastIndexOf(u'/') + 1));
                if (disk.exists(handle, name)) {
                    presentName = name;
                    step = RenameStep::between(temporary, former);
                }
            }
            std::uint64_t identity = 0;
            if (!disk.exists(handle, presentName)) {
                step.error = 53;  // never done, or gone since
                step.systemError = ENOENT;
                everyStep = everyStep && disk.exists(handle, formerName);
            } else if (done.identity != 0 && (!disk.identity(handle, presentName, identity) ||
                                              !engine_detail::sameEntry(done.identity, identity))) {
                step.error = kChangedSince;  // another entry has the name now
                step.systemError = 0;
            } else {
                step.systemError = disk.rename(handle, presentName, formerName, done.isFolder);
                step.error = step.systemError == 0 ? 0 : rt::errorNumberFromErrno(step.systemError);
                if (step.systemError == 0) {
                    walk.forget(present);
                    walk.forget(former);
                }
            }
        }
        everyStep = everyStep && (step.error == 0 || step.error == 53);
        (step.error == 0 ? outcome.renamed : outcome.skipped) += 1;
        outcome.steps.append(step);
    }
    outcome.examined = journal.steps.size();
    if (complete)
        *complete = everyStep;
    return outcome;
}
