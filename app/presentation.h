// The one presentation rule of every platform: the scene at the largest whole factor that
// fits the main window (at least 1), centred, black around it; pointer positions in the
// window mapped back to scene pixels.
#pragma once

#include <array>
#include <cstdint>

#include "app/damage.h"
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

// Puts the scene on a window's surface by the rule, copying only what the surface lacks. A
// toolkit may hand out two surfaces in turn (one on the screen while the other is drawn): each
// is brought up to date by what changed since it was last given, and a surface not seen
// before gets the whole scene and the black around it.
class ScenePresenter {
public:
    // `changed` is what differs in the scene since the last call. Returns what differs on the
    // window's surface from what the last call left on the screen.
    const Damage& Present(const platform::Surface& scene, platform::Surface& window, const Damage& changed);
    void Present(const platform::Surface& scene, platform::Surface& window) {
        Present(scene, window, Damage::Everything());
    }
    const ScenePlacement& Placement() const { return placement_; }
    float SceneX(float windowX) const { return WindowToScene(windowX, placement_.left, placement_.scale); }
    float SceneY(float windowY) const { return WindowToScene(windowY, placement_.top, placement_.scale); }

private:
    // Scene changes remembered: a surface last brought up to date at most this many calls
    // ago is updated by them, an older one gets the whole scene.
    static constexpr int kHistory = 4;
    struct Seen {
        const platform::ColourValue* pixels = nullptr;
        int width = 0, height = 0, pitch = 0;
        bool operator==(const Seen&) const = default;
    };
    struct Buffer {
        Seen seen;
        std::uint64_t shown = 0;  // the call that last brought it up to date; 0: never
    };
    Buffer& BufferFor(platform::Surface& window, bool& fresh);

    std::array<Buffer, 2> buffers_{};
    std::array<Damage, kHistory> history_{};
    std::uint64_t calls_ = 0;
    Damage windowChanged_;
    ScenePlacement placement_;
};

}  // namespace app
