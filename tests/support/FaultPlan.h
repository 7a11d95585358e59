#pragma once

#include "runtime/Sys.h"

#include <functional>
#include <optional>
#include <vector>

// Fault plans for the system-call seam: record the calls of a run, make the
// n-th call of one kind fail with an errno value, or do something just
// before the first call of a kind. A plan may also make every call of one
// kind fail (a volume that refuses RENAME_NOREPLACE answers every renameat2
// with EINVAL). One plan at a time; its scope removes the hook, also when a
// check fails.
namespace faultplan {

using rt::sys::Call;

const char* nameOf(Call call);

struct Always {
    Call kind;
    int errnoValue;
};
inline constexpr Always kNoReplaceRefused{Call::RenameNoReplace, EINVAL};

class Plan {
public:
    Plan(const Plan&) = delete;
    Plan& operator=(const Plan&) = delete;
    ~Plan();

protected:
    Plan();
};

class Recording : public Plan {
public:
    explicit Recording(std::optional<Always> always = std::nullopt);
    // The calls so far, in order.
    const std::vector<Call>& calls() const;
};

// The call of kind `kind` numbered `nth` (from 0, counted from here) fails
// with errnoValue.
class Failing : public Plan {
public:
    Failing(Call kind, int nth, int errnoValue, std::optional<Always> always = std::nullopt);
    // True once the planned call was reached and failed.
    bool fired() const;
};

// Only the calls of one kind fail, every one of them.
class FailingAll : public Plan {
public:
    explicit FailingAll(Always always);
};

// Runs action once, just before the first call of kind (which then goes
// through): the disk changes between two steps of an operation.
class Before : public Plan {
public:
    Before(Call kind, std::function<void()> action);
};

}  // namespace faultplan
