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

platform::Surface& Presenter::Target() {
    SDL_Surface* screen = renderer_ == nullptr ? SDL_GetWindowSurface(window_) : nullptr;
    if (screen != nullptr) {
        const SDL_PixelFormat* f = screen->format;
        const bool plain = f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u &&
                           f->Bmask == 0x000000FFu && f->Amask == 0 && !SDL_MUSTLOCK(screen);
        if (plain) {
            if (screen != viewed_) {
                view_ = platform::Surface::View(static_cast<platform::ColourValue*>(screen->pixels), screen->w, screen->h,
                                                screen->pitch / 4, platform::PixelLayout::Rgb);
                viewed_ = screen;
            }
            return view_;
        }
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (own_.Width() != w || own_.Height() != h) own_.Resize(w, h);
    return own_;
}

void Presenter::Present(const platform::Surface& pixels) {
    if (renderer_ == nullptr) {
        SDL_Surface* screen = SDL_GetWindowSurface(window_);
        if (screen == nullptr) return;
        // A view is the framebuffer (Target() gives no other), whose content is there
        // already; a surface of its own pixels is converted onto the framebuffer.
        if (!pixels.IsView()) {
            if (SDL_Surface* source = Wrap(pixels)) SDL_BlitSurface(source, nullptr, screen, nullptr);
        }
        SDL_UpdateWindowSurface(window_);
        return;
    }
    SDL_UpdateTexture(texture_, nullptr, pixels.Pixels(), pixels.Width() * 4);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

}  // namespace app
