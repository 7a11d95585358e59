#include "support/FaultPlan.h"

#include <utility>

namespace faultplan {
namespace {

struct State {
    std::vector<Call> recorded;
    bool recording = false;
    std::optional<Always> always;
    std::optional<Call> kind;
    int remaining = 0;  // calls of kind still let through
    int errnoValue = 0;
    bool fired = false;
    std::function<void()> action;
};

State g_state;

int hook(Call call)
{
    State& s = g_state;
    if (s.recording)
        s.recorded.push_back(call);
    if (s.kind && call == *s.kind && !s.fired && s.remaining-- == 0) {
        s.fired = true;
        if (s.action) {
            std::exchange(s.action, nullptr)();
            return 0;
        }
        return s.errnoValue;
    }
    if (s.always && call == s.always->kind)
        return s.always->errnoValue;
    return 0;
}

}  // namespace

const char* nameOf(Call call)
{
    static const char* const names[rt::sys::kCallKinds] = {
        "renameat2", "rename", "link", "unlink",  "open",  "read", "write",
        "fsync",     "mkdir",  "stat", "readdir", "chmod", "close"};
    return names[static_cast<int>(call)];
}

Plan::Plan()
{
    g_state = State{};
    rt::sys::faultHook = hook;
}
Plan::~Plan()
{
    rt::sys::faultHook = nullptr;
}

Recording::Recording(std::optional<Always> always)
{
    g_state.recording = true;
    g_state.always = always;
}
const std::vector<Call>& Recording::calls() const
{
    return g_state.recorded;
}

Failing::Failing(Call kind, int nth, int errnoValue, std::optional<Always> always)
{
    g_state.kind = kind;
    g_state.remaining = nth;
    g_state.errnoValue = errnoValue;
    g_state.always = always;
}
bool Failing::fired() const
{
    return g_state.fired;
}

FailingAll::FailingAll(Always always)
{
    g_state.always = always;
}

Before::Before(Call kind, std::function<void()> action)
{
    g_state.kind = kind;
    g_state.action = std::move(action);
}

}  // namespace faultplan
