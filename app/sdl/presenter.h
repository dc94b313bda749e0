// An SDL window's pixels as a drawing surface: on X11 two shared-memory images of the
// program's own, put in turn; otherwise (SDL's path) a view of the window's own framebuffer,
// or a surface of the window's size that a renderer's streaming texture (Wayland) or a
// converting blit puts on it.
#pragma once

#include <SDL.h>

#include "app/damage.h"
#include "app/sdl/sdl_surface.h"
#include "app/sdl/xshm_presenter.h"
#include "app/toolkit.h"
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

    // The surface to draw the window's content on, valid until the next call, and what it
    // holds: a view of the window's framebuffer where its layout is the usual 0x00RRGGBB, so
    // that copying onto it is the last copy; otherwise a surface of the window's size that
    // Present converts.
    WindowSurface Target();

    // The window's framebuffer is SDL's to make anew (the window changed size): what it holds
    // is unknown until the next frame is drawn whole.
    void Invalidate() { framebufferAge_ = 0; }

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
    // Puts the surface Target() gave, or the parts of it `changed` names.
    void Put(const Damage& changed);

    SDL_Window* window_;
    PresentPath path_;
    std::unique_ptr<XShmPresenter> shm_;
    // What the window's framebuffer holds (toolkit.h): 0 after SDL made it anew, 1 once a
    // frame was put from it.
    int framebufferAge_ = 0;
    platform::Surface view_;
    platform::Surface own_;
    int ownAge_ = 0;
    bool viewing_ = false;  // what Target() last gave: view_, or own_
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0, textureHeight_ = 0;
    SurfaceHandle wrap_;  // SDL's view of own_, for a framebuffer of another layout
};

}  // namespace app
