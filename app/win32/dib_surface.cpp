#include "app/win32/dib_surface.h"

#include <algorithm>
#include <cstring>

#include "app/startup_error.h"
#include "app/win32/wide_text.h"

namespace app {

DibSurface::~DibSurface() { Release(); }

void DibSurface::Release() {
    if (memory_ != nullptr) {
        SelectObject(memory_, previous_);
        DeleteDC(memory_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    memory_ = nullptr;
    bitmap_ = nullptr;
    view_ = platform::Surface();
    painted_ = false;
}

WindowSurface DibSurface::Target(int width, int height) {
    width = std::clamp(width, 1, platform::Surface::kMaxSide);
    height = std::clamp(height, 1, platform::Surface::kMaxSide);
    // GDI may still be reading the pixels for a copy it has queued.
    GdiFlush();
    if (bitmap_ != nullptr && view_.Width() == width && view_.Height() == height) return {view_, painted_ ? 1 : 0};
    Release();

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first, as the surface has it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    memory_ = CreateCompatibleDC(nullptr);
    if (bitmap_ == nullptr || memory_ == nullptr || bits == nullptr) {
        const std::string why = SystemMessage(GetLastError());
        Release();
        throw StartupError("window", "cannot be drawn: no " + std::to_string(width) + " x " + std::to_string(height) +
                                         " bitmap (" + why + ")");
    }
    previous_ = SelectObject(memory_, bitmap_);
    // A 32-bit DIB stores blue, green, red, unused: the value 0x00RRGGBB.
    std::memset(bits, 0, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    view_ = platform::Surface::View(static_cast<platform::ColourValue*>(bits), width, height, width,
                                    platform::PixelLayout::Rgb);
    return {view_, 0};
}

void DibSurface::PaintOn(HDC window) {
    if (memory_ == nullptr) return;
    ::BitBlt(window, 0, 0, view_.Width(), view_.Height(), memory_, 0, 0, SRCCOPY);
    painted_ = true;
}

}  // namespace app
