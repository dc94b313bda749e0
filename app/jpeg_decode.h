// Decodes JPEG pictures with libjpeg-turbo, its cost bounded by what the file pays for: a
// Huffman-coded picture spends at least one bit on every 8 x 8 block it holds, so a header
// may claim at most 8 blocks for each byte of the file (beyond kFreeJpegBlocks, which any
// file may claim); a progressive picture keeps all its coefficients, at most
// kMaxJpegWorkingBytes, may have at most kMaxJpegScans scans, and its scans together may
// decode each coefficient at most kMaxJpegPasses times (at least kFreeJpegCoefficientWork
// coefficients), counted from each scan's header before its data is read. Only the part of
// the picture that lands on the target is decoded, turned upright by its Exif orientation.
// CMYK and YCCK pictures are converted to their true colours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace app {

inline constexpr std::uint64_t kFreeJpegBlocks = 131'072;  // 2048 x 2048 in 4:2:0, or 1920 x 1080 in 4:4:4
inline constexpr std::uint64_t kJpegBlocksPerByte = 8;
inline constexpr int kMaxJpegScans = 100;
// A 48-megapixel progressive picture with full colour resolution keeps 275 MiB.
inline constexpr std::size_t kMaxJpegWorkingBytes = std::size_t{320} << 20;
// Encoders refine a coefficient once per bit they add to it: three or four passes in all.
inline constexpr std::uint64_t kMaxJpegPasses = 6;
inline constexpr std::uint64_t kFreeJpegCoefficientWork = 50'000'000;

// Draws the picture, upright, at the target's top-left corner over the target's background
// colour, cut to the target's size (rows and columns beyond it are not decoded). A file cut short
// decodes what it holds, the rest mid-grey, as libjpeg does. Throws StartupError naming
// `name` with libjpeg's own reason, or the limit a picture exceeds.
void DecodeJpegOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target);

}  // namespace app
