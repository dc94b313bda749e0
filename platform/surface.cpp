#include "platform/surface.h"

#include <stdexcept>
#include <string>

namespace platform {

Surface::Surface(int width, int height, ColourValue background) : Surface(background) {
    Resize(width, height);
}

void Surface::Resize(int width, int height) {
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

void Surface::Clear() { pixels_.assign(pixels_.size(), background_); }

}  // namespace platform
