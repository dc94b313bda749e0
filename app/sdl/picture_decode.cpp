#include "app/sdl/picture_decode.h"

#include <SDL_image.h>

#include <stdexcept>

#include "app/jpeg_decode.h"
#include "app/sdl/sdl_surface.h"
#include "app/startup_error.h"

namespace app {

void DecodePictureOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target) {
    if (target.IsView()) throw std::invalid_argument("pictures are decoded onto surfaces that own their pixels");
    if (IsJpeg(bytes)) {
        DecodeJpegOnto(bytes, name, target);
        return;
    }
    const SurfaceHandle picture(IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1));
    if (!picture) throw StartupError(name, std::string("cannot be decoded: ") + IMG_GetError());
    target.Clear();
    const SurfaceHandle view = WrapSurface(target);
    if (!view || SDL_BlitSurface(picture.get(), nullptr, view.get(), nullptr) != 0) {
        throw StartupError(name, std::string("cannot be drawn: ") + SDL_GetError());
    }
    // The blit may fill the unused top byte; colour values keep it 0.
    for (int y = 0; y < target.Height(); ++y) {
        platform::ColourValue* row = target.Row(y);
        for (int x = 0; x < target.Width(); ++x) row[x] &= 0x00FFFFFFu;
    }
}

}  // namespace app
