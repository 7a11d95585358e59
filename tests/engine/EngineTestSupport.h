#pragma once

#include "engine/Cls_FileRename.h"
#include "support/DiskTree.h"

// Reaches the job's private counters and procedures for the engine tests.
struct Cls_FileRenameTestAccess {
    using S = const QString&;
    Cls_FileRename& j;
    std::int32_t renameCount() const { return j.m_RenameCount; }
    std::int32_t allFileCount() const { return j.m_AllFileCount; }
    std::int32_t rejectedCount() const { return j.m_RejectedCount; }
    void setRenameCount(std::int32_t value) { j.m_RenameCount = value; }
    void setRejectedCount(std::int32_t value) { j.m_RejectedCount = value; }
    bool checkFirstInit() const { return j.FncBln_CheckFirstInit(); }
    bool isDateMatch(const QDateTime& t) const
    {
        return j.FncBln_IsDateMatch(t.toSecsSinceEpoch());
    }
    bool isExtensionNotListed(S path) const { return j.FncBln_IsExtensionNotListed(path); }
    static QString joinPath(S folder, S name)
    {
        return Cls_FileRename::FncStr_JoinPath(folder, name);
    }
    QString copyDestPath(S path) const { return j.FncStr_GetCopyDestPath(path); }
    void prepareCopyFolder(S folder) const { j.Sub_PrepareCopyFolder(folder); }
    void copy(S from, S to, S shown) { j.Sub_CopyFileIfNewer(from, to, shown); }
};

// Every step a run reports, in order.
struct StepLog final : Cls_RenameStepSink {
    QList<RenameStep> steps;
    void step(const RenameStep& s) override { steps.append(s); }
};

// The disk helpers, and a job's usual settings.
struct EngineTest : DiskTree {
    // A job over `folder` with the display flag off.
    static void configure(Cls_FileRename& job, const QString& folder, bool head,
                          const QString& part, const QString& replacement)
    {
        job.setProp_PathFrom(folder);
        job.setRenameKubunIsTop(head);
        job.setString_FileName(part);
        job.setString_Rename(replacement);
        job.MsgDisplayFlg_Prop(false);
    }
};
