// The inner loop of DrawSprite over a rectangle already clipped to both the sprite and
// the surface: callers clip, the kernel checks nothing.
#pragma once

#include <cstdint>

#include "platform/colour.h"

namespace mdlEffects {

struct BlendJob {
    const std::uint8_t* table;  // EffectTable data offset by the effect number
    const std::uint8_t* r;      // first sprite pixel of the rectangle, per plane
    const std::uint8_t* g;
    const std::uint8_t* b;
    int planeStride;            // sprite width
    platform::ColourValue* dst; // first surface pixel of the rectangle
    int dstStride;              // surface width
    int width;
    int height;
};

void BlendScalar(const BlendJob& job);

}  // namespace mdlEffects
