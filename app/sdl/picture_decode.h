// Decodes a JPEG (libjpeg-turbo, see jpeg_decode.h) or a GIF (SDL2_image) onto a platform
// surface.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace app {

// Draws the picture at the target's top-left corner over the target's background colour
// (transparent GIF pixels show that colour), clipped to the target. Throws StartupError
// naming `name` when the decoder refuses the bytes.
void DecodePictureOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target);

}  // namespace app
