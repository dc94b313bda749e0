// Decodes JPEG pictures with libjpeg-turbo, its cost bounded whatever the file: the size
// limits are checked on the header libjpeg itself reads, only the part of the picture that
// lands on the target surface is decoded, and a picture of several scans (progressive) needs
// its whole coefficient buffer, which may be at most kMaxJpegWorkingBytes, may have at most
// kMaxJpegScans scans, and its scans together may decode at most kMaxJpegCoefficientWork
// coefficients, counted from each scan's header before its data is read. CMYK and YCCK
// pictures are converted to their true colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace app {

inline constexpr int kMaxJpegScans = 100;
inline constexpr std::size_t kMaxJpegWorkingBytes = std::size_t{16} << 20;
inline constexpr std::uint64_t kMaxJpegCoefficientWork = 50'000'000;

bool IsJpeg(const std::vector<std::uint8_t>& bytes);

// Draws the picture at the target's top-left corner over the target's background colour,
// cut to the target's size (rows and columns beyond it are not decoded). A file cut short
// decodes what it holds, the rest mid-grey, as libjpeg does. Throws StartupError naming
// `name` with libjpeg's own reason, or the limit a picture exceeds.
void DecodeJpegOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target);

}  // namespace app
