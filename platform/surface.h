// A persistent 32-bit pixel store (0x00BBGGRR per pixel) and the device context handle
// through which the drawing calls reach it.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/colour.h"

namespace platform {

class Surface;

// A device context handle names one surface. It is borrowed for a call sequence and
// never owns the surface; a null handle names no surface.
using HDC = Surface*;

class Surface {
public:
    // Largest width or height a surface accepts; keeps every pixel index within 32 bits.
    static constexpr int kMaxSide = 16384;

    explicit Surface(ColourValue background = 0) : background_(background & 0x00FFFFFFu) {}
    Surface(int width, int height, ColourValue background = 0);

    // Gives the surface a new size, every pixel in the background colour.
    // Throws std::invalid_argument for a side below 0 or above kMaxSide.
    void Resize(int width, int height);
    void Clear();  // every pixel to the background colour

    int Width() const { return width_; }
    int Height() const { return height_; }
    ColourValue Background() const { return background_; }
    void SetBackground(ColourValue c) { background_ = c & 0x00FFFFFFu; }

    bool Contains(std::int64_t x, std::int64_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    // Row pointers for code that has already clipped to the surface.
    ColourValue* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
    const ColourValue* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(y) * width_;
    }
    ColourValue* Pixels() { return pixels_.data(); }
    const ColourValue* Pixels() const { return pixels_.data(); }

    HDC hDC() { return this; }

private:
    int width_ = 0;
    int height_ = 0;
    ColourValue background_;
    std::vector<ColourValue> pixels_;
};

}  // namespace platform
