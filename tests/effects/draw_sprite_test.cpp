#include "effects/draw_sprite.h"
#include "effects/variant.h"

#include "effects/blend_kernel.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "effects/effect_table.h"
#include "effects/errors.h"
#include "effects/sprite_store.h"
#include "platform/gdi.h"
#include "tests/effects/reference_draw.h"
#include "tests/support/surfaces.h"

namespace mdlEffects {
namespace {

using platform::Surface;
using testsupport::SamePixels;

class DrawTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { BuildEffectTables(); }
    void SetUp() override {
        Sprites.assign(1, SpriteData{});
        Surface art = testsupport::Noise(SPRITE_SIZE, SPRITE_SIZE, 99);
        CaptureSprite(0, art.hDC(), 0, 0, SPRITE_SIZE, SPRITE_SIZE);
    }
    void CaptureOnePixel(platform::ColourValue c) {
        Surface one(1, 1, c);
        CaptureSprite(0, one.hDC(), 0, 0, 1, 1);
    }
};

TEST_F(DrawTest, SaturatingSumOfOnePixel) {
    CaptureOnePixel(0x00030201);
    Surface s(3, 3, 0x00102030);
    DrawSprite(0, 0, s.hDC(), 1, 1);
    EXPECT_EQ(platform::GetPixel(s.hDC(), 1, 1), 0x00132231u);
    EXPECT_EQ(platform::GetPixel(s.hDC(), 0, 1), 0x00102030u);
}

TEST_F(DrawTest, SaturatingDifferenceStopsAtZero) {
    CaptureOnePixel(0x00000010);
    Surface a(1, 1, 0x00000030);
    DrawSprite(1, 0, a.hDC(), 0, 0);
    EXPECT_EQ(platform::GetPixel(a.hDC(), 0, 0), 0x20u);
    CaptureOnePixel(0x00000030);
    Surface b(1, 1, 0x00000010);
    DrawSprite(1, 0, b.hDC(), 0, 0);
    EXPECT_EQ(platform::GetPixel(b.hDC(), 0, 0), 0x00u);
}

TEST_F(DrawTest, DrawnTwiceIsBlendedTwice) {
    Surface once = testsupport::Noise(60, 60, 3);
    Surface twice = once;
    testsupport::ReferenceDrawSprite(0, 0, once.hDC(), 5, 5);
    testsupport::ReferenceDrawSprite(0, 0, once.hDC(), 5, 5);
    DrawSprite(0, 0, twice.hDC(), 5, 5);
    DrawSprite(0, 0, twice.hDC(), 5, 5);
    EXPECT_TRUE(SamePixels(once, twice));
}

// Which surface columns (or rows) a 47-wide sprite at position p changes on a 320-wide
// surface: [first, last], or first > last for none.
struct EdgeCase { int x, y, firstCol, lastCol, firstRow, lastRow; };
void PrintTo(const EdgeCase& c, std::ostream* os) { *os << "at " << c.x << "," << c.y; }

class DrawEdges : public DrawTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(DrawEdges, ChangesOnlyTheVisiblePartOfTheRectangle) {
    const EdgeCase c = GetParam();
    // Effect 0 with a sprite of no zero channel changes every pixel it covers, unless
    // the pixel is already white; the noise surface has none.
    Surface art(SPRITE_SIZE, SPRITE_SIZE, 0x00010101);
    CaptureSprite(0, art.hDC(), 0, 0, SPRITE_SIZE, SPRITE_SIZE);
    Surface s = testsupport::Noise(320, 240, 5);
    const Surface before = s;
    DrawSprite(0, 0, s.hDC(), c.x, c.y);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            const bool inside = x >= c.firstCol && x <= c.lastCol && y >= c.firstRow && y <= c.lastRow;
            const bool changed = s.Row(y)[x] != before.Row(y)[x];
            ASSERT_EQ(changed, inside) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Positions, DrawEdges, ::testing::Values(
    EdgeCase{100, 100, 100, 146, 100, 146}, EdgeCase{-20, 100, 0, 26, 100, 146},
    EdgeCase{300, 100, 300, 319, 100, 146}, EdgeCase{100, -20, 100, 146, 0, 26},
    EdgeCase{100, 220, 100, 146, 220, 239}, EdgeCase{-46, -46, 0, 0, 0, 0},
    EdgeCase{319, 239, 319, 319, 239, 239}, EdgeCase{-47, 100, 1, 0, 1, 0},
    EdgeCase{320, 100, 1, 0, 1, 0}, EdgeCase{100, 240, 1, 0, 1, 0}, EdgeCase{100, -47, 1, 0, 1, 0},
    EdgeCase{INT_MAX, INT_MAX, 1, 0, 1, 0}, EdgeCase{INT_MIN, INT_MIN, 1, 0, 1, 0},
    EdgeCase{INT_MAX - 10, 0, 1, 0, 1, 0}, EdgeCase{0, INT_MIN + 10, 1, 0, 1, 0}));

TEST_F(DrawTest, FastPathEqualsTheDefinitionForEveryEffectAtRandomPositions) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> px(-60, 330), py(-60, 250);
    const Surface background = testsupport::Noise(320, 240, 11);
    const Plane planeBefore = Sprites[0].R;
    for (int effect = 0; effect < EFFECT_COUNT; ++effect) {
        for (int n = 0; n < 40; ++n) {
            const int x = px(rng), y = py(rng);
            Surface fast = background, slow = background;
            DrawSprite(effect, 0, fast.hDC(), x, y);
            testsupport::ReferenceDrawSprite(effect, 0, slow.hDC(), x, y);
            ASSERT_TRUE(SamePixels(fast, slow)) << "effect " << effect << " at " << x << "," << y;
        }
    }
    for (int y = 0; y < SPRITE_SIZE; ++y)
        for (int x = 0; x < SPRITE_SIZE; ++x) ASSERT_EQ(Sprites[0].R(x, y), planeBefore(x, y));
}

