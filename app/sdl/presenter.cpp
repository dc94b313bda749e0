#include "app/sdl/presenter.h"

#include <algorithm>

#include "platform/swizzle.h"

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
        if (screen == nullptr) return;
        const SDL_PixelFormat* f = screen->format;
        if (f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u && f->Bmask == 0x000000FFu &&
            !SDL_MUSTLOCK(screen)) {
            // The usual X11 visual: a plain byte swap, several times faster than SDL's
            // general converter, which spent half of each present.
            platform::CopyAsXrgb(pixels, std::min(pixels.Width(), screen->w), std::min(pixels.Height(), screen->h),
                                 screen->pixels, screen->pitch, f->Amask != 0 ? 0xFFu : 0u);
        } else if (SDL_Surface* source = Wrap(pixels)) {
            SDL_BlitSurface(source, nullptr, screen, nullptr);
        }
        SDL_UpdateWindowSurface(window_);
        return;
    }
    SDL_UpdateTexture(texture_, nullptr, pixels.Pixels(), pixels.Width() * 4);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

}  // namespace app
