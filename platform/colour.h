// The one packed colour layout of the system: 0x00BBGGRR, red in the low byte.
#pragma once

#include <cstdint>

namespace platform {

using ColourValue = std::uint32_t;

// What GetPixel returns for a point outside a surface (its channels read as white);
// <wingdi.h>'s CLR_INVALID, under a name its macro leaves alone.
inline constexpr ColourValue kInvalidColour = 0xFFFFFFFFu;

constexpr std::uint8_t RedOf(ColourValue c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t GreenOf(ColourValue c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(ColourValue c) { return static_cast<std::uint8_t>(c >> 16); }

// The byte above blue: alpha in some pixel formats, unused in others.
inline constexpr ColourValue kFourthByte = 0xFF000000u;

// red + 256 × green + 65536 × blue
constexpr ColourValue PackRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<ColourValue>(r) | static_cast<ColourValue>(g) << 8 |
           static_cast<ColourValue>(b) << 16;
}

// Between 0x00BBGGRR and the 0x00RRGGBB of most window framebuffers; its own inverse.
constexpr ColourValue SwapRedBlue(ColourValue c) {
    return (c & 0xFFu) << 16 | (c & 0xFF00u) | (c >> 16 & 0xFFu);
}

}  // namespace platform
