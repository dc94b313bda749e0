// Writes 8-bit RGB pictures as PNG files (zlib for the compressed stream).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// rgb holds width × height × 3 bytes, rows top to bottom. Returns false with a message
// in *error when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb,
              std::string* error);

}  // namespace tools
