// A window's pixels on Windows: a 32-bit top-down DIB section selected into a memory device
// context, seen by the program as a drawing surface, and put on the window with gdi32's
// BitBlt.
#pragma once

#include <windows.h>

#include "app/toolkit.h"
#include "platform/surface.h"

namespace app {

class DibSurface {
public:
    DibSurface() = default;
    ~DibSurface();
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;

    // The surface for a client area of width × height, made anew (black, of age 0) when the
    // size changed; at most the largest surface, beyond which the window stays black. Throws
    // StartupError when GDI cannot make the bitmap.
    WindowSurface Target(int width, int height);

    // Copies the pixels onto a device context at its origin.
    void PaintOn(HDC window);

private:
    void Release();

    HDC memory_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    platform::Surface view_;
    bool painted_ = false;  // the bitmap holds what was last painted: a surface of age 1
};

}  // namespace app
