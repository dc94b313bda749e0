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

    // The surface to draw the window's content on: a view of the window's framebuffer
    // where its layout is the usual 0x00RRGGBB, so that copying onto it is the last copy;
    // otherwise a surface of the window's size that Present converts.
    platform::Surface& Target();

    // Puts pixels on the screen: Target() as it stands, any other surface converted.
    void Present(const platform::Surface& pixels);

private:
    SDL_Surface* Wrap(const platform::Surface& pixels);

    SDL_Window* window_;
    SDL_Surface* viewed_ = nullptr;  // the framebuffer that view_ shows
    platform::Surface view_;
    platform::Surface own_;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    SDL_Surface* wrap_ = nullptr;
};

// An SDL view of the pixels of a platform surface that owns them (0x00BBGGRR, no gaps),
// no copy; free with SDL_FreeSurface.
SDL_Surface* WrapSurface(const platform::Surface& pixels);

}  // namespace app
