// Conversion of a double to an integer: to the nearest, ties to the even neighbour
// (2.5 gives 2, 3.5 gives 4), independent of the floating-point environment.
#pragma once

#include <cstdint>

namespace mdlEffects {

// For |v| < 2^52, where v minus its floor is exact, so a tie is recognised exactly.
inline std::int64_t RoundHalfEven(double v) {
    auto n = static_cast<std::int64_t>(v);    // towards zero
    if (static_cast<double>(n) > v) --n;      // now the floor, for negative v too
    const double fraction = v - static_cast<double>(n);
    if (fraction > 0.5 || (fraction == 0.5 && (n & 1) != 0)) ++n;
    return n;
}

}  // namespace mdlEffects
