// The effect engine: building the tables, and blending the light sprite onto the real
// background through each effect.
#include <benchmark/benchmark.h>

#include "bench/scene.h"
#include "effects/blend_kernel.h"
#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/sprite_store.h"

namespace bench {
namespace {

void BM_BuildEffectTables(benchmark::State& state) {
    GetScene();
    for (auto _ : state) {
        mdlEffects::BuildEffectTables();
        benchmark::DoNotOptimize(mdlEffects::EffectTable.Data());
    }
    // Leave the scene as GetScene made it: tables built, slot 0 captured.
    mdlEffects::CaptureSprite(0, GetScene().spritePicture.hDC(), 0, 0, 47, 47);
}
BENCHMARK(BM_BuildEffectTables);

void BM_RestoreRect(benchmark::State& state) {
    Scene& scene = GetScene();
    for (auto _ : state) {
        RestoreSpriteRect(scene, scene.background);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RestoreRect);

void BM_DrawSprite(benchmark::State& state) {
    Scene& scene = GetScene();
    const int effect = static_cast<int>(state.range(0));
    for (auto _ : state) {
        RestoreSpriteRect(scene, scene.background);
        mdlEffects::DrawSprite(effect, 0, scene.backbuffer.hDC(), kSpriteX, kSpriteY);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawSprite)->DenseRange(0, mdlEffects::EFFECT_COUNT - 1);

}  // namespace
}  // namespace bench

namespace bench {
namespace {

// Each blend kernel alone on the same job, effect 0: what run-time selection buys.
void BM_BlendKernel(benchmark::State& state) {
    Scene& scene = GetScene();
    const mdlEffects::NamedKernel kernel = mdlEffects::AvailableKernels().at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(kernel.name);
    const mdlEffects::SpriteData& sprite = mdlEffects::Sprites[0];
    const mdlEffects::BlendJob job{mdlEffects::EffectTable.Data(), sprite.R.Row(0), sprite.G.Row(0), sprite.B.Row(0), 47,
                                   scene.backbuffer.Row(kSpriteY) + kSpriteX, 320, 47, 47};
    for (auto _ : state) {
        RestoreSpriteRect(scene, scene.background);
        kernel.kernel(job);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BlendKernel)->DenseRange(0, static_cast<int>(mdlEffects::AvailableKernels().size()) - 1);

}  // namespace
}  // namespace bench
