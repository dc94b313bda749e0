#include "effects/sprite_store.h"

#include <algorithm>
#include <string>

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

void Require(bool ok, const char* argument, int value, const char* bound) {
    if (!ok) {
        throw EngineError(std::string("CaptureSprite: ") + argument + " " + std::to_string(value) +
                          " is outside " + bound);
    }
}

}  // namespace

void CaptureSprite(int slot, platform::HDC surface, int x, int y, int width, int height) {
    if (Sprites.empty()) throw EngineError("CaptureSprite called before BuildEffectTables");
    if (surface == nullptr) throw EngineError("CaptureSprite: surface handle is null");
    Require(slot >= 0 && slot <= MAX_SPRITE_SLOT, "slot", slot, "0..1023");
    Require(width >= 1 && width <= MAX_SPRITE_SIDE, "width", width, "1..4096");
    Require(height >= 1 && height <= MAX_SPRITE_SIDE, "height", height, "1..4096");

    if (static_cast<std::size_t>(slot) >= Sprites.size()) Sprites.resize(slot + std::size_t{1});
    SpriteData& sprite = Sprites[static_cast<std::size_t>(slot)];
    // Points outside the surface read as 0xFFFFFFFF, so every plane starts white and
    // only the part on the surface is copied over it.
    sprite.R.Redim(width, height, 255);
    sprite.G.Redim(width, height, 255);
    sprite.B.Redim(width, height, 255);

    const platform::PixelRect on = surface->Clip(x, y, width, height);
    const bool exchanged = surface->Layout() == platform::PixelLayout::Rgb;  // a framebuffer
    for (int sy = on.top; sy < on.bottom; ++sy) {
        const platform::ColourValue* src = surface->Row(sy);
        const auto row = static_cast<int>(std::int64_t{sy} - y);
        std::uint8_t* r = sprite.R.Row(row);
        std::uint8_t* g = sprite.G.Row(row);
        std::uint8_t* b = sprite.B.Row(row);
        for (int sx = on.left; sx < on.right; ++sx) {
            const platform::ColourValue c = exchanged ? platform::SwapRedBlue(src[sx]) : src[sx];
            const auto col = static_cast<std::size_t>(std::int64_t{sx} - x);
            r[col] = platform::RedOf(c);
            g[col] = platform::GreenOf(c);
            b[col] = platform::BlueOf(c);
        }
    }
}

}  // namespace mdlEffects
