#pragma once

#include "engine/StepList.h"

#include <QByteArray>
#include <QString>

// What a journaled run records, given to the job by its front-end (the
// journal's file lives above the engine). A job that has one previews its
// run against a model of the disk, records the plan before the first
// rename, then carries out the plan's steps and marks each one done.
class Cls_RenameJournal {
public:
    virtual ~Cls_RenameJournal() = default;

    // Records the planned steps of a run from folder, durably, before
    // anything moves. False when it cannot.
    virtual bool begin(const QString& folder, const StepList& plan) = 0;
    // A run that cannot be journaled does not start (true) or goes on
    // unjournaled (false).
    virtual bool isRequired() const = 0;
    // The step is about to be taken through a temporary name.
    virtual void markTemporary(const StepList::View& step, const QByteArray& temporary) = 0;
    // The plan's number-th step (from 0) is done.
    virtual void markDone(qsizetype number) = 0;
    // The run is over.
    virtual void finish() = 0;
};
