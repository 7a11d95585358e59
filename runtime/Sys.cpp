#include "runtime/Sys.h"

namespace rt::sys {

FaultHook faultHook = nullptr;

bool refusedByHook(Call call)
{
    const int error = faultHook(call);
    if (error == 0)
        return false;
    errno = error == kAnsweredDone ? 0 : error;
    return true;
}

}  // namespace rt::sys
