#include "app/sdl/picture_decode.h"

#include <SDL_image.h>

#include <stdexcept>

#include "app/sdl/presenter.h"
#include "app/startup_error.h"

namespace app {

void DecodePictureOnto(const std::vector<std::uint8_t>& bytes, const std::string& name, platform::Surface& target) {
    SDL_Surface* picture = IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (picture == nullptr) throw StartupError(name, std::string("cannot be decoded: ") + IMG_GetError());
    if (target.IsView()) throw std::invalid_argument("pictures are decoded onto surfaces that own their pixels");
    target.Clear();
    SDL_Surface* view = WrapSurface(target);
    const bool drawn = view != nullptr && SDL_BlitSurface(picture, nullptr, view, nullptr) == 0;
    SDL_FreeSurface(view);
    SDL_FreeSurface(picture);
    if (!drawn) throw StartupError(name, std::string("cannot be drawn: ") + SDL_GetError());
    // The blit may fill the unused top byte; colour values keep it 0.
    platform::ColourValue* p = target.Pixels();
    for (std::size_t i = 0, n = static_cast<std::size_t>(target.Width()) * target.Height(); i < n; ++i) {
        p[i] &= 0x00FFFFFFu;
    }
}

}  // namespace app
