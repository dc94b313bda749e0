// Feeds arbitrary bytes to the picture check that comes before decoding, as both kinds: it
// either passes or raises StartupError.
#include "app/picture_header.h"
#include "app/startup_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    for (app::PictureKind kind : {app::PictureKind::Jpeg, app::PictureKind::Gif}) {
        try {
            app::InspectPicture(bytes, kind, "fuzz");
        } catch (const app::StartupError&) {
        }
    }
    return 0;
}
