// Surfaces with known contents for tests, and a whole-surface comparison.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>

#include "platform/surface.h"

namespace testsupport {

// Every pixel its own value, so a misplaced pixel shows.
inline platform::Surface Numbered(int w, int h, platform::ColourValue base) {
    platform::Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.Row(y)[x] = (base + static_cast<platform::ColourValue>(y * w + x)) & 0xFFFFFFu;
    return s;
}

// Random 24-bit pixels from a fixed seed.
inline platform::Surface Noise(int w, int h, std::uint32_t seed) {
    platform::Surface s(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.Row(y)[x] = rng() & 0xFFFFFFu;
    return s;
}

inline bool SamePixels(const platform::Surface& a, const platform::Surface& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.Row(y), a.Row(y) + a.Width(), b.Row(y))) return false;
    return true;
}

}  // namespace testsupport
