#include "runtime/Currency.h"

#include "runtime/VbError.h"

#include <cfenv>
#include <cmath>

namespace rt {

Currency Currency::fromDouble(double value)
{
    // 2^63: the first value that no longer fits a signed 64-bit integer.
    constexpr double kLimit = 9223372036854775808.0;
    const double scaled = value * 10000.0;
    if (!std::isfinite(scaled))
        raiseError(kOverflow, QStringLiteral("Currency"));
    // The rounding mode is set explicitly so that a changed global mode can
    // never turn ties-to-even into truncation.
    const int previousMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(scaled);
    std::fesetround(previousMode);
    if (rounded >= kLimit || rounded < -kLimit)
        raiseError(kOverflow, QStringLiteral("Currency"));
    return Currency{static_cast<std::int64_t>(rounded)};
}

}  // namespace rt
