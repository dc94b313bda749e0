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
        throw EngineError("DrawSprite: effect " + std::to_string(effect) + " is outside 0.." +
                          std::to_string(EFFECT_COUNT - 1));
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

    BlendSprite(EffectTable.Copy(effect), sprite, surface, x, y);
}

void BlendSprite(const std::uint8_t* effectCopy, const SpriteData& sprite, platform::HDC surface, int x, int y) {
    BlendJob job{};
    if (PrepareBlend(effectCopy, sprite, surface, x, y, job)) ChosenKernel().kernel(job);
}

bool PrepareBlend(const std::uint8_t* effectCopy, const SpriteData& sprite, platform::HDC surface, int x, int y,
                  BlendJob& job) {
    // Clip the sprite rectangle to the surface once; the kernel checks nothing.
    const platform::PixelRect on = surface->Clip(x, y, sprite.R.Width(), sprite.R.Height());
    if (on.Empty()) return false;
    const auto col0 = static_cast<int>(std::int64_t{on.left} - x);
    const auto row0 = static_cast<int>(std::int64_t{on.top} - y);
    job.table = effectCopy;
    // The kernels blend the low byte of each pixel with the first plane. A surface that
    // keeps red and blue exchanged (a window framebuffer) takes the planes in that order.
    const bool exchanged = surface->Layout() == platform::PixelLayout::Rgb;
    job.r = (exchanged ? sprite.B : sprite.R).Row(row0) + col0;
    job.g = sprite.G.Row(row0) + col0;
    job.b = (exchanged ? sprite.R : sprite.B).Row(row0) + col0;
    job.planeStride = sprite.R.Width();
    job.dst = surface->Row(on.top) + on.left;
    job.dstStride = surface->Pitch();
    job.width = on.Width();
    job.height = on.Height();
    return true;
}

}  // namespace mdlEffects
