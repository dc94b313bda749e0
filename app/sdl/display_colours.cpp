#include "app/sdl/display_colours.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

namespace app {

DisplayColours ColoursOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    XWindowAttributes attributes{};
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
        XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes) != 0) {
        // The screen's own visual: SDL may pick another for its window where one exists.
        const int kind = DefaultVisualOfScreen(attributes.screen)->c_class;
        return {kind != TrueColor && kind != DirectColor, DefaultDepthOfScreen(attributes.screen)};
    }
    const Uint32 format = SDL_GetWindowPixelFormat(window);
    return {format == SDL_PIXELFORMAT_UNKNOWN || SDL_ISPIXELFORMAT_INDEXED(format),
            static_cast<int>(SDL_BITSPERPIXEL(format))};
}

}  // namespace app
