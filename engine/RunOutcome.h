#pragma once

#include "engine/Cls_RenameDiskModel.h"
#include "engine/Cls_RenameStep.h"
#include "engine/StepList.h"

#include <QList>
#include <QString>

#include <functional>

// A folder a run could not open or read to its end.
struct FolderFailure {
    QString path;
    int systemError = 0;
};

// What one run did (or, against the model, would do).
struct RunOutcome {
    StepList steps;
    qint64 renamed = 0;
    qint64 skipped = 0;
    qint64 examined = 0;
    QList<FolderFailure> unreadable = {};
};

// Keeps every step of a run in an outcome, and every folder it could not
// read. Against a preview's model a done step also gets the identity the
// model read for its entry, for a journal's undo; onStep, when given, is
// told each step (a progress line).
class OutcomeCollector final : public Cls_RenameStepSink {
public:
    OutcomeCollector(RunOutcome& outcome, const Cls_RenameDiskModel* model,
                     std::function<void(const RenameStep&)> onStep = {})
        : m_Outcome(outcome), m_Model(model), m_OnStep(std::move(onStep))
    {
    }
    void step(const RenameStep& step) override
    {
        m_Outcome.steps.append(step);
        if (m_Model && step.error == 0)
            m_Outcome.steps.setIdentity(m_Outcome.steps.size() - 1, m_Model->lastRenamedIdentity());
        (step.error == 0 ? m_Outcome.renamed : m_Outcome.skipped) += 1;
        if (m_OnStep)
            m_OnStep(step);
    }
    void folderFailed(const QString& path, int systemError) override
    {
        m_Outcome.unreadable.append({path, systemError});
    }

private:
    RunOutcome& m_Outcome;
    const Cls_RenameDiskModel* m_Model;
    std::function<void(const RenameStep&)> m_OnStep;
};
