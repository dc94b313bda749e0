#include "app/text_blend.h"

#include <gtest/gtest.h>

#include "effects/variant.h"

#include <algorithm>
#include <random>
#include <vector>

namespace app {
namespace {

// Every way of blending, at widths up to three vector steps and on both sides of each, on
// one to three rows with gaps between them, against the definition with a plain division:
// the gaps and the pixels beyond each row stay untouched.
TEST(TextBlend, EachWayEqualsTheDefinition) {
    std::mt19937 rng(5150);
    for (const NamedCoverageBlend& way : AvailableCoverageBlends()) {
        SCOPED_TRACE(way.name);
        for (int width = 1; width <= 3 * kCoverageStep + 1; ++width)
            for (int n = 0; n < 60; ++n) {
                const int height = 1 + n % 3, dstPitch = width + 3, coveragePitch = width + 1 + n % 2;
                const Ink ink{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng())};
                std::vector<std::uint8_t> coverage(static_cast<std::size_t>(coveragePitch * height));
                // Zero and full coverage are the edges; the rest is random.
                for (std::uint8_t& a : coverage) a = n % 3 == 0 ? static_cast<std::uint8_t>(rng() % 2 * 255) : static_cast<std::uint8_t>(rng());
                std::vector<platform::ColourValue> pixels(static_cast<std::size_t>(dstPitch * height));
                for (platform::ColourValue& p : pixels) p = rng();
                std::vector<platform::ColourValue> want = pixels;
                for (int y = 0; y < height; ++y)
                    for (int x = 0; x < width; ++x) {
                        const unsigned a = coverage[static_cast<std::size_t>(y * coveragePitch + x)];
                        if (a == 0) continue;
                        const auto over = [a](unsigned k, unsigned u) { return (k * a + u * (255 - a) + 127) / 255; };
                        platform::ColourValue& w = want[static_cast<std::size_t>(y * dstPitch + x + 1)];
                        w = over(ink.low, w & 0xFF) | over(ink.mid, w >> 8 & 0xFF) << 8 | over(ink.high, w >> 16 & 0xFF) << 16 |
                            over(0, w >> 24) << 24;
                    }
                way.blend({pixels.data() + 1, dstPitch, coverage.data(), coveragePitch, width, height, ink});
                ASSERT_EQ(pixels, want) << width << " x " << height << " case " << n;
            }
    }
}

TEST(TextBlend, TheChosenWayIsAvailableAndNotRuledOut) {
    const auto ways = AvailableCoverageBlends();
    const auto chosen = std::find_if(ways.begin(), ways.end(), [](const auto& w) { return w.blend == ChosenCoverageBlend(); });
    ASSERT_NE(chosen, ways.end());
    EXPECT_TRUE(chosen == ways.begin() || !mdlEffects::VariantDisabled(chosen->name)) << chosen->name;
}

}  // namespace
}  // namespace app
