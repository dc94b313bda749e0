// An SDL window's pixels as a drawing surface: on X11 two shared-memory images of the
// program's own, put in turn; otherwise (SDL's path) a view of the window's own framebuffer,
// or a surface of the window's size that a renderer's streaming texture (Wayland) or a
// converting blit puts on it.
#pragma once

#include <SDL.h>

#include "app/damage.h"
#include "app/sdl/sdl_surface.h"
#include "app/sdl/xshm_presenter.h"
#include "platform/surface.h"

namespace app {

// Whether a window may be presented through the program's own X shared-memory images, or
// only through SDL.
enum class PresentPath { OwnWhereAvailable, SdlOnly };

class Presenter {
public:
    explicit Presenter(SDL_Window* window, PresentPath path = PresentPath::OwnWhereAvailable)
        : window_(window), path_(path) {}
    ~Presenter();
    Presenter(const Presenter&) = delete;
    Presenter& operator=(const Presenter&) = delete;

    // Chooses the path; call before the window is first shown, or SDL may map a second
    // X window when it creates a renderer. Returns false with SDL's error when neither works.
    bool Prepare();

    // The surface to draw the window's content on, valid until the next call: a view of the
    // window's framebuffer where its layout is the usual 0x00RRGGBB, so that copying onto it
    // is the last copy; otherwise a surface of the window's size that Present converts.
    // After the window changed size the surface is new and black.
    platform::Surface& Target();

    // Puts what Target() holds on the screen: the parts `changed` names where the path can
    // put parts, otherwise all of it.
    void Present(const Damage& changed = Damage::Everything());

    // Puts what the window last showed again, whole: it was exposed.
    void Repaint();

    // Paints the whole window black and shows it.
    void Blank();

    // True while the program's own images present the window.
    bool PresentsOwnImages() const { return shm_ != nullptr; }

private:
    SDL_Window* window_;
    PresentPath path_;
    std::unique_ptr<XShmPresenter> shm_;
    // The framebuffer that view_ shows, by what SDL may reuse: after a resize SDL frees the
    // window surface and may allocate the new one at the same address.
    struct Framebuffer {
        void* pixels = nullptr;
        int width = 0, height = 0, pitch = 0;
        bool operator==(const Framebuffer&) const = default;
    } viewed_;
    platform::Surface view_;
    platform::Surface own_;
    bool viewing_ = false;  // what Target() last gave: view_, or own_
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0, textureHeight_ = 0;
    SurfaceHandle wrap_;  // SDL's view of own_, for a framebuffer of another layout
};

}  // namespace app
