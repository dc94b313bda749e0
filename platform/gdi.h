// The three pixel calls and the millisecond clock through which the engine and the
// application touch surfaces and time.
#pragma once

#include <cstdint>

#include "platform/colour.h"
#include "platform/surface.h"

namespace platform {

// The raster operation of a plain copy (SRCCOPY), named apart from <wingdi.h>'s macros so
// that a file may include both.
inline constexpr std::uint32_t kSrcCopy = 0x00CC0020u;

// The colour of pixel (x, y); kInvalidColour for a point outside the surface or a null handle.
ColourValue GetPixel(HDC dc, int x, int y);

// Sets pixel (x, y); the surface keeps 24 bits, so the top byte is dropped. A point
// outside the surface, or a null handle, changes nothing and returns false.
bool SetPixelV(HDC dc, int x, int y, ColourValue colour);

// Copies a width × height rectangle from src (sx, sy) to dst (x, y). The rectangle is
// clipped to both surfaces; source and destination may be the same surface and overlap.
// Only kSrcCopy is supported: any other raster operation, a null handle or a negative size
// copies nothing and returns false.
bool BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int sx, int sy,
            std::uint32_t rop);

// Milliseconds since the system started, wrapping to 0 after 2^32 ms.
std::uint32_t GetTickCount();

}  // namespace platform
