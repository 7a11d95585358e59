#pragma once

#include "runtime/Sys.h"

#include <QString>

#include <vector>

// Fault plans for the system-call seam: record the calls of a run, or make
// the n-th call of one kind fail with an errno value. One plan at a time;
// the plan's scope removes the hook, also when a check fails.
namespace faultplan {

using rt::sys::Call;

const char* nameOf(Call call);

class Recording {
public:
    Recording();
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
    // The calls so far, in order.
    const std::vector<Call>& calls() const;
};

// The call of kind `kind` numbered `nth` (from 0, counted from here) fails
// with errnoValue; every other call goes through.
class Failing {
public:
    Failing(Call kind, int nth, int errnoValue);
    ~Failing();
    Failing(const Failing&) = delete;
    Failing& operator=(const Failing&) = delete;
    // True once the planned call was reached and failed.
    bool fired() const;
};

// Every call of the kind fails with errnoValue.
class FailingAll {
public:
    FailingAll(Call kind, int errnoValue);
    ~FailingAll();
    FailingAll(const FailingAll&) = delete;
    FailingAll& operator=(const FailingAll&) = delete;
};

}  // namespace faultplan
