// The one presentation rule of every platform: the scene at the largest whole factor that
// fits the main window (at least 1), centred, black around it; pointer positions in the
// window mapped back to scene pixels.
#pragma once

#include <array>
#include <cstdint>

#include "app/damage.h"
#include "app/toolkit.h"
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

// Copies the scene onto a window's surface by the rule, only what the surface lacks: what
// changed since the frame it holds, by its age (toolkit.h); a surface of unknown content gets
// the whole scene and the black around it.
class ScenePresenter {
public:
    // `changed` is what differs in the scene since the last call. Returns what differs on the
    // window's surface from what the last call left on the screen.
    const Damage& CopyOnto(const platform::Surface& scene, WindowSurface window, const Damage& changed);
    void CopyOnto(const platform::Surface& scene, WindowSurface window) {
        CopyOnto(scene, window, Damage::Everything());
    }
    const ScenePlacement& Placement() const { return placement_; }
    float SceneX(float windowX) const { return WindowToScene(windowX, placement_.left, placement_.scale); }
    float SceneY(float windowY) const { return WindowToScene(windowY, placement_.top, placement_.scale); }

    // Scene changes remembered: a surface at most this many frames old is updated by them,
    // an older one gets the whole scene.
    static constexpr int kHistory = 4;

private:
    std::array<Damage, kHistory> history_{};
    std::uint64_t calls_ = 0;
    int width_ = 0, height_ = 0;  // the window's size at the last call
    Damage windowChanged_;
    ScenePlacement placement_;
};

}  // namespace app
