// SDL surfaces held by owning handles, and SDL's view of a platform surface's pixels.
#pragma once

#include <SDL.h>

#include <memory>

#include "platform/surface.h"

namespace app {

struct FreeSdlSurface {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfaceHandle = std::unique_ptr<SDL_Surface, FreeSdlSurface>;

// SDL's view of the surface's pixels, no copy; null with SDL's error when SDL refuses.
// SDL_PIXELFORMAT_XBGR8888 is 0x00BBGGRR in a native 32-bit word: the platform's layout.
inline SurfaceHandle WrapSurface(platform::Surface& pixels) {
    return SurfaceHandle(SDL_CreateRGBSurfaceWithFormatFrom(pixels.Row(0), pixels.Width(), pixels.Height(), 32,
                                                            pixels.Pitch() * 4, SDL_PIXELFORMAT_XBGR8888));
}

}  // namespace app
