#pragma once

#include "runtime/VbError.h"

// The number of the rt::VbError that f throws; 0 when it throws none.
template <typename F> int errorNumberOf(F&& f)
{
    try {
        f();
    } catch (const rt::VbError& error) {
        return error.number();
    }
    return 0;
}
