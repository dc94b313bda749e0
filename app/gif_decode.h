// Decodes the first image of a GIF onto a platform surface: global and local colour tables,
// interlaced rows, the transparent index of a graphic control extension, clear codes and
// a full code table kept until the next clear (a "deferred clear"), and an image smaller
// than the picture or placed inside it. Every field is bounded and every damage refused
// with what is wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace app {

bool IsGif(const std::vector<std::uint8_t>& bytes);

// Draws the picture at the target's top-left corner over the target's background colour:
// transparent pixels, and the picture's pixels that the image does not cover, show that
// colour. Rows beyond the target are not decoded. Throws StartupError naming `name`
// ("cannot be decoded: " and the reason) when the file is damaged.
void DecodeGifOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target);

}  // namespace app
