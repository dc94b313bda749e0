// Feeds arbitrary bytes to the program's decoders, as a GIF onto the sprite's surface and
// as a JPEG onto the scene's: each either draws the picture or raises StartupError, within
// the bounds of its target.
#include "app/gif_decode.h"
#include "app/jpeg_decode.h"
#include "app/startup_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    platform::Surface sprite(47, 47, 0x404040), scene(320, 240, 0x404040);
    try {
        app::DecodeGifOnto(bytes, "fuzz.gif", sprite);
    } catch (const app::StartupError&) {
    }
    try {
        app::DecodeJpegOnto(bytes, "fuzz.jpg", scene);
    } catch (const app::StartupError&) {
    }
    return 0;
}
