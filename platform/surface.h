// A persistent 32-bit pixel store (0x00BBGGRR per pixel) and the device context handle
// through which the drawing calls reach it. A surface may also be a view of pixels it does
// not own, such as a window's framebuffer, stored in that framebuffer's layout.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/colour.h"

namespace platform {

class Surface;

// How a surface stores a colour value: as itself, or (a window framebuffer) with red and
// blue exchanged. The drawing calls always take and give 0x00BBGGRR.
enum class PixelLayout { Bgr, Rgb };

// A device context handle names one surface. It is borrowed for a call sequence and
// never owns the surface; a null handle names no surface.
using HDC = Surface*;

// A rectangle of surface pixels: columns left..right−1, rows top..bottom−1.
struct PixelRect {
    int left, top, right, bottom;
    constexpr bool Empty() const { return left >= right || top >= bottom; }
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
};

// The one clipping rule of the system: what two rectangles share, empty when nothing.
constexpr PixelRect Intersect(const PixelRect& a, const PixelRect& b) {
    const auto max = [](int p, int q) { return p > q ? p : q; };
    const auto min = [](int p, int q) { return p < q ? p : q; };
    return {max(a.left, b.left), max(a.top, b.top), min(a.right, b.right), min(a.bottom, b.bottom)};
}

// The smallest rectangle holding both; an empty one adds nothing.
constexpr PixelRect Enclose(const PixelRect& a, const PixelRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    const auto max = [](int p, int q) { return p > q ? p : q; };
    const auto min = [](int p, int q) { return p < q ? p : q; };
    return {min(a.left, b.left), min(a.top, b.top), max(a.right, b.right), max(a.bottom, b.bottom)};
}

// The width × height rectangle at (x, y) moved by (dx, dy), its edges formed in 64 bits and
// held to the 32-bit range, so that no position or size in that range overflows.
constexpr PixelRect RectAt(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) {
    const auto held = [](std::int64_t v) {
        return static_cast<int>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
    };
    return {held(x), held(y), held(x + width), held(y + height)};
}

class Surface {
public:
    // Largest width or height a surface accepts; keeps every pixel index within 32 bits.
    static constexpr int kMaxSide = 16384;

    explicit Surface(ColourValue background = 0) : background_(background & 0x00FFFFFFu) {}
    Surface(int width, int height, ColourValue background = 0);

    // A view of width × height pixels at `pixels`, rows `pitch` pixels apart, which the
    // caller keeps alive for as long as the view is used.
    static Surface View(ColourValue* pixels, int width, int height, int pitch, PixelLayout layout);

    // Gives the surface a new size, every pixel in the background colour. Throws
    // std::invalid_argument for a side below 0 or above kMaxSide, or for a view.
    void Resize(int width, int height);
    void Clear();  // every pixel to the background colour

    PixelLayout Layout() const { return layout_; }
    bool IsView() const { return view_ != nullptr; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetBackground(ColourValue c) { background_ = c & 0x00FFFFFFu; }

    bool Contains(std::int64_t x, std::int64_t y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_;
    }

    PixelRect Bounds() const { return {0, 0, width_, height_}; }

    // The part of the width × height rectangle at (x, y) that lies on the surface; empty
    // when none does.
    PixelRect Clip(int x, int y, int width, int height) const { return Intersect(RectAt(x, y, width, height), Bounds()); }

    // Row pointers for code that has already clipped to the surface; the values are in
    // the surface's layout.
    ColourValue* Row(int y) { return Base() + static_cast<std::ptrdiff_t>(y) * Pitch(); }
    const ColourValue* Row(int y) const { return Base() + static_cast<std::ptrdiff_t>(y) * Pitch(); }
    // Pixels from one row to the next: the width, except for a view.
    int Pitch() const { return view_ != nullptr ? pitch_ : width_; }

    HDC hDC() { return this; }

private:
    ColourValue* Base() { return view_ != nullptr ? view_ : pixels_.data(); }
    const ColourValue* Base() const { return view_ != nullptr ? view_ : pixels_.data(); }

    int width_ = 0;
    int height_ = 0;
    ColourValue background_;
    std::vector<ColourValue> pixels_;
    ColourValue* view_ = nullptr;  // set for a view, whose pixels live elsewhere
    int pitch_ = 0;
    PixelLayout layout_ = PixelLayout::Bgr;
};

}  // namespace platform
