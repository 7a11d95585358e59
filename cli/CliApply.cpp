#include "cli/CliApply.h"

#include "engine/Cls_RenameDiskModel.h"
#include "journal/RenameJournal.h"

CommandResult runCommand(const CliSettings& settings, const std::function<void()>& onStep)
{
    CommandResult result;
    const auto progress = [&](const RenameStep&) {
        if (onStep)
            onStep();
    };
    if (!settings.apply) {
        Cls_RenameDiskModel model = previewModel(settings);
        result.preview = runRename(settings, model, progress);
        return result;
    }
    // The job previews, journals and carries out its own steps, as the
    // window's runs do.
    JournalWriter journal(JournalWriter::Front::CommandLine);
    result.applied = runJournaled(settings, journal, progress);
    result.journal = journal.path();
    result.error = journal.error();
    return result;
}
