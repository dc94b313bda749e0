// The program's own decoding of its pictures, the same on every platform: JPEG through
// libjpeg-turbo, GIF through the program's decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/picture_header.h"
#include "platform/surface.h"

namespace app {

// Draws the picture at the target's top-left corner over the target's background colour
// (transparent GIF pixels show that colour), clipped to the target. Throws StartupError
// naming `name` when the bytes are not a picture of that kind or the decoder refuses them.
void DecodePicture(const std::vector<std::uint8_t>& bytes, PictureKind kind, const std::string& name,
                   platform::Surface& target);

// FNV-1a over the bytes of every pixel, row by row: how two platforms' decodings of the
// same picture are compared.
std::uint32_t PixelDigest(const platform::Surface& pixels);

}  // namespace app
