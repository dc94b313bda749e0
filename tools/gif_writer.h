// Writes an 8-bit palettised picture as a GIF89a file (LZW-compressed, one image).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tools {

using Palette = std::array<std::array<std::uint8_t, 3>, 256>;

// The LZW code stream of the indices, as GIF stores it before splitting into blocks.
std::vector<std::uint8_t> GifLzw(const std::vector<std::uint8_t>& indices);

bool WriteGif(const std::string& path, int width, int height, const Palette& palette,
              const std::vector<std::uint8_t>& indices, std::string* error);

}  // namespace tools
