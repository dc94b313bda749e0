#include "app/sdl/presenter.h"

namespace app {

SDL_Surface* WrapSurface(const platform::Surface& pixels) {
    // SDL_PIXELFORMAT_XBGR8888 is 0x00BBGGRR in a native 32-bit word: the platform's layout.
    return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<platform::ColourValue*>(pixels.Pixels()), pixels.Width(),
                                              pixels.Height(), 32, pixels.Width() * 4, SDL_PIXELFORMAT_XBGR8888);
}

Presenter::~Presenter() {
    SDL_FreeSurface(wrap_);
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
}

bool Presenter::Prepare() {
    if (renderer_ != nullptr || SDL_GetWindowSurface(window_) != nullptr) return true;
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    if (renderer_ == nullptr) return false;
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XBGR8888, SDL_TEXTUREACCESS_STREAMING, w, h);
    return texture_ != nullptr;
}

SDL_Surface* Presenter::Wrap(const platform::Surface& pixels) {
    if (wrap_ == nullptr || wrap_->pixels != pixels.Pixels() || wrap_->w != pixels.Width() ||
        wrap_->h != pixels.Height()) {
        SDL_FreeSurface(wrap_);
        wrap_ = WrapSurface(pixels);
    }
    return wrap_;
}

void Presenter::Present(const platform::Surface& pixels) {
    if (renderer_ == nullptr) {
        SDL_Surface* screen = SDL_GetWindowSurface(window_);
        SDL_Surface* source = Wrap(pixels);
        if (screen == nullptr || source == nullptr) return;
        SDL_BlitSurface(source, nullptr, screen, nullptr);
        SDL_UpdateWindowSurface(window_);
        return;
    }
    SDL_UpdateTexture(texture_, nullptr, pixels.Pixels(), pixels.Width() * 4);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

}  // namespace app
