#pragma once

#include <QString>

// One rename step of a run, as the pass took it: full old and new paths and
// how it ended. error is the runtime's error number (0 for success, 58 for a
// taken name, 52 for a name that is no single valid component);
// systemError is the errno value behind a failed rename (0 otherwise).
struct RenameStep {
    QString from;
    QString to;
    int error = 0;
    int systemError = 0;
    bool isFolder = false;
};

class Cls_RenameStepSink {
public:
    virtual ~Cls_RenameStepSink() = default;
    virtual void step(const RenameStep& step) = 0;
};
