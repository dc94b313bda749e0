#include "app/picture_decode.h"

#include "app/gif_decode.h"
#include "app/jpeg_decode.h"

namespace app {

void DecodePicture(const std::vector<std::uint8_t>& bytes, PictureKind kind, const std::string& name,
                   platform::Surface& target) {
    if (kind == PictureKind::Jpeg) {
        DecodeJpegOnto(bytes, name, target);
    } else {
        DecodeGifOnto(bytes, name, target);
    }
}

std::uint32_t PixelDigest(const platform::Surface& pixels) {
    std::uint32_t hash = 2166136261u;
    for (int y = 0; y < pixels.Height(); ++y)
        for (int x = 0; x < pixels.Width(); ++x)
            for (int shift = 0; shift < 32; shift += 8) hash = (hash ^ ((pixels.Row(y)[x] >> shift) & 0xFFu)) * 16777619u;
    return hash;
}

}  // namespace app
