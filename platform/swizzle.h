// Copies 0x00BBGGRR pixels into the 0xAARRGGBB layout of most X11 and Wayland window
// framebuffers: the red and blue bytes change places, the top byte takes a fixed value.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/surface.h"

namespace platform {

// Copies the top-left width × height pixels of `from` (callers keep them within it) into
// rows of `pitch` bytes at `to`.
void CopyAsXrgb(const Surface& from, int width, int height, void* to, std::ptrdiff_t pitch, std::uint32_t topByte);

// One pixel of that copy.
constexpr std::uint32_t ToXrgb(ColourValue c, std::uint32_t topByte) {
    return topByte << 24 | (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}

}  // namespace platform
