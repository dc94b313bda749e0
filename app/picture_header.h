// Recognises a JPEG or GIF picture by its content and reads its size from the header,
// so that a picture is refused before decoding allocates anything for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace app {

enum class PictureKind { Jpeg, Gif };

// Larger sides are refused: no picture the program uses comes near it.
inline constexpr int kMaxPictureSide = 8192;

struct PictureSize {
    int width;
    int height;
};

// Throws StartupError naming `name` when the bytes are not a picture of that kind, the
// header is cut short, or a side is 0 or above kMaxPictureSide.
PictureSize InspectPicture(const std::vector<std::uint8_t>& bytes, PictureKind kind, const std::string& name);

}  // namespace app
