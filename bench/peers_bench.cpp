// The peers on the same pixels: pixman's compositing operators and SDL's blits of the
// 47 × 47 sprite onto the 320 × 240 back buffer at the same position.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <pixman.h>

#include "bench/scene.h"

namespace bench {
namespace {

void BM_Pixman(benchmark::State& state, pixman_op_t op) {
    Scene& scene = GetScene();
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_a8b8g8r8, 320, 240, scene.backbuffer.Pixels(), 320 * 4);
    pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8b8g8r8, 47, 47, scene.spriteAbgr.data(), 47 * 4);
    for (auto _ : state) {
        RestoreSpriteRect(scene, scene.opaqueBackground);
        pixman_image_composite32(op, src, nullptr, dst, 0, 0, 0, 0, kSpriteX, kSpriteY, 47, 47);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
}
BENCHMARK_CAPTURE(BM_Pixman, add, PIXMAN_OP_ADD);
BENCHMARK_CAPTURE(BM_Pixman, multiply, PIXMAN_OP_MULTIPLY);
BENCHMARK_CAPTURE(BM_Pixman, screen, PIXMAN_OP_SCREEN);
BENCHMARK_CAPTURE(BM_Pixman, difference, PIXMAN_OP_DIFFERENCE);
BENCHMARK_CAPTURE(BM_Pixman, soft_light, PIXMAN_OP_SOFT_LIGHT);

// BLEND with an opaque sprite would be a plain copy, so it blends at half alpha.
void BM_Sdl(benchmark::State& state, SDL_BlendMode mode) {
    Scene& scene = GetScene();
    SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(scene.backbuffer.Pixels(), 320, 240, 32, 320 * 4,
                                                          SDL_PIXELFORMAT_XBGR8888);
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(scene.spriteAbgr.data(), 47, 47, 32, 47 * 4,
                                                          SDL_PIXELFORMAT_ABGR8888);
    SDL_SetSurfaceBlendMode(src, mode);
    if (mode == SDL_BLENDMODE_BLEND) SDL_SetSurfaceAlphaMod(src, 128);
    SDL_Rect at{kSpriteX, kSpriteY, 47, 47};
    for (auto _ : state) {
        RestoreSpriteRect(scene, scene.opaqueBackground);
        SDL_Rect where = at;
        SDL_BlitSurface(src, nullptr, dst, &where);
        benchmark::ClobberMemory();
    }
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}
BENCHMARK_CAPTURE(BM_Sdl, add, SDL_BLENDMODE_ADD);
BENCHMARK_CAPTURE(BM_Sdl, mod, SDL_BLENDMODE_MOD);
BENCHMARK_CAPTURE(BM_Sdl, blend, SDL_BLENDMODE_BLEND);

}  // namespace
}  // namespace bench
