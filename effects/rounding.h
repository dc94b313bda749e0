// Conversion of a double to an integer: to the nearest, ties to the even neighbour
// (2.5 gives 2, 3.5 gives 4), independent of the floating-point environment.
#pragma once

#include <cmath>
#include <cstdint>

namespace mdlEffects {

// For |v| < 2^53; v - floor(v) is exact there, so a tie is recognised exactly.
inline double RoundHalfEvenToDouble(double v) {
    const double below = std::floor(v);
    const double fraction = v - below;
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

inline std::int64_t RoundHalfEven(double v) {
    return static_cast<std::int64_t>(RoundHalfEvenToDouble(v));
}

}  // namespace mdlEffects
