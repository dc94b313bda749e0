// The effect engine: building the tables, each blend kernel alone, and DrawSprite
// through each effect as a side-by-side case.
#include <benchmark/benchmark.h>

#include "bench/scene.h"
#include "bench/side_by_side.h"
#include "effects/blend_kernel.h"
#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/sprite_store.h"

namespace bench {
namespace {

void BM_BuildEffectTables(benchmark::State& state) {
    GetScene();
    Timed(state, [] { mdlEffects::BuildEffectTables(); });
    // Leave the scene as GetScene made it: tables built, slot 0 captured.
    mdlEffects::CaptureSprite(0, GetScene().spritePicture.hDC(), 0, 0, 47, 47);
}
BENCHMARK(BM_BuildEffectTables);

// Each way of building the same table: the portable one with libm, the AVX2 one with libmvec.
void BM_BuildEffectTablesUsing(benchmark::State& state) {
    GetScene();
    const mdlEffects::TableBuilder builder = mdlEffects::AvailableTableBuilders().at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(builder == mdlEffects::TableBuilder::Avx2 ? "avx2" : "portable");
    Timed(state, [builder] { mdlEffects::BuildEffectTablesUsing(builder); });
    mdlEffects::BuildEffectTables();
    mdlEffects::CaptureSprite(0, GetScene().spritePicture.hDC(), 0, 0, 47, 47);
}
BENCHMARK(BM_BuildEffectTablesUsing)->DenseRange(0, static_cast<int>(mdlEffects::AvailableTableBuilders().size()) - 1);

// Each blend kernel alone on the same job, effect 0, with the restore of the rectangle
// included: what run-time selection buys. With a uniform sprite on a uniform surface
// every lookup hits the same cache lines, which bounds the kernel by its instructions.
void BM_BlendKernel(benchmark::State& state) {
    Scene& scene = GetScene();
    const mdlEffects::NamedKernel kernel = mdlEffects::AvailableKernels().at(static_cast<std::size_t>(state.range(0)));
    const bool uniform = state.range(1) != 0;
    state.SetLabel(std::string(kernel.name) + (uniform ? " uniform" : " real pixels"));
    static std::vector<std::uint8_t> flat(47 * 47 + 8, 128);
    static platform::Surface grey(320, 240, 0x00808080);
    const mdlEffects::SpriteData& sprite = mdlEffects::Sprites[0];
    const mdlEffects::BlendJob job{mdlEffects::EffectTable.Data(), uniform ? flat.data() : sprite.R.Row(0),
                                   uniform ? flat.data() : sprite.G.Row(0), uniform ? flat.data() : sprite.B.Row(0), 47,
                                   scene.backbuffer.Row(kSpriteY) + kSpriteX, 320, 47, 47};
    Timed(state, [&] {
        RestoreSpriteRect(scene, uniform ? grey : scene.background);
        kernel.kernel(job);
    });
}
BENCHMARK(BM_BlendKernel)->ArgsProduct({benchmark::CreateDenseRange(0, static_cast<int>(mdlEffects::AvailableKernels().size()) - 1, 1), {0, 1}});

}  // namespace

std::vector<Case> DrawSpriteCases() {
    std::vector<Case> cases;
    for (int e = 0; e < mdlEffects::EFFECT_COUNT; ++e) {
        cases.push_back({"draw/" + std::to_string(e), [] { RestoreSpriteRect(GetScene(), GetScene().background); },
                         [e] { mdlEffects::DrawSprite(e, 0, GetScene().backbuffer.hDC(), kSpriteX, kSpriteY); }});
    }
    return cases;
}

}  // namespace bench
