// The portable kernels as WebAssembly, run by Node.js: a frame's sprite (47 × 47, every
// effect in turn), a frame's text (four lines of the atlas' glyphs) and a frame handed to
// the canvas (opaque RGBA from the window surface). bench/web/run.sh builds it twice, with
// and without WebAssembly SIMD, and prints both.
#include <chrono>
#include <cstdio>
#include <random>

#include "app/glyph_print.h"
#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/sprite_store.h"
#include "platform/gdi.h"
#include "platform/surface.h"

namespace {

constexpr int kWidth = 320, kHeight = 240, kSprite = 47, kRounds = 20000;

template <class F>
double NsPerCall(F&& f) {
    for (int i = 0; i < kRounds / 10; ++i) f(i);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) f(i);
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / kRounds;
}

}  // namespace

int main() {
    std::mt19937 random(7);
    platform::Surface scene(kWidth, kHeight), light(kSprite, kSprite);
    for (platform::Surface* s : {&scene, &light})
        for (int y = 0; y < s->Height(); ++y)
            for (int x = 0; x < s->Width(); ++x) s->Row(y)[x] = random() & 0x00FFFFFFu;
    mdlEffects::BuildEffectTables();
    mdlEffects::CaptureSprite(0, light.hDC(), 0, 0, kSprite, kSprite);

    std::vector<std::uint8_t> coverage(8 * 13);
    for (auto& c : coverage) c = static_cast<std::uint8_t>(random());
    const app::Glyph glyph = app::MakeGlyph(7, 0, 8, 13, coverage.data());
    const app::Ink ink{255, 255, 255};

    std::vector<std::uint32_t> canvas(static_cast<std::size_t>(kWidth) * kHeight);
    const double sprite = NsPerCall([&](int i) { mdlEffects::DrawSprite(i % 18, 0, scene.hDC(), 137, 96); });
    const double text = NsPerCall([&](int) {
        for (int line = 0; line < 4; ++line)
            for (int x = 0; x < 30 * 7; x += 7) app::BlendGlyph(scene, x, 184 + 13 * line, glyph, ink);
    });
    const double present = NsPerCall([&](int) {
        for (int y = 0; y < kHeight; ++y) {
            const platform::ColourValue* row = scene.Row(y);
            std::uint32_t* out = canvas.data() + static_cast<std::ptrdiff_t>(y) * kWidth;
            for (int x = 0; x < kWidth; ++x) out[x] = row[x] | platform::kFourthByte;
        }
    });
    std::printf("sprite %.0f ns, text %.0f ns, present %.0f ns (checksum %u)\n", sprite, text, present,
                scene.Row(100)[150] ^ canvas[1000]);
}
