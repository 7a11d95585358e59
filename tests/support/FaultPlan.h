#pragma once

#include "runtime/Sys.h"

#include <functional>
#include <optional>
#include <vector>

// A fault plan for the system-call seam, for as long as it lives (one at a
// time; its scope removes the hook, also when a check fails). It records the
// calls of a run; the call of `kind` numbered `nth` (from 0; -1: none) fails
// with errnoValue, or, given an action, runs it just before going through
// (the disk changes between two steps); and every call of always.kind fails
// with its errno (a volume that refuses RENAME_NOREPLACE answers every
// renameat2 with EINVAL).
namespace faultplan {

using rt::sys::Call;

struct Always {
    Call kind;
    int errnoValue;
};
inline constexpr Always kNoReplaceRefused{Call::RenameNoReplace, EINVAL};

struct State {
    Call kind;
    int remaining, errnoValue;  // calls of kind still let through, and their answer after
    std::optional<Always> always;
    std::function<void()> action;
    bool fired = false;
    std::vector<Call> calls{};
};
inline std::optional<State> g_state;

class Failing {
public:
    Failing(Call kind, int nth, int errnoValue, std::optional<Always> always = std::nullopt,
            std::function<void()> action = nullptr)
    {
        g_state = State{kind, nth, errnoValue, always, std::move(action)};
        rt::sys::faultHook = [](Call call) {
            State& s = *g_state;
            s.calls.push_back(call);
            if (call == s.kind && s.remaining-- == 0) {
                s.fired = true;
                if (s.action)
                    s.action();
                return s.errnoValue;
            }
            return s.always && call == s.always->kind ? s.always->errnoValue : 0;
        };
    }
    ~Failing() { rt::sys::faultHook = nullptr; }
    Failing(const Failing&) = delete;
    Failing& operator=(const Failing&) = delete;
    bool fired() const { return g_state->fired; }  // the planned call was reached
    const std::vector<Call>& calls() const { return g_state->calls; }  // in order
};

struct FailingAll : Failing {
    explicit FailingAll(Always always) : Failing(always.kind, -1, 0, always) {}
};

}  // namespace faultplan
