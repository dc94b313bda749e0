// What changed on a surface since it was last shown: a few rectangles, or all of it. A frame
// that moves a sprite and reprints a few lines touches a small part of the scene; copying and
// putting only that part is most of what a frame can save.
#pragma once

#include <array>
#include <span>

#include "platform/surface.h"

namespace app {

class Damage {
public:
    static constexpr int kMaxRects = 16;

    // Every pixel may have changed.
    static Damage Everything() {
        Damage d;
        d.everything_ = true;
        return d;
    }

    bool IsEverything() const { return everything_; }
    bool IsNothing() const { return !everything_ && count_ == 0; }
    // The rectangles, when not everything; they may overlap.
    std::span<const platform::PixelRect> Rects() const { return {rects_.data(), static_cast<std::size_t>(count_)}; }

    // Empty rectangles add nothing; one inside another already held adds nothing either. Past
    // kMaxRects the last rectangle grows to hold the new one: more is copied, nothing is lost.
    void Add(const platform::PixelRect& rect);
    void Add(const Damage& other);

private:
    bool everything_ = false;
    int count_ = 0;
    std::array<platform::PixelRect, kMaxRects> rects_{};
};

}  // namespace app
