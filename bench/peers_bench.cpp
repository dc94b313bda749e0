// The peers on the same pixels: pixman's compositing operators and SDL's blits of the
// 47 × 47 sprite onto the 320 × 240 back buffer at the same position.
#include <SDL.h>
#include <pixman.h>

#include "bench/scene.h"
#include "bench/side_by_side.h"

namespace bench {

std::vector<Case> DrawSpriteCases();

namespace {

void RestoreOpaque() { RestoreSpriteRect(GetScene(), GetScene().opaqueBackground); }

Case Pixman(const char* name, pixman_op_t op) {
    Scene& scene = GetScene();
    static pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_a8b8g8r8, kSceneWidth, kSceneHeight, scene.backbuffer.Row(0), kSceneWidth * 4);
    static pixman_image_t* src = pixman_image_create_bits(PIXMAN_a8b8g8r8, kSprite, kSprite, scene.spriteAbgr.data(), kSprite * 4);
    return {std::string("pixman_") + name, RestoreOpaque,
            [op] { pixman_image_composite32(op, src, nullptr, dst, 0, 0, 0, 0, kSpriteX, kSpriteY, kSprite, kSprite); }};
}

// BLEND with an opaque sprite would be a plain copy, so it blends at half alpha.
Case Sdl(const char* name, SDL_BlendMode mode) {
    Scene& scene = GetScene();
    static SDL_Surface* dst = SDL_CreateRGBSurfaceWithFormatFrom(scene.backbuffer.Row(0), kSceneWidth, kSceneHeight, 32, kSceneWidth * 4,
                                                                 SDL_PIXELFORMAT_XBGR8888);
    SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(scene.spriteAbgr.data(), kSprite, kSprite, 32, kSprite * 4,
                                                          SDL_PIXELFORMAT_ABGR8888);
    SDL_SetSurfaceBlendMode(src, mode);
    if (mode == SDL_BLENDMODE_BLEND) SDL_SetSurfaceAlphaMod(src, 128);
    return {std::string("sdl_") + name, RestoreOpaque, [src] {
                SDL_Rect where{kSpriteX, kSpriteY, kSprite, kSprite};
                SDL_BlitSurface(src, nullptr, dst, &where);
            }};
}

}  // namespace

std::vector<Case> BlendCases() {
    std::vector<Case> cases = DrawSpriteCases();
    for (Case c : {Pixman("add", PIXMAN_OP_ADD), Pixman("multiply", PIXMAN_OP_MULTIPLY),
                   Pixman("screen", PIXMAN_OP_SCREEN), Pixman("difference", PIXMAN_OP_DIFFERENCE),
                   Pixman("soft_light", PIXMAN_OP_SOFT_LIGHT), Sdl("add", SDL_BLENDMODE_ADD),
                   Sdl("mod", SDL_BLENDMODE_MOD), Sdl("blend", SDL_BLENDMODE_BLEND)}) {
        cases.push_back(std::move(c));
    }
    return cases;
}

}  // namespace bench
