// How the display that shows a window holds a pixel's colour: through a palette or not, and
// in how many bits.
#pragma once

#include <SDL.h>

namespace app {

struct DisplayColours {
    bool palette;  // colours are entries of a colour map (PseudoColor, StaticColor, greys)
    int bits;
};

// On X11, the default visual of the window's screen: its class and depth (SDL names no pixel
// format for a 30-bit TrueColor visual, though it draws there). Elsewhere, the pixel format SDL gives the window.
DisplayColours ColoursOf(SDL_Window* window);

}  // namespace app
