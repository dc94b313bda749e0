// The pixels every benchmark works on: the real background and the real light sprite
// from the program's data files, a 320 × 240 back buffer, and the interior position at
// which the sprite is drawn.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "app/frm_sample.h"
#include "effects/effect_constants.h"
#include "platform/surface.h"

namespace bench {

// The program's own sizes, under short names for the benchmarks.
inline constexpr int kSceneWidth = app::FRAME_WIDTH;
inline constexpr int kSceneHeight = app::FRAME_HEIGHT;
inline constexpr int kSprite = mdlEffects::SPRITE_SIZE;
inline constexpr int kEffects = mdlEffects::EFFECT_COUNT;
inline constexpr double kSpritePixels = double{kSprite} * kSprite;

inline constexpr int kSpriteX = 137;
inline constexpr int kSpriteY = 96;

struct Scene {
    platform::Surface background{app::SURFACE_BACKGROUND};        // Planet.jpg, 320 × 240
    platform::Surface opaqueBackground{app::SURFACE_BACKGROUND};  // the same with alpha 255, for the peers
    platform::Surface backbuffer{app::SURFACE_BACKGROUND};
    platform::Surface spritePicture{app::SURFACE_BACKGROUND};     // Light.gif, 47 × 47
    std::vector<std::uint32_t> spriteAbgr;         // the sprite as opaque a8b8g8r8 pixels
};

// Loads the data files beside this program once, builds the tables and captures slot 0.
Scene& GetScene();

// Copies the sprite's rectangle of `from` back into the back buffer: what each timed
// draw costs on top of the draw itself, measured on its own and subtracted.
void RestoreSpriteRect(Scene& scene, const platform::Surface& from);

// Runs the step once per iteration after some untimed steps: the benchmarks run
// interleaved, and a frame follows a frame, so what a step uses is in the caches.
template <typename Step>
void Timed(benchmark::State& state, Step step) {
    for (int i = 0; i < 50; ++i) step();
    for (auto _ : state) {
        step();
        benchmark::ClobberMemory();
    }
}

}  // namespace bench
