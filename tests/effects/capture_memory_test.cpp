// Calls whose memory runs out: a capture leaves the sprite store as it was, and every call of
// the library's C interface answers GLIMMERIX_ERROR_MEMORY (or null) for each allocation that
// fails in turn, then works once memory can be had. A program of its own, because it replaces
// the global allocator with one that can be told to fail; ctest runs each test in a process
// of its own, so the first call's allocations (the shared table, the chosen kernel) are
// among those that fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include <glimmerix/glimmerix.h>

#include <functional>
#include <vector>

#include "effects/draw_sprite.h"
#include "effects/effect_table.h"
#include "effects/sprite_store.h"
#include "tests/effects/reference_draw.h"
#include "tests/support/surfaces.h"

namespace {
// Allocations left before one fails; negative: none fails.
long g_allocationsLeft = -1;
bool g_refused = false;  // an allocation was refused since the flag was cleared
}  // namespace

// The replacement pairs malloc with free; GCC cannot see that new and delete are both ours.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
    if (g_allocationsLeft == 0) {
        g_refused = true;
        throw std::bad_alloc();
    }
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

// Makes the n-th allocation of call() fail, for n = 0, 1, 2, ... until the call succeeds:
// each failing one must be a refusal, which refused() checks. Returns the number refused.
int FailEachAllocationInTurn(const std::function<bool()>& call, const std::function<void(long)>& refused) {
    int refusals = 0;
    for (long n = 0;; ++n) {
        g_refused = false;
        g_allocationsLeft = n;
        const bool succeeded = call();
        const bool failedAllocation = g_refused;
        g_allocationsLeft = -1;
        if (succeeded) {
            EXPECT_FALSE(failedAllocation) << "allocation " << n << " failed, yet the call succeeded";
            return refusals;
        }
        refused(n);
        ++refusals;
        if (n > 1000) {
            ADD_FAILURE() << "the call never succeeded";
            return refusals;
        }
    }
}

struct Image {
    std::vector<std::uint32_t> pixels;
    glimmerix_image view;
    explicit Image(std::uint32_t seed) : pixels(64 * 48) {
        std::uint32_t v = seed;
        for (std::uint32_t& p : pixels) p = (v = v * 1664525u + 1013904223u);
        view = {pixels.data(), 64, 48, 64 * 4, GLIMMERIX_FORMAT_ARGB8888};
    }
};

TEST(CInterfaceOutOfMemory, TheTableIsNullUntilItsMemoryCanBeHad) {
    const uint8_t* table = nullptr;
    FailEachAllocationInTurn([&] { return (table = glimmerix_effect_table()) != nullptr; }, [](long) {});
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table[mdlEffects::EffectTableIndex(3, 128, 128)], 192);
}

TEST(CInterfaceOutOfMemory, BlendAnswersMemoryUntilItCanBeHad) {
    int value = 0;
    FailEachAllocationInTurn([&] { return (value = glimmerix_blend(13, 255, 255)) >= 0; },
                             [&](long n) { EXPECT_EQ(value, GLIMMERIX_ERROR_MEMORY) << n; });
    EXPECT_EQ(value, 200);
}

TEST(CInterfaceOutOfMemory, CaptureAnswersMemoryAndLeavesTheOutputAlone) {
    Image image(1);
    glimmerix_sprite* sprite = nullptr;
    glimmerix_status status = GLIMMERIX_OK;
    const int refusals = FailEachAllocationInTurn(
        [&] { return (status = glimmerix_sprite_capture(&image.view, 3, 2, 20, 10, &sprite)) == GLIMMERIX_OK; },
        [&](long n) {
            EXPECT_EQ(status, GLIMMERIX_ERROR_MEMORY) << n;
            EXPECT_EQ(sprite, nullptr) << n;
        });
    EXPECT_GE(refusals, 1);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(glimmerix_sprite_width(sprite), 20);
    glimmerix_sprite_free(sprite);
}

TEST(CInterfaceOutOfMemory, DrawAnswersMemoryLeavesThePixelsAloneAndThenDraws) {
    Image source(2), target(3);
    glimmerix_sprite* sprite = nullptr;
    ASSERT_EQ(glimmerix_sprite_capture(&source.view, 0, 0, 47, 47, &sprite), GLIMMERIX_OK);
    const std::vector<std::uint32_t> before = target.pixels;
    glimmerix_status status = GLIMMERIX_OK;
    FailEachAllocationInTurn([&] { return (status = glimmerix_draw(&target.view, sprite, 5, 4, 1)) == GLIMMERIX_OK; },
                             [&](long n) {
                                 EXPECT_EQ(status, GLIMMERIX_ERROR_MEMORY) << n;
                                 ASSERT_EQ(target.pixels, before) << n;
                             });
    // Drawn once, exactly: each channel through the table, the fourth byte kept.
    const uint8_t* table = glimmerix_effect_table();
    for (int y = 1; y < 48; ++y)
        for (int x = 4; x < 51; ++x) {
            const std::uint32_t was = before[static_cast<std::size_t>(y * 64 + x)];
            const std::uint32_t light = source.pixels[static_cast<std::size_t>((y - 1) * 64 + (x - 4))];
            std::uint32_t want = was & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8)
                want |= std::uint32_t{table[mdlEffects::EffectTableIndex(5, was >> shift & 0xFF, light >> shift & 0xFF)]} << shift;
            ASSERT_EQ(target.pixels[static_cast<std::size_t>(y * 64 + x)], want) << x << "," << y;
        }
    glimmerix_sprite_free(sprite);
}

TEST(CInterfaceOutOfMemory, NamesAndTextsNeedNoMemory) {
    g_allocationsLeft = 0;
    const char* name = glimmerix_effect_name(3);
    const char* text = glimmerix_status_text(GLIMMERIX_ERROR_MEMORY);
    const char* version = glimmerix_version();
    g_allocationsLeft = -1;
    EXPECT_STREQ(name, "Screen");
    EXPECT_NE(text, nullptr);
    EXPECT_NE(version, nullptr);
}

}  // namespace
}  // namespace mdlEffects
