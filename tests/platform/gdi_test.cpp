#include "platform/gdi.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <random>
#include <thread>
#include <time.h>
#include <vector>

#include "tests/support/surfaces.h"

namespace platform {
namespace {

using testsupport::Numbered;
using testsupport::SamePixels;

// The clock is the system's monotonic milliseconds, wrapped to 32 bits, and advances with
// real time.
TEST(GetTickCount, FollowsTheMonotonicClockInMilliseconds) {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const auto before = static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
    const std::uint32_t first = GetTickCount();
    EXPECT_LE(first - before, 2u);  // unsigned: right across the wrap too
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    const std::uint32_t elapsed = GetTickCount() - first;
    EXPECT_GE(elapsed, 60u);
    EXPECT_LT(elapsed, 1000u);
}

TEST(GetPixel, ReadsInsideAndWhiteOutside) {
    Surface s = Numbered(4, 3, 0x100);
    struct Case { int x, y; ColourValue want; };
    const Case cases[] = {
        {0, 0, 0x100}, {3, 2, 0x10B}, {1, 2, 0x109},
        {-1, 0, kInvalidColour}, {0, -1, kInvalidColour}, {4, 0, kInvalidColour}, {0, 3, kInvalidColour},
        {INT_MIN, INT_MIN, kInvalidColour}, {INT_MAX, INT_MAX, kInvalidColour},
    };
    for (const Case& c : cases) EXPECT_EQ(GetPixel(s.hDC(), c.x, c.y), c.want) << c.x << "," << c.y;
    EXPECT_EQ(GetPixel(nullptr, 0, 0), kInvalidColour);
    EXPECT_EQ(RedOf(kInvalidColour), 255);
    EXPECT_EQ(GreenOf(kInvalidColour), 255);
    EXPECT_EQ(BlueOf(kInvalidColour), 255);
}

TEST(SetPixelV, WritesInsideKeepsTwentyFourBitsIgnoresOutside) {
    Surface s(3, 3, 0x404040);
    EXPECT_TRUE(SetPixelV(s.hDC(), 1, 1, 0xAB123456));
    EXPECT_EQ(GetPixel(s.hDC(), 1, 1), 0x123456u);
    const int outside[][2] = {{-1, 0}, {3, 0}, {0, -1}, {0, 3}, {INT_MIN, 0}, {INT_MAX, 1}};
    for (const auto& p : outside) EXPECT_FALSE(SetPixelV(s.hDC(), p[0], p[1], 0xFF));
    EXPECT_FALSE(SetPixelV(nullptr, 0, 0, 0xFF));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            if (x != 1 || y != 1) { EXPECT_EQ(GetPixel(s.hDC(), x, y), 0x404040u); }
}

TEST(PackRgb, SplitsAndJoinsChannels) {
    EXPECT_EQ(PackRgb(0x30, 0x20, 0x10), 0x00102030u);
    EXPECT_EQ(RedOf(0xFF102030), 0x30);
    EXPECT_EQ(GreenOf(0xFF102030), 0x20);
    EXPECT_EQ(BlueOf(0xFF102030), 0x10);
}

TEST(Surface, RefusesSizesOutsideItsRange) {
    Surface s;
    EXPECT_THROW(s.Resize(-1, 5), std::invalid_argument);
    EXPECT_THROW(s.Resize(5, Surface::kMaxSide + 1), std::invalid_argument);
    s.Resize(0, 0);
    EXPECT_EQ(GetPixel(s.hDC(), 0, 0), kInvalidColour);
}

// The definition of a copy: every destination point in the rectangle whose source point
// lies on the source surface takes the source's value from before the call.
void ReferenceBlt(Surface& dst, int x, int y, int w, int h, const Surface& srcBefore, int sx, int sy) {
    for (int dy = 0; dy < dst.Height(); ++dy)
        for (int dx = 0; dx < dst.Width(); ++dx) {
            const std::int64_t i = std::int64_t{dx} - x, j = std::int64_t{dy} - y;
            if (i < 0 || j < 0 || i >= w || j >= h) continue;
            const std::int64_t fx = sx + i, fy = sy + j;
            if (srcBefore.Contains(fx, fy)) dst.Row(dy)[dx] = srcBefore.Row(static_cast<int>(fy))[fx];
        }
}

struct BltCase { int x, y, w, h, sx, sy; };
void PrintTo(const BltCase& c, std::ostream* os) { *os << c.w << "x" << c.h << " from " << c.sx << "," << c.sy << " to " << c.x << "," << c.y; }

class BitBltCases : public ::testing::TestWithParam<BltCase> {};

TEST_P(BitBltCases, MatchesPerPixelCopyBetweenSurfaces) {
    const BltCase c = GetParam();
    Surface src = Numbered(9, 7, 0x10000);
    Surface dst = Numbered(8, 6, 0x20000);
    Surface want = dst;
    ReferenceBlt(want, c.x, c.y, c.w, c.h, src, c.sx, c.sy);
    EXPECT_TRUE(BitBlt(dst.hDC(), c.x, c.y, c.w, c.h, src.hDC(), c.sx, c.sy, kSrcCopy));
    EXPECT_TRUE(SamePixels(dst, want));
}

TEST_P(BitBltCases, MatchesPerPixelCopyWithinOneSurface) {
    const BltCase c = GetParam();
    Surface s = Numbered(9, 7, 0x30000);
    const Surface before = s;
    Surface want = s;
    ReferenceBlt(want, c.x, c.y, c.w, c.h, before, c.sx, c.sy);
    BitBlt(s.hDC(), c.x, c.y, c.w, c.h, s.hDC(), c.sx, c.sy, kSrcCopy);
    EXPECT_TRUE(SamePixels(s, want));
}

INSTANTIATE_TEST_SUITE_P(Rectangles, BitBltCases, ::testing::Values(
    BltCase{0, 0, 8, 6, 0, 0}, BltCase{2, 1, 3, 2, 4, 3},
    BltCase{-3, 0, 8, 6, 0, 0}, BltCase{0, -2, 8, 6, 0, 0},  // off the destination's left, top
    BltCase{5, 4, 8, 6, 0, 0}, BltCase{0, 0, 8, 6, 6, 5},    // off the right and bottom edges
    BltCase{0, 0, 8, 6, -4, -3},                             // source starts above-left
    BltCase{1, 1, 5, 4, 0, 0}, BltCase{0, 0, 5, 4, 1, 1},    // overlaps down-right, up-left
    BltCase{2, 0, 5, 4, 0, 0}, BltCase{0, 2, 5, 4, 0, 0},    // overlaps sideways, straight down
    BltCase{0, 0, 0, 5, 0, 0}, BltCase{20, 20, 4, 4, 0, 0},  // empty, wholly outside
    BltCase{INT_MAX, 0, INT_MAX, 3, 0, 0}, BltCase{INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0},
    BltCase{0, 0, INT_MAX, INT_MAX, INT_MIN, INT_MIN}, BltCase{-5, -5, INT_MAX, INT_MAX, 0, 0}));

// 500 random rectangles with coordinates in ±reach, each copied from `src` onto a fresh
// copy of `dst` (the same surface when `src` is null) and compared with the definition.
void CheckRandomRectangles(std::uint32_t seed, int reach, const Surface& dst, const Surface* src) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pos(-reach, reach), size(0, 14);
    for (int n = 0; n < 500; ++n) {
        const BltCase c{pos(rng), pos(rng), size(rng), size(rng), pos(rng), pos(rng)};
        Surface to = dst, from = src != nullptr ? *src : dst;
        Surface want = to;
        ReferenceBlt(want, c.x, c.y, c.w, c.h, from, c.sx, c.sy);
        BitBlt(to.hDC(), c.x, c.y, c.w, c.h, src != nullptr ? from.hDC() : to.hDC(), c.sx, c.sy, kSrcCopy);
        ASSERT_TRUE(SamePixels(to, want)) << testing::PrintToString(c);
    }
}

TEST(BitBlt, RandomRectanglesWithinOneSurfaceMatchPerPixelCopy) {
    CheckRandomRectangles(1234, 12, Numbered(9, 7, 0x40000), nullptr);
}

// Two surfaces of the same width, where whole rows make one block.
TEST(BitBlt, RandomRectanglesBetweenEqualWidthsMatchPerPixelCopy) {
    const Surface src = Numbered(9, 7, 0x50000);
    CheckRandomRectangles(4321, 3, Numbered(9, 5, 0x60000), &src);
}

TEST(BitBlt, RefusesWhatItCannotDoAndChangesNothing) {
    Surface src = Numbered(4, 4, 0x1000);
    Surface dst = Numbered(4, 4, 0x2000);
    const Surface before = dst;
    EXPECT_FALSE(BitBlt(dst.hDC(), 0, 0, 4, 4, src.hDC(), 0, 0, 0x00EE0086));  // SRCPAINT
    EXPECT_FALSE(BitBlt(dst.hDC(), 0, 0, -1, 4, src.hDC(), 0, 0, kSrcCopy));
    EXPECT_FALSE(BitBlt(dst.hDC(), 0, 0, 4, -1, src.hDC(), 0, 0, kSrcCopy));
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 4, 4, src.hDC(), 0, 0, kSrcCopy));
    EXPECT_FALSE(BitBlt(dst.hDC(), 0, 0, 4, 4, nullptr, 0, 0, kSrcCopy));
    EXPECT_TRUE(SamePixels(dst, before));
}

