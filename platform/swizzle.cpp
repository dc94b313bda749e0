#include "platform/swizzle.h"

namespace platform {

void CopyAsXrgb(const Surface& from, int width, int height, void* to, std::ptrdiff_t pitch, std::uint32_t topByte) {
    for (int y = 0; y < height; ++y) {
        const ColourValue* src = from.Row(y);
        auto* dst = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(to) + y * pitch);
        // Shifts and masks only, so the compiler vectorises the row.
        for (int x = 0; x < width; ++x) dst[x] = ToXrgb(src[x], topByte);
    }
}

}  // namespace platform
