#include "effects/sprite_store.h"

#include <algorithm>
#include <string>
#include <utility>

#include "effects/errors.h"
#include "platform/colour.h"

namespace mdlEffects {

std::vector<SpriteData> Sprites;

void Plane::Redim(int width, int height, std::uint8_t fill) {
    // Release the old storage first rather than keep its capacity.
    std::vector<std::uint8_t>().swap(bytes_);
    bytes_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) + kPadding, fill);
    std::fill(bytes_.end() - kPadding, bytes_.end(), std::uint8_t{0});
    width_ = width;
    height_ = height;
}

namespace {

void Require(bool ok, const char* argument, int value, const std::string& bound) {
    if (!ok) {
        throw EngineError(std::string("CaptureSprite: ") + argument + " " + std::to_string(value) +
                          " is outside " + bound);
    }
}

}  // namespace

SpriteData CapturePlanes(platform::HDC surface, int x, int y, int width, int height) {
    SpriteData sprite;
    // Points outside the surface read as 0xFFFFFFFF, so every plane starts white and
    // only the part on the surface is copied over it.
    sprite.R.Redim(width, height, 255);
    sprite.G.Redim(width, height, 255);
    sprite.B.Redim(width, height, 255);

    const platform::PixelRect on = surface->Clip(x, y, width, height);
    // The low byte of a stored pixel is blue in a surface that keeps red and blue exchanged.
    const bool exchanged = surface->Layout() == platform::PixelLayout::Rgb;
    std::uint8_t* const lowPlane = (exchanged ? sprite.B : sprite.R).Row(0);
    std::uint8_t* const highPlane = (exchanged ? sprite.R : sprite.B).Row(0);
    for (int sy = on.top; sy < on.bottom; ++sy) {
        const platform::ColourValue* src = surface->Row(sy);
        const auto offset = static_cast<std::size_t>(std::int64_t{sy} - y) * static_cast<std::size_t>(width);
        std::uint8_t* low = lowPlane + offset;
        std::uint8_t* g = sprite.G.Row(0) + offset;
        std::uint8_t* high = highPlane + offset;
        for (int sx = on.left; sx < on.right; ++sx) {
            const platform::ColourValue c = src[sx];
            const auto col = static_cast<std::size_t>(std::int64_t{sx} - x);
            low[col] = platform::RedOf(c);
            g[col] = platform::GreenOf(c);
            high[col] = platform::BlueOf(c);
        }
    }
    return sprite;
}

void CaptureSprite(int slot, platform::HDC surface, int x, int y, int width, int height) {
    if (Sprites.empty()) throw EngineError("CaptureSprite called before BuildEffectTables");
    if (surface == nullptr) throw EngineError("CaptureSprite: surface handle is null");
    Require(slot >= 0 && slot <= MAX_SPRITE_SLOT, "slot", slot, "0.." + std::to_string(MAX_SPRITE_SLOT));
    const std::string sides = "1.." + std::to_string(MAX_SPRITE_SIDE);
    Require(width >= 1 && width <= MAX_SPRITE_SIDE, "width", width, sides);
    Require(height >= 1 && height <= MAX_SPRITE_SIDE, "height", height, sides);

    // Everything that may fail comes before the store changes: a failed capture leaves the
    // store as it was.
    SpriteData captured = CapturePlanes(surface, x, y, width, height);
    if (static_cast<std::size_t>(slot) >= Sprites.size()) Sprites.resize(slot + std::size_t{1});
    Sprites[static_cast<std::size_t>(slot)] = std::move(captured);
}

}  // namespace mdlEffects