// A view over pixels kept in the framebuffer layout (red and blue exchanged), with a gap
// after each row: the calls take and give 0x00BBGGRR, store the other layout, and never
// touch the gap.
TEST(View, StoresTheFramebufferLayoutAndConvertsAtEveryCall) {
    constexpr int kW = 37, kH = 5, kPitch = 40;
    std::vector<ColourValue> memory(kPitch * kH, 0xDEADBEEF);
    Surface view = Surface::View(memory.data(), kW, kH, kPitch, PixelLayout::Rgb);
    EXPECT_THROW(view.Resize(10, 10), std::invalid_argument);

    EXPECT_TRUE(SetPixelV(view.hDC(), 2, 1, 0x00102030));
    EXPECT_EQ(memory[kPitch + 2], 0x00302010u);
    EXPECT_EQ(GetPixel(view.hDC(), 2, 1), 0x00102030u);

    Surface from = testsupport::Noise(kW, kH, 9);
    EXPECT_TRUE(BitBlt(view.hDC(), 0, 0, kW, kH, from.hDC(), 0, 0, kSrcCopy));
    Surface back(kW, kH);
    EXPECT_TRUE(BitBlt(back.hDC(), 0, 0, kW, kH, view.hDC(), 0, 0, kSrcCopy));
    EXPECT_TRUE(SamePixels(back, from));
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kPitch; ++x) {
            const ColourValue stored = memory[static_cast<std::size_t>(y * kPitch + x)];
            if (x < kW) {
                ASSERT_EQ(stored, SwapRedBlue(from.Row(y)[x])) << x << "," << y;
                ASSERT_EQ(GetPixel(view.hDC(), x, y), from.Row(y)[x]);
            } else {
                ASSERT_EQ(stored, 0xDEADBEEFu) << "gap at " << x << "," << y;
            }
        }
    // Partly outside, within the view: clipped as for any surface.
    Surface small(4, 4, 0x00ABCDEF);
    EXPECT_TRUE(BitBlt(view.hDC(), kW - 2, kH - 1, 4, 4, small.hDC(), 0, 0, kSrcCopy));
    EXPECT_EQ(GetPixel(view.hDC(), kW - 1, kH - 1), 0x00ABCDEFu);
    EXPECT_EQ(memory[static_cast<std::size_t>((kH - 1) * kPitch + kW)], 0xDEADBEEFu);

    view.SetBackground(0x00010203);
    view.Clear();
    EXPECT_EQ(memory[0], 0x00030201u);
    EXPECT_EQ(memory[kW], 0xDEADBEEFu);
}

}  // namespace
}  // namespace platform
