// The inner loop of DrawSprite over a rectangle already clipped to both the sprite and
// the surface: callers clip, the kernels check nothing. The byte above the three channels
// of every surface pixel (alpha, or unused) is kept.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/colour.h"

namespace mdlEffects {

struct BlendJob {
    const std::uint8_t* table;  // the effect's copy: entry (s, d) at EffectCopyIndex(d, s)
    const std::uint8_t* r;      // first sprite pixel of the rectangle, per plane: the plane
    const std::uint8_t* g;      // for the low, middle and high byte of a surface pixel
    const std::uint8_t* b;
    int planeStride;            // sprite width
    platform::ColourValue* dst; // first surface pixel of the rectangle
    int dstStride;              // pixels from one surface row to the next
    int width;
    int height;
};

using BlendKernel = void (*)(const BlendJob&);

struct NamedKernel {
    const char* name;
    BlendKernel kernel;
};

void BlendScalar(const BlendJob& job);

// Eight pixels at a time: 32-bit gathers from the copy (which is padded for them), a
// masked store for the last pixels of a row. Needs AVX2.
void BlendAvx2(const BlendJob& job);

// Every kernel this processor runs, the portable one first (see variant.h).
std::vector<NamedKernel> AvailableKernels();
// The kernel drawing uses, chosen once.
const NamedKernel& ChosenKernel();

}  // namespace mdlEffects
