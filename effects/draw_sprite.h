// Blends a captured sprite onto a drawing surface through one of the effect tables.
#pragma once

#include <cstdint>

#include "effects/blend_kernel.h"
#include "effects/sprite_store.h"
#include "platform/surface.h"

namespace mdlEffects {

// For every sprite pixel on the surface: each channel of the surface pixel d and of the
// sprite pixel s becomes EffectTable(effect, d, s). The part of the sprite outside the
// surface changes nothing. Throws EngineError before BuildEffectTables, for a null
// surface, an effect outside 0..17, or a slot outside the store or never captured.
void DrawSprite(int effect, int slot, platform::HDC surface, int x, int y);

// What DrawSprite does once its arguments are checked: effectCopy is the effect's table
// laid out for drawing (effect_copies.h), the sprite is captured, the surface is not null.
// The byte above red, green and blue of every pixel is kept.
void BlendSprite(const std::uint8_t* effectCopy, const SpriteData& sprite, platform::HDC surface, int x, int y);

// The kernel's job for that drawing: the sprite's rectangle clipped to the surface. False
// when none of it lies on the surface.
bool PrepareBlend(const std::uint8_t* effectCopy, const SpriteData& sprite, platform::HDC surface, int x, int y,
                  BlendJob& job);

}  // namespace mdlEffects
