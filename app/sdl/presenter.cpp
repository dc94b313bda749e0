#include "app/sdl/presenter.h"

#include <algorithm>
#include <array>

namespace app {

Presenter::~Presenter() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
}

bool Presenter::Prepare() {
    if (shm_ != nullptr || renderer_ != nullptr) return true;
    if (path_ == PresentPath::OwnWhereAvailable) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        shm_ = XShmPresenter::Open(window_, w, h);
        if (shm_ != nullptr) return true;
    }
    if (SDL_GetWindowSurface(window_) != nullptr) return true;
    renderer_ = SDL_CreateRenderer(window_, -1, 0);
    return renderer_ != nullptr;
}

WindowSurface Presenter::Target() {
    if (shm_ != nullptr) {
        int w = 0, h = 0;
        SDL_GetWindowSize(window_, &w, &h);
        if (platform::Surface* image = shm_->Target(w, h)) return {*image, shm_->Age()};
        shm_.reset();  // no shared memory left for the new size: SDL's path from now on
    }
    SDL_Surface* screen = renderer_ == nullptr ? SDL_GetWindowSurface(window_) : nullptr;
    if (screen != nullptr) {
        const SDL_PixelFormat* f = screen->format;
        const bool plain = f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u &&
                           f->Bmask == 0x000000FFu && f->Amask == 0 && !SDL_MUSTLOCK(screen);
        if (plain) {
            // A view covers at most the largest surface; beyond it the window stays black.
            view_ = platform::Surface::View(static_cast<platform::ColourValue*>(screen->pixels),
                                            std::min(screen->w, platform::Surface::kMaxSide),
                                            std::min(screen->h, platform::Surface::kMaxSide), screen->pitch / 4,
                                            platform::PixelLayout::Rgb);
            viewing_ = true;
            return {view_, framebufferAge_};
        }
    }
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    w = std::clamp(w, 1, platform::Surface::kMaxSide);
    h = std::clamp(h, 1, platform::Surface::kMaxSide);
    if (own_.Width() != w || own_.Height() != h) {
        own_.Resize(w, h);
        ownAge_ = 0;
        wrap_.reset();  // SDL's view of the old pixels
    }
    viewing_ = false;
    return {own_, ownAge_};
}

void Presenter::Present(const Damage& changed) {
    if (shm_ != nullptr) {
        shm_->Present(changed);
        return;
    }
    // Every path below keeps what it was given: the framebuffer, or the program's own surface.
    if (viewing_) framebufferAge_ = 1; else ownAge_ = 1;
    Put(changed);
}

void Presenter::Put(const Damage& changed) {
    if (renderer_ == nullptr) {
        SDL_Surface* screen = SDL_GetWindowSurface(window_);
        if (screen == nullptr) return;
        // A view is the framebuffer, whose content is there already; a surface of its own
        // pixels (a framebuffer of another layout) is converted onto it.
        if (!viewing_) {
            if (!wrap_) wrap_ = WrapSurface(own_);
            if (wrap_) SDL_BlitSurface(wrap_.get(), nullptr, screen, nullptr);
        }
        // Either fails harmlessly while the size is changing.
        if (!viewing_ || changed.IsEverything()) {
            SDL_UpdateWindowSurface(window_);
        } else if (!changed.IsNothing()) {
            std::array<SDL_Rect, Damage::kMaxRects> rects;
            std::size_t n = 0;
            for (const platform::PixelRect& r : changed.Rects()) rects[n++] = {r.left, r.top, r.Width(), r.Height()};
            SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(n));
        }
        return;
    }
    if (texture_ == nullptr || textureWidth_ != own_.Width() || textureHeight_ != own_.Height()) {
        if (texture_ != nullptr) SDL_DestroyTexture(texture_);
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_XBGR8888, SDL_TEXTUREACCESS_STREAMING, own_.Width(),
                                     own_.Height());
        textureWidth_ = own_.Width();
        textureHeight_ = own_.Height();
        if (texture_ == nullptr) return;
    }
    SDL_UpdateTexture(texture_, nullptr, own_.Row(0), own_.Pitch() * 4);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    SDL_RenderPresent(renderer_);
}

void Presenter::Repaint() {
    if (shm_ != nullptr) {
        shm_->Repaint();
    } else if (!viewing_ || framebufferAge_ != 0) {
        // A framebuffer SDL made anew holds nothing of the program's: the next frame, drawn
        // whole, puts it; putting it now would show whatever memory it was given.
        Put(Damage::Everything());
    }
}

void Presenter::Blank() {
    platform::Surface& target = Target().pixels;
    for (int y = 0; y < target.Height(); ++y) std::fill_n(target.Row(y), target.Width(), platform::ColourValue{0});
    Present();
}

}  // namespace app
