// The per-pixel definition of blended drawing, kept as the oracle for the fast path:
// read with GetPixel, three table lookups, write with SetPixelV, for every sprite pixel.
#pragma once

#include <climits>
#include <cstdint>

#include "effects/effect_table.h"
#include "effects/sprite_store.h"
#include "platform/gdi.h"

namespace testsupport {

inline void ReferenceDrawSprite(int effect, int slot, platform::HDC surface, int x, int y) {
    using namespace mdlEffects;
    const SpriteData& sp = Sprites.at(static_cast<std::size_t>(slot));
    for (int i = 0; i < sp.R.Width(); ++i) {
        for (int j = 0; j < sp.R.Height(); ++j) {
            const std::int64_t tx = std::int64_t{x} + i, ty = std::int64_t{y} + j;
            // A point beyond the 32-bit range lies outside every surface.
            if (tx > INT_MAX || ty > INT_MAX) continue;
            const auto px = static_cast<int>(tx), py = static_cast<int>(ty);
            const platform::ColourValue d = platform::GetPixel(surface, px, py);
            const auto r = EffectTable(effect, platform::RedOf(d), sp.R(i, j));
            const auto g = EffectTable(effect, platform::GreenOf(d), sp.G(i, j));
            const auto b = EffectTable(effect, platform::BlueOf(d), sp.B(i, j));
            platform::SetPixelV(surface, px, py, platform::PackRgb(r, g, b));
        }
    }
}

}  // namespace testsupport
