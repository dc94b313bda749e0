#include "app/presentation.h"

#include <algorithm>
#include <cmath>

#include "app/toolkit.h"
#include "platform/gdi.h"

namespace app {
namespace {

// The scene enlarged by whole factors: each scene pixel becomes scale × scale window
// pixels. The caller has placed it inside the window.
void CopyEnlarged(const platform::Surface& scene, platform::Surface& window, const ScenePlacement& at) {
    const bool exchange = scene.Layout() != window.Layout();
    const int width = std::min(scene.Width(), FRAME_WIDTH), height = std::min(scene.Height(), FRAME_HEIGHT);
    for (int y = 0; y < height; ++y) {
        const platform::ColourValue* from = scene.Row(y);
        platform::ColourValue* first = window.Row(at.top + y * at.scale) + at.left;
        platform::ColourValue* to = first;
        for (int x = 0; x < width; ++x) {
            const platform::ColourValue c = exchange ? platform::SwapRedBlue(from[x]) : from[x];
            to = std::fill_n(to, at.scale, c);
        }
        for (int copy = 1; copy < at.scale; ++copy) std::copy(first, to, window.Row(at.top + y * at.scale + copy) + at.left);
    }
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

void ScenePresenter::Present(const platform::Surface& scene, platform::Surface& window) {
    const Seen now{window.Row(0), window.Width(), window.Height(), window.Pitch()};
    if (!(now == seen_)) {
        placement_ = PlaceScene(window.Width(), window.Height());
        for (int y = 0; y < window.Height(); ++y) std::fill_n(window.Row(y), window.Width(), platform::ColourValue{0});
        seen_ = now;
    }
    if (placement_.scale == 1) {
        auto& source = const_cast<platform::Surface&>(scene);  // BitBlt only reads its source
        platform::BitBlt(window.hDC(), placement_.left, placement_.top, FRAME_WIDTH, FRAME_HEIGHT, source.hDC(), 0, 0,
                         platform::kSrcCopy);
    } else {
        CopyEnlarged(scene, window, placement_);
    }
}

}  // namespace app
