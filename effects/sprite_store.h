// The sprite store: slots of three per-channel byte planes, filled by CaptureSprite
// from any drawing surface.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace mdlEffects {

// Limits on a capture. The system captures one 47 × 47 sprite into slot 0; the limits
// only keep a stray call from exhausting memory.
inline constexpr int MAX_SPRITE_SLOT = 1023;
inline constexpr int MAX_SPRITE_SIDE = 4096;

// One channel of a sprite, indexed (x, y) with x varying fastest in memory.
class Plane {
public:
    // Zero bytes after the last element, so that a vector kernel may load 16 bytes from any
    // element without leaving the allocation.
    static constexpr std::size_t kPadding = 16;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0; }

    // New bounds 0..width−1 and 0..height−1; the old values are discarded.
    void Redim(int width, int height, std::uint8_t fill);

    std::uint8_t operator()(int x, int y) const { return bytes_[Offset(x, y)]; }
    std::uint8_t& operator()(int x, int y) { return bytes_[Offset(x, y)]; }

    const std::uint8_t* Row(int y) const { return bytes_.data() + Offset(0, y); }
    std::uint8_t* Row(int y) { return bytes_.data() + Offset(0, y); }

private:
    std::size_t Offset(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

struct SpriteData {
    Plane R;
    Plane G;
    Plane B;
};

// Slots 0..Sprites.size()−1; empty until BuildEffectTables creates slot 0.
extern std::vector<SpriteData> Sprites;

// A new sprite holding the width × height rectangle of the surface at (x, y), white where it
// lies outside. The caller has checked the surface and the sizes (1..MAX_SPRITE_SIDE).
SpriteData CapturePlanes(platform::HDC surface, int x, int y, int width, int height);

// Copies the width × height rectangle of the surface at (x, y) into the slot, growing
// the store as needed. Points outside the surface are stored as white (255, 255, 255).
// Throws EngineError before BuildEffectTables, for a null surface, a slot outside
// 0..MAX_SPRITE_SLOT, or a width or height outside 1..MAX_SPRITE_SIDE. A failure, memory
// included, leaves the store as it was.
void CaptureSprite(int slot, platform::HDC surface, int x, int y, int width, int height);

}  // namespace mdlEffects
