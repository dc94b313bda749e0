// Feeds arbitrary bytes to the picture header check as both kinds: it either gives a
// size within the limits or raises StartupError.
#include <cstdlib>

#include "app/picture_header.h"
#include "app/startup_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    for (app::PictureKind kind : {app::PictureKind::Jpeg, app::PictureKind::Gif}) {
        try {
            const app::PictureSize s = app::InspectPicture(bytes, kind, "fuzz");
            if (s.width < 1 || s.height < 1 || s.width > app::kMaxPictureSide || s.height > app::kMaxPictureSide) {
                std::abort();
            }
        } catch (const app::StartupError&) {
        }
    }
    return 0;
}
