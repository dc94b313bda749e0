// Blending text coverage over surface pixels: each channel u becomes
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

// The vector ways blend this many pixels a step; a row of zero coverage padded out to a
// multiple of it blends in whole steps and leaves the padding's pixels as they are.
inline constexpr int kCoverageStep = 8;

// A rectangle of coverage over a rectangle of pixels of the same size.
struct CoverageJob {
    platform::ColourValue* dst;     // the first pixel
    std::ptrdiff_t dstPitch;        // pixels from one row to the next
    const std::uint8_t* coverage;  // the first coverage value
    std::ptrdiff_t coveragePitch;   // bytes from one row to the next
    int width, height;
    Ink ink;
};

using CoverageBlend = void (*)(const CoverageJob& job);

struct NamedCoverageBlend {
    const char* name;
    CoverageBlend blend;
};

void BlendCoverageScalar(const CoverageJob& job);
// kCoverageStep pixels a step in 16-bit lanes, the rest of each row one by one. Needs AVX2.
void BlendCoverageAvx2(const CoverageJob& job);

// Every way this processor runs, the portable one first (see effects/variant.h).
std::vector<NamedCoverageBlend> AvailableCoverageBlends();
// The way printing uses, chosen once.
CoverageBlend ChosenCoverageBlend();

}  // namespace app
