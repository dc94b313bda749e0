#include "bench/scene.h"

#include <SDL.h>

#include <cstring>
#include <string>

#include "app/program_files.h"
#include "app/picture_decode.h"
#include "effects/effect_table.h"
#include "effects/sprite_store.h"

namespace bench {

Scene& GetScene() {
    static Scene* scene = [] {
        auto* s = new Scene;
        char* base = SDL_GetBasePath();
        const std::string dir = base != nullptr ? base : "./";
        SDL_free(base);
        const auto load = [&](const char* literal, app::PictureKind kind, platform::Surface& target, int w, int h) {
            const std::string path = app::JoinProgramPath(dir, literal);
            target.Resize(w, h);
            app::DecodePicture(app::ReadDataFile(path, app::kMaxPictureFileBytes), kind, app::FileNameOf(path), target);
        };
        load(app::kBackgroundFile, app::PictureKind::Jpeg, s->background, kSceneWidth, kSceneHeight);
        load(app::kSpriteFile, app::PictureKind::Gif, s->spritePicture, kSprite, kSprite);
        s->opaqueBackground = s->background;
        for (int y = 0; y < kSceneHeight; ++y)
            for (int x = 0; x < kSceneWidth; ++x) s->opaqueBackground.Row(y)[x] |= 0xFF000000u;
        s->backbuffer = s->background;
        for (int y = 0; y < kSprite; ++y)
            for (int x = 0; x < kSprite; ++x) s->spriteAbgr.push_back(s->spritePicture.Row(y)[x] | 0xFF000000u);
        mdlEffects::BuildEffectTables();
        mdlEffects::CaptureSprite(0, s->spritePicture.hDC(), 0, 0, kSprite, kSprite);
        return s;
    }();
    return *scene;
}

void RestoreSpriteRect(Scene& scene, const platform::Surface& from) {
    for (int y = kSpriteY; y < kSpriteY + kSprite; ++y) {
        std::memcpy(scene.backbuffer.Row(y) + kSpriteX, from.Row(y) + kSpriteX, kSprite * sizeof(platform::ColourValue));
    }
}

}  // namespace bench
