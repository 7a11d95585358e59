#pragma once

#include <cstdint>

namespace rt {

// The runtime's currency type: a signed 64-bit fixed-point number with four
// decimal places (the stored integer is the value times 10000).
struct Currency {
    std::int64_t scaled = 0;

    // Rounds the fifth and further decimal places to the nearest, ties to
    // even. Throws VbError 6 outside the representable range.
    static Currency fromDouble(double value);
    double toDouble() const { return static_cast<double>(scaled) / 10000.0; }
    friend bool operator==(Currency, Currency) = default;
};

}  // namespace rt
