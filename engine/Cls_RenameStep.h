#pragma once

#include <QString>

#include <cstdint>

// One rename step of a run, as the pass took it: the folder it happened in,
// the old and new names, and how it ended. error is the runtime's error
// number (0 for success, 58 for a taken name, 52 for a name that is no
// single valid component); systemError is the errno value behind a failed
// rename (0 otherwise). The folder's text is shared by all of its steps and
// the names are the pass's own, so a run of many steps keeps no full path
// per step; from() and to() join them when they are asked for.
struct RenameStep {
    QString folder;
    QString fromName;
    QString toName;
    int error = 0;
    int systemError = 0;
    bool isFolder = false;
    QString toFolder;            // set only for a step between two folders (read from a journal)
    std::uint64_t identity = 0;  // the entry's inode number when known, for undo

    QString from() const;
    QString to() const;
    // A step given by two full paths.
    static RenameStep between(const QString& from, const QString& to);
};

// Its members are all relocatable, so a growing list of steps moves them
// as memory.
Q_DECLARE_TYPEINFO(RenameStep, Q_RELOCATABLE_TYPE);

class Cls_RenameStepSink {
public:
    virtual ~Cls_RenameStepSink() = default;
    virtual void step(const RenameStep& step) = 0;
    // A folder of the run could not be opened or read to its end
    // (systemError is the errno value); the run went on without it.
    virtual void folderFailed(const QString& /*path*/, int /*systemError*/) {}
};
