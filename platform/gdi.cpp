#include "platform/gdi.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace platform {

ColourValue GetPixel(HDC dc, int x, int y) {
    if (dc == nullptr || !dc->Contains(x, y)) return kInvalidColour;
    const ColourValue stored = dc->Row(y)[x] & 0x00FFFFFFu;
    return dc->Layout() == PixelLayout::Rgb ? SwapRedBlue(stored) : stored;
}

bool SetPixelV(HDC dc, int x, int y, ColourValue colour) {
    if (dc == nullptr || !dc->Contains(x, y)) return false;
    colour &= 0x00FFFFFFu;
    dc->Row(y)[x] = dc->Layout() == PixelLayout::Rgb ? SwapRedBlue(colour) : colour;
    return true;
}

bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy,
            std::uint32_t rop) {
    if (dst == nullptr || src == nullptr || rop != kSrcCopy || width < 0 || height < 0) {
        return false;
    }
    // What lies on the destination and has a source pixel: the source's bounds moved to
    // destination coordinates. The offset is formed in 64 bits, so no position overflows.
    const std::int64_t dx = std::int64_t{x} - sx, dy = std::int64_t{y} - sy;
    const PixelRect src0 = src->Bounds();
    const PixelRect on = Intersect(Intersect(RectAt(x, y, width, height), dst->Bounds()),
                                   RectAt(src0.left + dx, src0.top + dy, src0.Width(), src0.Height()));
    if (on.Empty()) return true;
    const std::int64_t dx0 = on.left, dy0 = on.top, sx0 = on.left - dx, sy0 = on.top - dy;
    const std::int64_t w = on.Width(), h = on.Height();

    // Between layouts (into or out of a window framebuffer) each pixel changes form; the
    // two surfaces are then different surfaces, so they cannot overlap.
    if (dst->Layout() != src->Layout()) {
        for (std::int64_t row = 0; row < h; ++row) {
            ColourValue* to = dst->Row(static_cast<int>(dy0 + row)) + dx0;
            const ColourValue* from = src->Row(static_cast<int>(sy0 + row)) + sx0;
            for (std::int64_t i = 0; i < w; ++i) to[i] = SwapRedBlue(from[i]);
        }
        return true;
    }
    // Whole rows of two surfaces of the same width lie in one block: one copy is faster
    // than a copy per row, and memmove keeps overlapping blocks right.
    if (dx0 == 0 && sx0 == 0 && w == dst->Pitch() && w == src->Pitch()) {
        std::memmove(dst->Row(static_cast<int>(dy0)), src->Row(static_cast<int>(sy0)),
                     static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * sizeof(ColourValue));
        return true;
    }
    const auto rowBytes = static_cast<std::size_t>(w) * sizeof(ColourValue);
    const auto copyRow = [&](std::int64_t row) {
        std::memmove(dst->Row(static_cast<int>(dy0 + row)) + dx0,
                     src->Row(static_cast<int>(sy0 + row)) + sx0, rowBytes);
    };
    // Within one surface, copying downwards must start at the bottom row so that no
    // source row is overwritten before it is read; memmove handles overlap within a row.
    if (dst == src && dy0 > sy0) {
        for (std::int64_t row = h - 1; row >= 0; --row) copyRow(row);
    } else {
        for (std::int64_t row = 0; row < h; ++row) copyRow(row);
    }
    return true;
}

std::uint32_t GetTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

}  // namespace platform
