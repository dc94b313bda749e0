// Puts a 0x00BBGGRR surface into an SDL window: through the window's own framebuffer
// (X11 shared memory when framebuffer acceleration is off), or through a renderer and a
// streaming texture where the window has no framebuffer (Wayland).
#pragma once

#include <SDL.h>

#include "platform/surface.h"

namespace app {

class Presenter {
public:
    explicit Presenter(SDL_Window* window) : window_(window) {}
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // Chooses the path; call before the window is first shown, or SDL may map a second
    // X window when it creates a renderer. Returns false with SDL's error when neither works.
    bool Prepare();
    void Present(const platform::Surface& pixels);
    bool UsesWindowSurface() const { return renderer_ == nullptr; }

private:
    SDL_Surface* Wrap(const platform::Surface& pixels);

    SDL_Window* window_;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Surface* wrap_ = nullptr;
};

// An SDL view of a platform surface's pixels, no copy; free with SDL_FreeSurface.
SDL_Surface* WrapSurface(const platform::Surface& pixels);

}  // namespace app