TEST_F(DrawTest, OddSpriteShapesAndSmallSurfacesEqualTheDefinition) {
    std::mt19937 rng(77);
    Surface art = testsupport::Noise(30, 30, 4);
    for (int n = 0; n < 300; ++n) {
        const int w = 1 + static_cast<int>(rng() % 30), h = 1 + static_cast<int>(rng() % 30);
        CaptureSprite(0, art.hDC(), 0, 0, w, h);
        const int sw = 1 + static_cast<int>(rng() % 20), sh = 1 + static_cast<int>(rng() % 20);
        const int x = static_cast<int>(rng() % 60) - 35, y = static_cast<int>(rng() % 60) - 35;
        const int effect = static_cast<int>(rng() % EFFECT_COUNT);
        Surface fast = testsupport::Noise(sw, sh, static_cast<std::uint32_t>(n)), slow = fast;
        DrawSprite(effect, 0, fast.hDC(), x, y);
        testsupport::ReferenceDrawSprite(effect, 0, slow.hDC(), x, y);
        ASSERT_TRUE(SamePixels(fast, slow)) << w << "x" << h << " on " << sw << "x" << sh << " at " << x << "," << y;
    }
}

struct DrawMisuse { int effect, slot; const char* names; };
void PrintTo(const DrawMisuse& c, std::ostream* os) { *os << c.names; }

class DrawMisuses : public DrawTest, public ::testing::WithParamInterface<DrawMisuse> {};

TEST_P(DrawMisuses, AreRejectedAndChangeNothing) {
    const DrawMisuse m = GetParam();
    Sprites.resize(3);  // slot 1 and 2 exist but were never captured
    Surface s = testsupport::Noise(50, 50, 1);
    const Surface before = s;
    try {
        DrawSprite(m.effect, m.slot, s.hDC(), 0, 0);
        FAIL() << "accepted";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find(m.names), std::string::npos) << e.what();
    }
    EXPECT_TRUE(SamePixels(s, before));
}

INSTANTIATE_TEST_SUITE_P(Arguments, DrawMisuses, ::testing::Values(
    DrawMisuse{-1, 0, "effect -1"}, DrawMisuse{18, 0, "effect 18"},
    DrawMisuse{INT_MIN, 0, "effect -2147483648"}, DrawMisuse{INT_MAX, 0, "effect 2147483647"},
    DrawMisuse{0, -1, "slot -1"}, DrawMisuse{0, 3, "slot 3"}, DrawMisuse{0, INT_MAX, "slot 2147483647"},
    DrawMisuse{0, 1, "slot 1 has not been captured"}, DrawMisuse{17, 2, "slot 2 has not been captured"}));

TEST(DrawOrder, RejectedBeforeTheTablesExistOrWithoutASurface) {
    Sprites.clear();
    Surface s(4, 4);
    EXPECT_THROW(DrawSprite(0, 0, s.hDC(), 0, 0), EngineError);
    BuildEffectTables();
    CaptureSprite(0, s.hDC(), 0, 0, 2, 2);
    EXPECT_THROW(DrawSprite(0, 0, nullptr, 0, 0), EngineError);
}

}  // namespace
}  // namespace mdlEffects

