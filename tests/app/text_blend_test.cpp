#include "app/text_blend.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace app {
namespace {

// Every way of blending, at every width up to twice the vector step and on both sides of
// it, against the definition with a plain division; pixels beyond the row stay untouched.
TEST(TextBlend, EachWayEqualsTheDefinition) {
    std::mt19937 rng(5150);
    for (const NamedCoverageBlend& way : AvailableCoverageBlends()) {
        SCOPED_TRACE(way.name);
        for (int count = 1; count <= 21; ++count)
            for (int n = 0; n < 60; ++n) {
                const Ink ink{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
                std::vector<std::uint8_t> coverage(static_cast<std::size_t>(count) + kCoverageOverread);
                // Zero and full coverage are the edges; the rest is random.
                for (std::uint8_t& a : coverage) a = n % 3 == 0 ? static_cast<std::uint8_t>(rng() % 2 * 255) : static_cast<std::uint8_t>(rng());
                std::vector<platform::ColourValue> pixels(static_cast<std::size_t>(count) + 2);
                for (platform::ColourValue& p : pixels) p = rng();
                std::vector<platform::ColourValue> want = pixels;
                for (int i = 0; i < count; ++i) {
                    const unsigned a = coverage[static_cast<std::size_t>(i)];
                    if (a == 0) continue;
                    const auto over = [a](unsigned k, unsigned u) { return (k * a + u * (255 - a) + 127) / 255; };
                    platform::ColourValue& w = want[static_cast<std::size_t>(i) + 1];
                    w = over(ink.low, w & 0xFF) | over(ink.mid, w >> 8 & 0xFF) << 8 | over(ink.high, w >> 16 & 0xFF) << 16 |
                        over(0, w >> 24) << 24;
                }
                way.blend(pixels.data() + 1, coverage.data(), count, ink);
                ASSERT_EQ(pixels, want) << "count " << count << " case " << n;
            }
    }
}

TEST(TextBlend, TheFastestAvailableIsSelected) {
    EXPECT_EQ(SelectedCoverageBlend(), AvailableCoverageBlends().back().blend);
}

}  // namespace
}  // namespace app
