#include "app/presentation.h"

#include <algorithm>
#include <cmath>

#include "app/toolkit.h"
#include "platform/gdi.h"

namespace app {
namespace {

// The part `part` of the scene, enlarged by whole factors: each scene pixel becomes
// scale × scale window pixels. The caller has placed the scene inside the window.
void CopyEnlarged(const platform::Surface& scene, platform::Surface& window, const ScenePlacement& at,
                  const platform::PixelRect& part) {
    const bool exchange = scene.Layout() != window.Layout();
    for (int y = part.top; y < part.bottom; ++y) {
        const platform::ColourValue* from = scene.Row(y);
        platform::ColourValue* first = window.Row(at.top + y * at.scale) + at.left + part.left * at.scale;
        platform::ColourValue* to = first;
        for (int x = part.left; x < part.right; ++x) {
            const platform::ColourValue c = exchange ? platform::SwapRedBlue(from[x]) : from[x];
            to = std::fill_n(to, at.scale, c);
        }
        for (int copy = 1; copy < at.scale; ++copy) {
            std::copy(first, to, window.Row(at.top + y * at.scale + copy) + at.left + part.left * at.scale);
        }
    }
}

void CopyPart(const platform::Surface& scene, platform::Surface& window, const ScenePlacement& at,
              const platform::PixelRect& part) {
    if (at.scale == 1) {
        auto& source = const_cast<platform::Surface&>(scene);  // BitBlt only reads its source
        platform::BitBlt(window.hDC(), at.left + part.left, at.top + part.top, part.Width(), part.Height(),
                         source.hDC(), part.left, part.top, platform::kSrcCopy);
    } else {
        CopyEnlarged(scene, window, at, part);
    }
}

// Where a part of the scene lies on the window.
platform::PixelRect OnWindow(const platform::PixelRect& part, const ScenePlacement& at, const platform::Surface& window) {
    const auto x = [&](int v) { return std::int64_t{at.left} + std::int64_t{v} * at.scale; };
    const auto y = [&](int v) { return std::int64_t{at.top} + std::int64_t{v} * at.scale; };
    return platform::Intersect(platform::RectAt(x(part.left), y(part.top), x(part.right) - x(part.left),
                                                y(part.bottom) - y(part.top)),
                               window.Bounds());
}

}  // namespace

ScenePlacement PlaceScene(int windowWidth, int windowHeight) {
    ScenePlacement p;
    p.scale = std::max(1, std::min(windowWidth / FRAME_WIDTH, windowHeight / FRAME_HEIGHT));
    p.left = (windowWidth - p.scale * FRAME_WIDTH) / 2;
    p.top = (windowHeight - p.scale * FRAME_HEIGHT) / 2;
    return p;
}

float WindowToScene(float position, int origin, int scale) {
    const float moved = position - static_cast<float>(origin);
    return scale == 1 ? moved : std::floor(moved / static_cast<float>(scale));
}

const Damage& ScenePresenter::CopyOnto(const platform::Surface& scene, WindowSurface window, const Damage& changed) {
    ++calls_;
    history_[calls_ % kHistory] = changed;
    platform::Surface& pixels = window.pixels;
    placement_ = PlaceScene(pixels.Width(), pixels.Height());
    // A window of another size shows nothing of the last frame, whatever the surface holds.
    if (pixels.Width() != width_ || pixels.Height() != height_) window.age = 0;
    width_ = pixels.Width();
    height_ = pixels.Height();

    // A surface `age` frames old lacks the changes of the frames after the one it holds, and
    // this frame's.
    Damage lacking;
    if (window.age <= 0 || window.age > kHistory || static_cast<std::uint64_t>(window.age) > calls_) {
        lacking = Damage::Everything();
    } else {
        for (std::uint64_t call = calls_ - static_cast<std::uint64_t>(window.age) + 1; call <= calls_; ++call) {
            lacking.Add(history_[call % kHistory]);
        }
    }
    if (window.age <= 0) {
        for (int y = 0; y < pixels.Height(); ++y) std::fill_n(pixels.Row(y), pixels.Width(), platform::ColourValue{0});
    }
    const platform::PixelRect sceneBounds =
        platform::Intersect(scene.Bounds(), {0, 0, FRAME_WIDTH, FRAME_HEIGHT});
    if (lacking.IsEverything()) {
        CopyPart(scene, pixels, placement_, sceneBounds);
    } else {
        for (const platform::PixelRect& part : lacking.Rects()) {
            const platform::PixelRect on = platform::Intersect(part, sceneBounds);
            if (!on.Empty()) CopyPart(scene, pixels, placement_, on);
        }
    }

    windowChanged_ = Damage();
    if (window.age <= 0 || changed.IsEverything()) {
        windowChanged_ = Damage::Everything();
    } else {
        for (const platform::PixelRect& part : changed.Rects()) windowChanged_.Add(OnWindow(part, placement_, pixels));
    }
    return windowChanged_;
}

}  // namespace app
