#include "app/damage.h"

namespace app {
namespace {

bool Holds(const platform::PixelRect& outer, const platform::PixelRect& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

}  // namespace

void Damage::Add(const platform::PixelRect& rect) {
    if (everything_ || rect.Empty()) return;
    for (int i = 0; i < count_; ++i) {
        if (Holds(rects_[i], rect)) return;
        if (Holds(rect, rects_[i])) {
            rects_[i] = rect;
            return;
        }
    }
    if (count_ < kMaxRects) {
        rects_[count_++] = rect;
    } else {
        rects_[kMaxRects - 1] = platform::Enclose(rects_[kMaxRects - 1], rect);
    }
}

void Damage::Add(const Damage& other) {
    if (other.everything_) {
        *this = Everything();
        return;
    }
    for (const platform::PixelRect& rect : other.Rects()) Add(rect);
}

}  // namespace app
