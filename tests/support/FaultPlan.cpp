#include "support/FaultPlan.h"

namespace faultplan {
namespace {

struct Plan {
    std::vector<Call> recorded;
    Call kind = Call::Rename;
    int remaining = -1;  // calls of kind still let through; -1: every call fails
    int errnoValue = 0;
    bool fired = false;
};

Plan g_plan;

int record(Call call)
{
    g_plan.recorded.push_back(call);
    return 0;
}

int failOne(Call call)
{
    if (call != g_plan.kind || g_plan.fired)
        return 0;
    if (g_plan.remaining-- > 0)
        return 0;
    g_plan.fired = true;
    return g_plan.errnoValue;
}

int failEvery(Call call)
{
    return call == g_plan.kind ? g_plan.errnoValue : 0;
}

void install(rt::sys::FaultHook hook, Plan plan)
{
    g_plan = std::move(plan);
    rt::sys::faultHook = hook;
}

void uninstall()
{
    rt::sys::faultHook = nullptr;
}

}  // namespace

const char* nameOf(Call call)
{
    static const char* const names[rt::sys::kCallKinds] = {"rename", "link",    "unlink", "open",
                                                           "read",   "write",   "fsync",  "mkdir",
                                                           "stat",   "readdir", "chmod",  "close"};
    return names[static_cast<int>(call)];
}

Recording::Recording()
{
    install(record, Plan{});
}
Recording::~Recording()
{
    uninstall();
}
const std::vector<Call>& Recording::calls() const
{
    return g_plan.recorded;
}

Failing::Failing(Call kind, int nth, int errnoValue)
{
    install(failOne, Plan{{}, kind, nth, errnoValue, false});
}
Failing::~Failing()
{
    uninstall();
}
bool Failing::fired() const
{
    return g_plan.fired;
}

FailingAll::FailingAll(Call kind, int errnoValue)
{
    install(failEvery, Plan{{}, kind, -1, errnoValue, false});
}
FailingAll::~FailingAll()
{
    uninstall();
}

}  // namespace faultplan
