// Captures whose memory runs out: the sprite store is left as it was. A program of its own,
// because it replaces the global allocator with one that can be told to fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/sprite_store.h"
#include "tests/effects/reference_draw.h"
#include "tests/support/surfaces.h"

namespace {
// Allocations left before one fails; negative: none fails.
long g_allocationsLeft = -1;
}  // namespace

// The replacement pairs malloc with free; GCC cannot see that new and delete are both ours.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
    if (g_allocationsLeft == 0) throw std::bad_alloc();
    if (g_allocationsLeft > 0) --g_allocationsLeft;
    if (void* p = std::malloc(n != 0 ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace mdlEffects {
namespace {

TEST(CaptureOutOfMemory, LeavesTheStoreAsItWas) {
    BuildEffectTables();
    const platform::Surface first = testsupport::Noise(SPRITE_SIZE, SPRITE_SIZE, 1);
    CaptureSprite(0, const_cast<platform::Surface&>(first).hDC(), 0, 0, SPRITE_SIZE, SPRITE_SIZE);
    platform::Surface second = testsupport::Noise(30, 30, 2);
    int failed = 0;
    // The n-th allocation of a recapture of slot 0, and of a capture into a new slot 4, fails.
    for (const int slot : {0, 4})
        for (long n = 0; n < 8; ++n) {
            g_allocationsLeft = n;
            try {
                CaptureSprite(slot, second.hDC(), 0, 0, 20, 20);
                g_allocationsLeft = -1;
                BuildEffectTables();  // it succeeded: start again from the first sprite
                CaptureSprite(0, const_cast<platform::Surface&>(first).hDC(), 0, 0, SPRITE_SIZE, SPRITE_SIZE);
                continue;
            } catch (const std::bad_alloc&) {
                g_allocationsLeft = -1;
                ++failed;
            }
            ASSERT_EQ(Sprites.size(), 1u) << "slot " << slot << ", allocation " << n;
            ASSERT_EQ(Sprites[0].R.Width(), SPRITE_SIZE);
            ASSERT_EQ(Sprites[0].B.Height(), SPRITE_SIZE);
            // Drawing reads the old sprite whole, exactly as before.
            platform::Surface fast = testsupport::Noise(60, 60, 3), slow = fast;
            DrawSprite(7, 0, fast.hDC(), 5, 5);
            testsupport::ReferenceDrawSprite(7, 0, slow.hDC(), 5, 5);
            ASSERT_TRUE(testsupport::SamePixels(fast, slow)) << "slot " << slot << ", allocation " << n;
        }
    EXPECT_GE(failed, 4);  // the capture's own allocations did fail
}

}  // namespace
}  // namespace mdlEffects
