// Recognises a picture by its content before it is decoded; for a GIF also its size from
// the header, so that it is refused before decoding allocates anything for it (a JPEG's
// header is libjpeg's to read: jpeg_decode.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace app {

enum class PictureKind { Jpeg, Gif };

// The largest side either format can state (libjpeg itself stops at 65,500): a picture's
// cost is bounded by its decoder, which decodes only the part that lands on its surface.
inline constexpr int kMaxPictureSide = 65535;

struct PictureSize {
    int width;
    int height;
};

// Throws StartupError naming `name` when the bytes are not a picture of that kind; for a GIF
// also when its header is cut short or a side is 0 or above kMaxPictureSide. A JPEG's
// header is read by libjpeg itself (jpeg_decode.h), which checks the same limits on it.
void InspectPicture(const std::vector<std::uint8_t>& bytes, PictureKind kind, const std::string& name);

// True when both sides are within 1..kMaxPictureSide; otherwise the reason, as in
// "picture size 30000 x 30000 is outside 1..65535 per side", is written into `why`.
bool SidesWithinLimits(PictureSize size, char* why, std::size_t whySize);

}  // namespace app
