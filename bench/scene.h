// The pixels every benchmark works on: the real background and the real light sprite
// from the program's data files, a 320 × 240 back buffer, and the interior position at
// which the sprite is drawn.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/surface.h"

namespace bench {

inline constexpr int kSpriteX = 137;
inline constexpr int kSpriteY = 96;

struct Scene {
    platform::Surface background{0x404040};        // Planet.jpg, 320 × 240
    platform::Surface opaqueBackground{0x404040};  // the same with alpha 255, for the peers
    platform::Surface backbuffer{0x404040};
    platform::Surface spritePicture{0x404040};     // Light.gif, 47 × 47
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
