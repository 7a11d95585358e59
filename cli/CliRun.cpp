#include "cli/CliRun.h"

#include "cli/CliText.h"

#include "engine/Cls_FileRename.h"
#include "engine/Cls_RenameDiskModel.h"
#include "journal/JournalUndo.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kTaken = 58;
constexpr int kBadName = 52;

// The first character of a name that a Windows volume refuses, quoted (a
// control character by its code), or empty.
QString refusedCharacter(const QString& name)
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20)
            return QStringLiteral("U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        if (QStringView(u"\"*:<>?\\|").contains(c))
            return u'"' + QString(c) + u'"';
    }
    return QString();
}

// The job as the settings make it, on disk (null: its own real disk) and
// with journal (null: none); every step is kept in the outcome.
RunOutcome runJob(const CliSettings& settings, Cls_RenameDisk* disk, Cls_RenameJournal* journal,
                  const std::function<void(const RenameStep&)>& onStep)
{
    RunOutcome outcome;
    OutcomeCollector collector(outcome, dynamic_cast<const Cls_RenameDiskModel*>(disk), onStep);
    Cls_FileRename job;
    job.setProp_PathFrom(settings.folder);
    job.setRenameKubunIsTop(settings.head);
    job.setString_FileName(settings.from);
    job.setString_Rename(settings.to);
    job.setIs全置換(settings.whole);
    job.setIsNarrow(settings.head && settings.narrow);
    job.setIsNoAnderTheWorld(!settings.recursive);
    job.MsgDisplayFlg_Prop(false);
    job.setStepSink(&collector);
    job.setKeepReport(false);
    job.setDisk(disk);
    job.setJournal(journal);
    if (settings.folders)
        job.PFncBln_DirectoryRename();
    else
        job.PFncBln_FileRename();
    outcome.examined = job.examinedCount();
    return outcome;
}

}  // namespace

RunOutcome runRename(const CliSettings& settings, Cls_RenameDisk& disk,
                     const std::function<void(const RenameStep&)>& onStep)
{
    return runJob(settings, &disk, nullptr, onStep);
}

RunOutcome runJournaled(const CliSettings& settings, Cls_RenameJournal& journal,
                        const std::function<void(const RenameStep&)>& onStep)
{
    return runJob(settings, nullptr, &journal, onStep);
}

Cls_RenameDiskModel previewModel(const CliSettings& settings)
{
    return Cls_RenameDiskModel(settings.folders ? Cls_RenameDiskModel::ReadTimes::OfFolders
                                                : Cls_RenameDiskModel::ReadTimes::OfFiles);
}

int exitStatusOf(const RunOutcome& outcome)
{
    return outcome.skipped == 0 && outcome.unreadable.isEmpty() ? 0 : 1;
}

QString stepStatus(const RenameStep& step)
{
    switch (step.error) {
    case 0: return QStringLiteral("ok");
    case kTaken: return QStringLiteral("exists");
    case kBadName:
        return step.systemError == 0 ? QStringLiteral("invalid") : QStringLiteral("error");
    default: return QStringLiteral("error");
    }
}

QString stepMessage(const RenameStep& step)
{
    if (step.error == 0)
        return QString();
    if (step.systemError == EOPNOTSUPP && step.isFolder)
        return CliText::tr("this volume's driver loses the contents of a folder it renames");
    if (step.systemError != 0)
        return QString::fromLocal8Bit(std::strerror(step.systemError));
    if (step.error == kChangedSince)
        return CliText::tr("another file or folder has this name since the run");
    if (!Cls_FileRename::isSingleName(step.toName))
        return CliText::tr("not a single valid name");
    // A valid name all the same: the volume refuses it.
    const QString refused = refusedCharacter(step.toName);
    if (!refused.isEmpty())
        return CliText::tr("this volume cannot hold the character %1 in a name").arg(refused);
    return CliText::tr("this volume cannot hold a name that ends in a dot or a blank");
}
