// The effect engine: building the tables, and side-by-side cases for DrawSprite through
// each effect and for each blend kernel alone.
#include <benchmark/benchmark.h>
#include <glimmerix/glimmerix.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "bench/scene.h"
#include "bench/side_by_side.h"
#include "effects/blend_kernel.h"
#include "effects/cpu_features.h"
#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/sprite_store.h"
#include "platform/gdi.h"

#if GLIMMERIX_X86
#include <immintrin.h>
#endif

namespace bench {
namespace {

// What the first BuildEffectTables costs: filling the one table with the chosen builder
// (later calls find it built). The scene's own table is left alone.
void BM_BuildEffectTables(benchmark::State& state) {
    std::vector<std::uint8_t> table(mdlEffects::EFFECT_TABLE_BYTES + mdlEffects::EFFECT_TABLE_PADDING);
    const mdlEffects::TableBuilder builder = mdlEffects::ChosenTableBuilder();
    state.SetLabel(builder.name);
    Timed(state, [&] { builder.fill(table.data()); });
}
BENCHMARK(BM_BuildEffectTables);

// Each way of building the same table: the portable one with libm, the AVX2 one with libmvec.
void BM_BuildEffectTablesUsing(benchmark::State& state) {
    std::vector<std::uint8_t> table(mdlEffects::EFFECT_TABLE_BYTES + mdlEffects::EFFECT_TABLE_PADDING);
    const mdlEffects::TableBuilder builder = mdlEffects::AvailableTableBuilders().at(static_cast<std::size_t>(state.range(0)));
    state.SetLabel(builder.name);
    Timed(state, [&] { builder.fill(table.data()); });
}
BENCHMARK(BM_BuildEffectTablesUsing)->DenseRange(0, static_cast<int>(mdlEffects::AvailableTableBuilders().size()) - 1);

#if GLIMMERIX_X86
// The AVX2 kernel's gathers alone, over the lanes it gathers for the sprite at its place on
// the picture (three channels of every row's whole steps of eight, the tail step included), from
// offsets worked out beforehand: the floor under the kernel's own work.
// Offsets fit in 16 bits (at most 256·255 + 252): half the memory traffic beside the table's.
struct alignas(16) EightOffsets {
    std::uint16_t at[8];
};

std::vector<EightOffsets> OffsetsOfTheSprite() {
    std::vector<EightOffsets> offsets;
    const mdlEffects::SpriteData& sprite = mdlEffects::Sprites[0];
    const platform::Surface& picture = GetScene().background;
    for (int row = 0; row < kSprite; ++row) {
        for (int x = 0; x < kSprite; x += 8) {
            for (int channel = 0; channel < 3; ++channel) {
                EightOffsets eight{};  // masked-off lanes read entry 0
                std::uint16_t* at = eight.at;
                for (int lane = 0; lane < 8 && x + lane < kSprite; ++lane) {
                    const platform::ColourValue d = picture.Row(kSpriteY + row)[kSpriteX + x + lane];
                    const int dc = static_cast<int>(d >> (8 * channel) & 0xFF);
                    const mdlEffects::Plane& plane = channel == 0 ? sprite.R : channel == 1 ? sprite.G : sprite.B;
                    at[lane] = static_cast<std::uint16_t>(256 * plane(x + lane, row) + (dc & ~3));
                }
                offsets.push_back(eight);
            }
        }
    }
    return offsets;
}

[[gnu::target("avx2")]] int GatherAll(const int* table, const std::vector<EightOffsets>& offsets) {
    __m256i kept = _mm256_setzero_si256();
    const __m256i all = _mm256_set1_epi32(-1);
    for (const EightOffsets& eight : offsets) {
        const __m256i at = _mm256_cvtepu16_epi32(_mm_load_si128(reinterpret_cast<const __m128i*>(eight.at)));
        // A zeroed source: a gather merges into its destination, which must not wait for the last.
        kept = _mm256_xor_si256(kept, _mm256_mask_i32gather_epi32(_mm256_setzero_si256(), table, at, all, 1));
    }
    return _mm256_movemask_epi8(kept);  // kept in a register to the end
}
#endif

}  // namespace

std::vector<Case> DrawSpriteCases() {
    std::vector<Case> cases;
    for (int e = 0; e < kEffects; ++e) {
        cases.push_back({"draw/" + std::to_string(e), [] { RestoreSpriteRect(GetScene(), GetScene().background); },
                         [e] { mdlEffects::DrawSprite(e, 0, GetScene().backbuffer.hDC(), kSpriteX, kSpriteY); }});
    }
    // The same over a white and a black surface: a flat surface sends every lookup of an
    // effect to one column of its table, so a cost that depends on where entries lie in
    // memory (a read split over two cache lines) shows here and not over the picture.
    for (const auto& [surface, colour] : {std::pair<const char*, platform::ColourValue>{"white", 0x00FFFFFF}, {"black", 0}}) {
        const auto flat = std::make_shared<platform::Surface>(kSceneWidth, kSceneHeight, colour);
        const auto target = std::make_shared<platform::Surface>(*flat);
        for (int e = 0; e < kEffects; ++e) {
            cases.push_back({std::string(surface) + "/" + std::to_string(e),
                             [flat, target] {
                                 platform::BitBlt(target->hDC(), kSpriteX, kSpriteY, kSprite, kSprite, flat->hDC(), kSpriteX,
                                                  kSpriteY, platform::kSrcCopy);
                             },
                             [target, e] { mdlEffects::DrawSprite(e, 0, target->hDC(), kSpriteX, kSpriteY); }});
        }
    }
    // The library's glimmerix_draw through each effect: the same sprite at the same place,
    // onto the scene's background as an ARGB8888 image (SDL's usual surface).
    static platform::Surface argbBackground = [] {
        platform::Surface argb = GetScene().background;
        for (int y = 0; y < argb.Height(); ++y)
            for (int x = 0; x < argb.Width(); ++x) argb.Row(y)[x] = 0xFF000000u | platform::SwapRedBlue(argb.Row(y)[x]);
        return argb;
    }();
    static platform::Surface argbImage = argbBackground;
    static glimmerix_sprite* librarySprite = [] {
        platform::Surface& picture = GetScene().spritePicture;
        const glimmerix_image image{picture.Row(0), picture.Width(), picture.Height(), 4 * picture.Pitch(),
                                    GLIMMERIX_FORMAT_XBGR8888};
        glimmerix_sprite* sprite = nullptr;
        if (glimmerix_sprite_capture(&image, 0, 0, kSprite, kSprite, &sprite) != GLIMMERIX_OK)
            throw std::runtime_error("glimmerix_sprite_capture failed");
        return sprite;
    }();
    static const glimmerix_image argbView{argbImage.Row(0), argbImage.Width(), argbImage.Height(), 4 * argbImage.Pitch(),
                                          GLIMMERIX_FORMAT_ARGB8888};
    for (int e = 0; e < kEffects; ++e) {
        cases.push_back({"library/" + std::to_string(e),
                         [] {
                             for (int row = 0; row < kSprite; ++row)
                                 std::memcpy(argbImage.Row(kSpriteY + row) + kSpriteX, argbBackground.Row(kSpriteY + row) + kSpriteX,
                                             kSprite * sizeof(platform::ColourValue));
                         },
                         [e] { glimmerix_draw(&argbView, librarySprite, e, kSpriteX, kSpriteY); }});
    }
#if GLIMMERIX_X86
    if (mdlEffects::HasAvx2()) {
        static const std::vector<EightOffsets> offsets = OffsetsOfTheSprite();
        cases.push_back({"gather_floor", [] {}, [] {
                             benchmark::DoNotOptimize(
                                 GatherAll(reinterpret_cast<const int*>(mdlEffects::EffectTable.Copy(0)), offsets));
                         }});
    }
#endif
    // Each blend kernel alone on the same job (effect 0), on the real pixels and on a
    // uniform sprite over a uniform surface: there every lookup hits the same cache lines,
    // which leaves the kernel's own instructions as its bound.
    static const std::vector<std::uint8_t> flat(kSprite * kSprite + mdlEffects::Plane::kPadding, 128);
    static const platform::Surface grey(kSceneWidth, kSceneHeight, 0x00808080);
    for (const mdlEffects::NamedKernel& kernel : mdlEffects::AvailableKernels()) {
        for (const bool uniform : {false, true}) {
            const mdlEffects::SpriteData& sprite = mdlEffects::Sprites[0];
            const mdlEffects::BlendJob job{mdlEffects::EffectTable.Copy(0), uniform ? flat.data() : sprite.R.Row(0),
                                           uniform ? flat.data() : sprite.G.Row(0),
                                           uniform ? flat.data() : sprite.B.Row(0), kSprite,
                                           GetScene().backbuffer.Row(kSpriteY) + kSpriteX, kSceneWidth, kSprite, kSprite};
            cases.push_back({std::string("kernel/") + kernel.name + (uniform ? "/uniform" : "/real"),
                             [uniform] { RestoreSpriteRect(GetScene(), uniform ? grey : GetScene().background); },
                             [job, k = kernel.kernel] { k(job); }});
        }
    }
    return cases;
}

}  // namespace bench
