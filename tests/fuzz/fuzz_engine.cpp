// Calls the effect engine with arbitrary slots, sizes, effects and positions on small
// surfaces. Every call either does its work or raises EngineError; a draw that is
// accepted must equal the per-pixel definition.
#include <cstdlib>

#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/errors.h"
#include "effects/sprite_store.h"
#include "tests/effects/reference_draw.h"
#include "tests/support/surfaces.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace mdlEffects;
    static const bool built = (BuildEffectTables(), true);
    (void)built;
    fuzzing::Input in(data, size);
    platform::Surface surface(in.Byte() % 40, in.Byte() % 40);
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x) surface.Row(y)[x] = static_cast<std::uint32_t>(x * 7919 + y * 104729) & 0xFFFFFF;

    for (int op = 0; op < 16 && !in.Empty(); ++op) {
        const std::uint8_t kind = in.Byte();
        platform::HDC dc = (kind & 0x80) ? nullptr : surface.hDC();
        try {
            switch (kind % 4) {
                case 0: {
                    const int slot = (kind & 0x40) ? in.Int32() : in.Byte() % 4;
                    const int x = in.Coordinate(), y = in.Coordinate();
                    const int w = (kind & 0x20) ? in.Int32() : in.Byte() % 64, h = (kind & 0x20) ? in.Int32() : in.Byte() % 64;
                    CaptureSprite(slot, dc, x, y, w, h);
                    break;
                }
                case 1:
                case 2: {
                    const int effect = (kind & 0x40) ? in.Int32() : in.Byte() % 20;
                    const int slot = (kind & 0x20) ? in.Int32() : in.Byte() % 4;
                    const int x = in.Coordinate(), y = in.Coordinate();
                    platform::Surface expected = surface;
                    DrawSprite(effect, slot, dc, x, y);
                    testsupport::ReferenceDrawSprite(effect, slot, expected.hDC(), x, y);
                    if (dc != nullptr && !testsupport::SamePixels(surface, expected)) {
                        std::abort();  // the fast path differs from the definition
                    }
                    break;
                }
                default:
                    if (in.Byte() == 0xB7) BuildEffectTables();
                    break;
            }
        } catch (const EngineError&) {
            // Rejected with a message: the sound answer to misuse.
        }
    }
    return 0;
}
