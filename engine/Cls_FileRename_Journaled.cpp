#include "engine/Cls_FileRename.h"

#include "engine/Cls_RenameDiskModel.h"
#include "engine/RenamePlan.h"
#include "engine/RunOutcome.h"

namespace {

// The job's disk, sink and trail setting, put back however the preview
// ends.
template <typename T> struct Restore {
    T& place;
    T kept;
    ~Restore() { place = kept; }
};

}  // namespace

// The preview is the pass itself against a model of the disk, so the plan
// holds exactly the steps a run without a journal would take; the applied
// run takes them in that order and counts and records them as that run
// would.
bool Cls_FileRename::FncBln_RenameJournaled(bool folders)
{
    const std::int32_t renamedBefore = m_RenameCount;
    const std::int32_t examinedBefore = m_AllFileCount;
    RunOutcome plan;
    {
        Cls_RenameDiskModel model(folders ? Cls_RenameDiskModel::ReadTimes::OfFolders
                                          : Cls_RenameDiskModel::ReadTimes::OfFiles);
        OutcomeCollector collector(plan, &model);
        const Restore<Cls_RenameDisk*> disk{m_Disk, m_Disk};
        const Restore<Cls_RenameStepSink*> sink{m_StepSink, m_StepSink};
        const Restore<bool> keep{m_KeepReport, m_KeepReport};
        m_Disk = &model;
        m_StepSink = &collector;
        m_KeepReport = false;
        if (!(folders ? FncBln_RenameDirectories(m_PathFrom) : FncBln_RenameFiles(m_PathFrom)))
            return false;
    }
    m_RenameCount = renamedBefore;

    // Nothing to rename: no journal, and the steps are what the disk says.
    const bool journaled = plan.renamed != 0 && m_Journal->begin(m_PathFrom, plan.steps);
    if (!journaled && plan.renamed != 0) {
        if (m_Journal->isRequired())
            return false;
        m_AllFileCount = examinedBefore;  // the run goes on unjournaled
        return folders ? FncBln_RenameDirectories(m_PathFrom) : FncBln_RenameFiles(m_PathFrom);
    }
    if (m_StepSink) {
        for (const FolderFailure& failure : std::as_const(plan.unreadable))
            m_StepSink->folderFailed(failure.path, failure.systemError);
    }
    const auto told = [this](const StepList& steps, qsizetype number) {
        if (m_StepSink)
            m_StepSink->step(steps[number]);
    };
    if (!journaled) {
        for (qsizetype i = 0; i < plan.steps.size(); ++i)
            told(plan.steps, i);
        return true;
    }

    // A two-step rename has its temporary name recorded before it starts.
    const StepList* steps = nullptr;
    qsizetype current = 0;
    if (m_Disk == &m_RealDisk) {
        m_RealDisk.setTemporaryNameListener([&](const QByteArray& temporary) {
            if (steps)
                m_Journal->markTemporary(steps->view(current), temporary);
        });
    }
    applyPlan(
        m_PathFrom, std::move(plan), *m_Disk,
        [&](const StepList& list, qsizetype number) {
            const StepList::View step = list.view(number);
            if (step.error == 0) {
                m_Journal->markDone(number);
                try {
                    Sub_AddCount(m_RenameCount);
                    if (m_KeepReport)
                        Sub_AddReportLine(FncStr_JoinPath(step.folder, step.fromName));
                } catch (...) {
                    Sub_DisplayVbError();
                }
            }
            told(list, number);
        },
        [&](const StepList& list, qsizetype number) {
            steps = &list;
            current = number;
        });
    m_RealDisk.setTemporaryNameListener({});
    m_Journal->finish();
    return true;
}
