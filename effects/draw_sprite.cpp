#include "effects/draw_sprite.h"

#include <algorithm>
#include <string>

#include "effects/blend_kernel.h"
#include "effects/effect_table.h"
#include "effects/errors.h"
#include "effects/sprite_store.h"

namespace mdlEffects {

void DrawSprite(int effect, int slot, platform::HDC surface, int x, int y) {
    if (!EffectTable.Exists() || Sprites.empty()) {
        throw EngineError("DrawSprite called before BuildEffectTables");
    }
    if (effect < 0 || effect >= EFFECT_COUNT) {
        throw EngineError("DrawSprite: effect " + std::to_string(effect) + " is outside 0..17");
    }
    if (slot < 0 || static_cast<std::size_t>(slot) >= Sprites.size()) {
        throw EngineError("DrawSprite: slot " + std::to_string(slot) + " is outside 0.." +
                          std::to_string(Sprites.size() - 1));
    }
    if (surface == nullptr) throw EngineError("DrawSprite: surface handle is null");
    const SpriteData& sprite = Sprites[static_cast<std::size_t>(slot)];
    if (sprite.R.Empty()) {
        throw EngineError("DrawSprite: slot " + std::to_string(slot) + " has not been captured");
    }

    // Clip the sprite rectangle to the surface once, in 64 bits so that no position
    // in the 32-bit range overflows.
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + sprite.R.Width(), surface->Width());
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + sprite.R.Height(), surface->Height());
    if (left >= right || top >= bottom) return;

    const auto col0 = static_cast<int>(left - x);
    const auto row0 = static_cast<int>(top - y);
    BlendJob job{};
    job.table = EffectTable.Data() + effect;
    // The kernels blend the low byte of each pixel with the first plane. A surface that
    // keeps red and blue exchanged (a window framebuffer) takes the planes in that order.
    const bool exchanged = surface->Layout() == platform::PixelLayout::Rgb;
    job.r = (exchanged ? sprite.B : sprite.R).Row(row0) + col0;
    job.g = sprite.G.Row(row0) + col0;
    job.b = (exchanged ? sprite.R : sprite.B).Row(row0) + col0;
    job.planeStride = sprite.R.Width();
    job.dst = surface->Row(static_cast<int>(top)) + left;
    job.dstStride = surface->Pitch();
    job.width = static_cast<int>(right - left);
    job.height = static_cast<int>(bottom - top);
    SelectedKernel()(job);
}

}  // namespace mdlEffects