namespace mdlEffects {
namespace {

// Every kernel the processor runs, called directly, against the per-pixel definition.
TEST(BlendKernels, EachEqualsTheDefinitionOnClippedRectangles) {
    BuildEffectTables();
    std::mt19937 rng(31337);
    platform::Surface art = testsupport::Noise(64, 64, 8);
    for (const NamedKernel& k : AvailableKernels()) {
        SCOPED_TRACE(k.name);
        for (int n = 0; n < 400; ++n) {
            const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 40);
            CaptureSprite(0, art.hDC(), static_cast<int>(rng() % 20), static_cast<int>(rng() % 20), w, h);
            const int effect = static_cast<int>(rng() % EFFECT_COUNT);
            const int x = static_cast<int>(rng() % 90) - 45, y = static_cast<int>(rng() % 90) - 45;
            platform::Surface fast = testsupport::Noise(50, 40, static_cast<std::uint32_t>(n)), slow = fast;
            testsupport::ReferenceDrawSprite(effect, 0, slow.hDC(), x, y);
            // DrawSprite's own clipping, then each kernel alone.
            BlendJob job{};
            if (PrepareBlend(EffectTable.Copy(effect), Sprites[0], fast.hDC(), x, y, job)) k.kernel(job);
            ASSERT_TRUE(testsupport::SamePixels(fast, slow)) << w << "x" << h << " at " << x << "," << y << " effect " << effect;
        }
    }
}

// GLIMMERIX_DISABLE rules implementations out (./test.sh runs the suites once more with
// "avx2" named); the portable one always serves.
TEST(Variants, TheOverrideListsNamesBySpaceOrComma) {
    struct Case { const char* list; const char* name; bool listed; };
    const Case cases[] = {
        {"avx2", "avx2", true}, {"sse2 avx2", "avx2", true}, {"avx2,avx512", "avx512", true},
        {"avx2", "avx", false}, {"avx", "avx2", false}, {"", "avx2", false}, {" ,avx2, ", "avx2", true},
        {"avx2x", "avx2", false},
    };
    for (const Case& c : cases) EXPECT_EQ(NameListed(c.list, c.name), c.listed) << c.list << " / " << c.name;
}

TEST(Variants, WhatIsChosenIsAvailableAndNotRuledOut) {
    const auto check = [](const char* chosen, const auto& available) {
        EXPECT_FALSE(VariantDisabled(chosen) && std::string(chosen) != available.front().name) << chosen;
        EXPECT_TRUE(std::any_of(available.begin(), available.end(), [&](const auto& v) { return std::string(v.name) == chosen; }));
    };
    check(ChosenKernel().name, AvailableKernels());
    check(ChosenTableBuilder().name, AvailableTableBuilders());
}

}  // namespace
}  // namespace mdlEffects

namespace mdlEffects {
namespace {

// A surface that keeps red and blue exchanged (a view of a window framebuffer): capture
// and drawing still follow the per-pixel definition, which converts at every call.
TEST(ExchangedLayout, CaptureAndDrawFollowTheDefinition) {
    BuildEffectTables();
    std::mt19937 rng(99);
    std::vector<platform::ColourValue> memory(60 * 40);
    for (platform::ColourValue& p : memory) p = rng() & 0xFFFFFFu;
    platform::Surface view = platform::Surface::View(memory.data(), 50, 40, 60, platform::PixelLayout::Rgb);
    CaptureSprite(0, view.hDC(), -3, 2, 20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            const platform::ColourValue c = platform::GetPixel(view.hDC(), x - 3, y + 2);
            ASSERT_EQ(Sprites[0].R(x, y), platform::RedOf(c));
            ASSERT_EQ(Sprites[0].B(x, y), platform::BlueOf(c));
        }
    for (int n = 0; n < 200; ++n) {
        const int effect = static_cast<int>(rng() % EFFECT_COUNT);
        const int x = static_cast<int>(rng() % 80) - 25, y = static_cast<int>(rng() % 70) - 25;
        std::vector<platform::ColourValue> fastMemory = memory, slowMemory = memory;
        platform::Surface fast = platform::Surface::View(fastMemory.data(), 50, 40, 60, platform::PixelLayout::Rgb);
        platform::Surface slow = platform::Surface::View(slowMemory.data(), 50, 40, 60, platform::PixelLayout::Rgb);
        DrawSprite(effect, 0, fast.hDC(), x, y);
        testsupport::ReferenceDrawSprite(effect, 0, slow.hDC(), x, y);
        ASSERT_EQ(fastMemory, slowMemory) << "effect " << effect << " at " << x << "," << y;  // gaps included
    }
}

}  // namespace
}  // namespace mdlEffects
