#include "effects/sprite_store.h"

#include <gtest/gtest.h>

#include <climits>

#include "effects/effect_table.h"
#include "effects/errors.h"
#include "platform/gdi.h"
#include "tests/support/surfaces.h"

namespace mdlEffects {
namespace {

using platform::Surface;

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override { BuildEffectTables(); }
    Surface surface_ = testsupport::Noise(60, 50, 7);

    // Every element of the slot equals the surface pixel under it, white outside.
    void ExpectSlotShows(int slot, int x0, int y0, int w, int h) {
        const SpriteData& sp = Sprites.at(static_cast<std::size_t>(slot));
        ASSERT_EQ(sp.R.Width(), w);
        ASSERT_EQ(sp.R.Height(), h);
        for (const Plane* p : {&sp.G, &sp.B}) {
            ASSERT_EQ(p->Width(), w);
            ASSERT_EQ(p->Height(), h);
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                // A point beyond the 32-bit range lies outside the surface: white.
                const std::int64_t px = std::int64_t{x0} + x, py = std::int64_t{y0} + y;
                const auto c = px > INT_MAX || py > INT_MAX
                                   ? platform::kInvalidColour
                                   : platform::GetPixel(surface_.hDC(), static_cast<int>(px), static_cast<int>(py));
                ASSERT_EQ(sp.R(x, y), platform::RedOf(c)) << x << "," << y;
                ASSERT_EQ(sp.G(x, y), platform::GreenOf(c)) << x << "," << y;
                ASSERT_EQ(sp.B(x, y), platform::BlueOf(c)) << x << "," << y;
            }
    }
};

TEST_F(CaptureTest, StoreStartsWithOneEmptySlot) {
    ASSERT_EQ(Sprites.size(), 1u);
    EXPECT_TRUE(Sprites[0].R.Empty());
}

struct Rect { int x, y, w, h; };
void PrintTo(const Rect& c, std::ostream* os) { *os << c.w << "x" << c.h << " at " << c.x << "," << c.y; }

class CaptureRects : public CaptureTest, public ::testing::WithParamInterface<Rect> {};

TEST_P(CaptureRects, PlanesHoldTheSurfaceChannelsAndWhiteOutside) {
    const Rect r = GetParam();
    CaptureSprite(0, surface_.hDC(), r.x, r.y, r.w, r.h);
    EXPECT_EQ(Sprites.size(), 1u);
    ExpectSlotShows(0, r.x, r.y, r.w, r.h);
}

INSTANTIATE_TEST_SUITE_P(Rectangles, CaptureRects, ::testing::Values(
    Rect{0, 0, 47, 47}, Rect{5, 7, 10, 4}, Rect{-2, 0, 47, 47}, Rect{0, -3, 5, 5},
    Rect{40, 30, 47, 47}, Rect{-10, -10, 80, 70}, Rect{100, 100, 3, 3}, Rect{59, 49, 1, 1},
    Rect{INT_MAX, INT_MAX, 4, 4}, Rect{INT_MIN, INT_MIN, 4, 4}, Rect{INT_MAX - 1, 0, 4, 4}));

TEST_F(CaptureTest, PlaneIsIndexedXFastest) {
    CaptureSprite(0, surface_.hDC(), 5, 7, 10, 4);
    const auto c = platform::GetPixel(surface_.hDC(), 14, 10);
    EXPECT_EQ(Sprites[0].R(9, 3), platform::RedOf(c));
    EXPECT_EQ(Sprites[0].R.Row(3)[9], platform::RedOf(c));
    EXPECT_EQ(Sprites[0].R.Row(0)[3 * 10 + 9], platform::RedOf(c));
}

TEST_F(CaptureTest, GrowingAddsEmptySlotsAndKeepsTheOldOnes) {
    CaptureSprite(0, surface_.hDC(), 0, 0, 47, 47);
    CaptureSprite(2, surface_.hDC(), 3, 4, 10, 12);
    ASSERT_EQ(Sprites.size(), 3u);
    ExpectSlotShows(0, 0, 0, 47, 47);
    EXPECT_TRUE(Sprites[1].R.Empty() && Sprites[1].G.Empty() && Sprites[1].B.Empty());
    ExpectSlotShows(2, 3, 4, 10, 12);
    CaptureSprite(1, surface_.hDC(), 1, 1, 2, 2);
    EXPECT_EQ(Sprites.size(), 3u);
    ExpectSlotShows(1, 1, 1, 2, 2);
    ExpectSlotShows(2, 3, 4, 10, 12);
}

TEST_F(CaptureTest, RecaptureReplacesTheSlotWhole) {
    CaptureSprite(0, surface_.hDC(), 0, 0, 47, 47);
    CaptureSprite(0, surface_.hDC(), 20, 20, 20, 20);
    ExpectSlotShows(0, 20, 20, 20, 20);
}

TEST_F(CaptureTest, NeverWritesTheSurface) {
    const Surface before = surface_;
    CaptureSprite(0, surface_.hDC(), -5, -5, 70, 60);
    EXPECT_TRUE(testsupport::SamePixels(surface_, before));
}

struct Misuse { int slot, w, h; const char* names; };
void PrintTo(const Misuse& c, std::ostream* os) { *os << c.names; }

class CaptureMisuse : public CaptureTest, public ::testing::WithParamInterface<Misuse> {};

TEST_P(CaptureMisuse, IsRejectedNamingTheArgumentAndLeavesTheStore) {
    const Misuse m = GetParam();
    CaptureSprite(0, surface_.hDC(), 0, 0, 3, 3);
    try {
        CaptureSprite(m.slot, surface_.hDC(), 0, 0, m.w, m.h);
        FAIL() << "accepted";
    } catch (const EngineError& e) {
        EXPECT_NE(std::string(e.what()).find(m.names), std::string::npos) << e.what();
    }
    EXPECT_EQ(Sprites.size(), 1u);
    ExpectSlotShows(0, 0, 0, 3, 3);
}

INSTANTIATE_TEST_SUITE_P(Arguments, CaptureMisuse, ::testing::Values(
    Misuse{-1, 4, 4, "slot -1"}, Misuse{INT_MIN, 4, 4, "slot -2147483648"},
    Misuse{INT_MAX, 4, 4, "slot 2147483647"}, Misuse{MAX_SPRITE_SLOT + 1, 4, 4, "slot 1024"},
    Misuse{0, 0, 4, "width 0"}, Misuse{0, -5, 4, "width -5"}, Misuse{0, 4, 0, "height 0"},
    Misuse{0, 4, INT_MIN, "height -2147483648"}, Misuse{0, INT_MAX, INT_MAX, "width 2147483647"},
    Misuse{0, 4, MAX_SPRITE_SIDE + 1, "height 4097"}));

TEST(CaptureOrder, RejectedBeforeTheStoreExistsOrWithoutASurface) {
    Sprites.clear();
    Surface s(4, 4);
    EXPECT_THROW(CaptureSprite(0, s.hDC(), 0, 0, 2, 2), EngineError);
    BuildEffectTables();
    EXPECT_THROW(CaptureSprite(0, nullptr, 0, 0, 2, 2), EngineError);
}

}  // namespace
}  // namespace mdlEffects
