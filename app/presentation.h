// The one presentation rule of every platform: the scene at the largest whole factor that
// fits the main window (at least 1), centred, black around it; pointer positions in the
// window mapped back to scene pixels.
#pragma once

#include "platform/surface.h"

namespace app {

struct ScenePlacement {
    int scale = 1;
    int left = 0, top = 0;  // the scene's top-left corner in the window; negative in a smaller window
    bool operator==(const ScenePlacement&) const = default;
};

ScenePlacement PlaceScene(int windowWidth, int windowHeight);

// A window coordinate as a scene coordinate: at scale 1 moved by the origin and kept as it
// is, at a larger scale the whole scene pixel under it.
float WindowToScene(float position, int origin, int scale);

// Puts the scene on a window's surface by the rule. The black around the scene is painted
// only when the window's surface is new (another size, or other pixels).
class ScenePresenter {
public:
    void Present(const platform::Surface& scene, platform::Surface& window);
    const ScenePlacement& Placement() const { return placement_; }
    float SceneX(float windowX) const { return WindowToScene(windowX, placement_.left, placement_.scale); }
    float SceneY(float windowY) const { return WindowToScene(windowY, placement_.top, placement_.scale); }

private:
    struct Seen {
        const platform::ColourValue* pixels = nullptr;
        int width = 0, height = 0, pitch = 0;
        bool operator==(const Seen&) const = default;
    } seen_;
    ScenePlacement placement_;
};

}  // namespace app
