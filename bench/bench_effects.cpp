// The effect engine's own costs: building the tables, and blending the 47 × 47 sprite
// at an interior position of a 320 × 240 surface through each effect.
#include <benchmark/benchmark.h>

#include <random>

#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/sprite_store.h"
#include "platform/surface.h"

namespace {

using namespace mdlEffects;

void BM_BuildEffectTables(benchmark::State& state) {
    for (auto _ : state) {
        BuildEffectTables();
        benchmark::DoNotOptimize(EffectTable.Data());
    }
}
BENCHMARK(BM_BuildEffectTables)->Unit(benchmark::kMillisecond);

platform::Surface NoiseSurface(int w, int h, unsigned seed) {
    platform::Surface s(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.Row(y)[x] = rng() & 0xFFFFFFu;
    return s;
}

void BM_DrawSprite(benchmark::State& state) {
    const int effect = static_cast<int>(state.range(0));
    BuildEffectTables();
    platform::Surface art = NoiseSurface(SPRITE_SIZE, SPRITE_SIZE, 1);
    CaptureSprite(0, art.hDC(), 0, 0, SPRITE_SIZE, SPRITE_SIZE);
    platform::Surface back = NoiseSurface(320, 240, 2);
    for (auto _ : state) {
        DrawSprite(effect, 0, back.hDC(), 137, 96);
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_pixel"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * SPRITE_SIZE * SPRITE_SIZE,
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DrawSprite)->DenseRange(0, EFFECT_COUNT - 1)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
