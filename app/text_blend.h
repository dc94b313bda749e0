// Blending a row of text coverage over surface pixels: each channel u becomes
// (ink × a + u × (255 − a)) / 255 rounded to nearest, a the pixel's coverage; coverage 0
// leaves the pixel as it is. Callers clip: the row lies on the surface.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/colour.h"

namespace app {

// The ink of a line of text in the surface's own byte order: the value for the low,
// middle and high byte of a pixel. The fourth byte is blended towards 0.
struct Ink {
    std::uint8_t low, mid, high;
};

// Coverage rows are read up to kCoverageOverread bytes past their last pixel, so a glyph's
// coverage carries that many bytes of padding at its end.
inline constexpr int kCoverageOverread = 4;

using CoverageBlend = void (*)(platform::ColourValue* dst, const std::uint8_t* coverage, int count, Ink ink);

struct NamedCoverageBlend {
    const char* name;
    CoverageBlend blend;
};

void BlendCoverageScalar(platform::ColourValue* dst, const std::uint8_t* coverage, int count, Ink ink);
// Four pixels a step in 16-bit lanes; the last under a mask. Needs AVX2.
void BlendCoverageAvx2(platform::ColourValue* dst, const std::uint8_t* coverage, int count, Ink ink);

// Every way this processor runs, the portable one first; the last is the fastest.
std::vector<NamedCoverageBlend> AvailableCoverageBlends();
CoverageBlend SelectedCoverageBlend();

}  // namespace app
