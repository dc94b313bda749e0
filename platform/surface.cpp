#include "platform/surface.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace platform {

Surface::Surface(int width, int height, ColourValue background) : Surface(background) {
    Resize(width, height);
}

Surface Surface::View(ColourValue* pixels, int width, int height, int pitch, PixelLayout layout) {
    if (pixels == nullptr || width < 0 || height < 0 || width > kMaxSide || height > kMaxSide || pitch < width) {
        throw std::invalid_argument("a view of " + std::to_string(width) + " x " + std::to_string(height) +
                                    " pixels with a pitch of " + std::to_string(pitch) + " is not possible");
    }
    Surface view;
    view.view_ = pixels;
    view.width_ = width;
    view.height_ = height;
    view.pitch_ = pitch;
    view.layout_ = layout;
    return view;
}

void Surface::Resize(int width, int height) {
    if (view_ != nullptr) throw std::invalid_argument("a view of pixels owned elsewhere cannot be resized");
    if (width < 0 || width > kMaxSide || height < 0 || height > kMaxSide) {
        throw std::invalid_argument("surface size " + std::to_string(width) + " x " +
                                    std::to_string(height) + " is outside 0.." +
                                    std::to_string(kMaxSide) + " per side");
    }
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                   background_);
}

void Surface::Clear() {
    const ColourValue stored = layout_ == PixelLayout::Rgb ? SwapRedBlue(background_) : background_;
    for (int y = 0; y < height_; ++y) std::fill(Row(y), Row(y) + width_, stored);
}

}  // namespace platform
