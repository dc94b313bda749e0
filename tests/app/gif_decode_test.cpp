#include "app/gif_decode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "app/startup_error.h"
#include "tests/support/gif_files.h"
#include "tests/support/surfaces.h"

namespace app {
namespace {

using testsupport::GifLayout;

constexpr platform::ColourValue kBackground = 0x00404040;

platform::ColourValue Colour(const std::array<std::uint8_t, 3>& c) { return platform::PackRgb(c[0], c[1], c[2]); }

// What the picture holds, drawn the way the definition says: the background, then every
// image pixel on the screen and the target that is not transparent.
platform::Surface Expected(const GifLayout& g, int targetWidth, int targetHeight) {
    platform::Surface want(targetWidth, targetHeight, kBackground);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) {
            const int px = g.left + x, py = g.top + y;
            const std::uint8_t index = g.indices[static_cast<std::size_t>(y * g.width + x)];
            if (index == g.transparent || px >= g.screenWidth || py >= g.screenHeight || !want.Contains(px, py)) continue;
            want.Row(py)[px] = Colour(g.localColours > 0 ? testsupport::LocalColour(index) : testsupport::GlobalColour(index));
        }
    return want;
}

struct Picture {
    const char* label;
    GifLayout layout;
    std::function<std::uint8_t(int x, int y, std::mt19937&)> index;
    int targetWidth = 47, targetHeight = 47;
};
void PrintTo(const Picture& c, std::ostream* os) { *os << c.label; }

class GifPictures : public ::testing::TestWithParam<Picture> {};

TEST_P(GifPictures, DecodeToWhatThePictureHolds) {
    const Picture& p = GetParam();
    GifLayout g = p.layout;
    std::mt19937 rng(7);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) g.indices.push_back(p.index(x, y, rng));
    platform::Surface got(p.targetWidth, p.targetHeight, kBackground);
    got.Row(0)[0] = 0x123456;  // the decode starts from the background
    DecodeGifOnto(testsupport::GifFile(g), "Light.gif", got);
    EXPECT_TRUE(testsupport::SamePixels(got, Expected(g, p.targetWidth, p.targetHeight)));
}

GifLayout Sized(int w, int h) {
    GifLayout g;
    g.screenWidth = g.width = w;
    g.screenHeight = g.height = h;
    return g;
}
GifLayout With(GifLayout g, const std::function<void(GifLayout&)>& change) {
    change(g);
    return g;
}
std::uint8_t Gradient(int x, int y, std::mt19937&) { return static_cast<std::uint8_t>(x * 5 + y * 3); }
std::uint8_t Noise(int, int, std::mt19937& r) { return static_cast<std::uint8_t>(r()); }

INSTANTIATE_TEST_SUITE_P(Cases, GifPictures, ::testing::Values(
    Picture{"light_sized", Sized(47, 47), Gradient},
    Picture{"one_pixel", Sized(1, 1), [](int, int, std::mt19937&) { return std::uint8_t{200}; }},
    // Every pass of the interlace, with heights that end inside each pass.
    Picture{"interlaced", With(Sized(13, 29), [](GifLayout& g) { g.interlaced = true; }), Gradient},
    Picture{"interlaced_three_rows", With(Sized(5, 3), [](GifLayout& g) { g.interlaced = true; }), Gradient},
    Picture{"local_table", With(Sized(20, 20), [](GifLayout& g) { g.localColours = 64; }),
            [](int x, int y, std::mt19937&) { return static_cast<std::uint8_t>((x + y) % 64); }},
    Picture{"local_table_only", With(Sized(9, 9), [](GifLayout& g) { g.globalColours = 0; g.localColours = 4; }),
            [](int x, int y, std::mt19937&) { return static_cast<std::uint8_t>((x ^ y) & 3); }},
    Picture{"small_global_table", With(Sized(30, 10), [](GifLayout& g) { g.globalColours = 2; }),
            [](int x, int, std::mt19937&) { return static_cast<std::uint8_t>(x & 1); }},
    Picture{"transparent", With(Sized(47, 47), [](GifLayout& g) { g.transparent = 3; }),
            [](int x, int y, std::mt19937&) { return static_cast<std::uint8_t>((x * y) % 7); }},
    // An image smaller than the picture, placed inside it: the rest is background.
    Picture{"placed_inside", With(Sized(47, 47), [](GifLayout& g) { g.left = 5; g.top = 7; g.width = 20; g.height = 11; }),
            Gradient},
    // An image reaching beyond the picture is cut at the picture's edge.
    Picture{"beyond_the_screen", With(Sized(30, 30), [](GifLayout& g) { g.left = 20; g.top = 25; g.width = 20; g.height = 20; }),
            Gradient},
    // A picture smaller than the target: the target's background around it.
    Picture{"smaller_than_target", Sized(10, 12), Gradient},
    // Larger than the target: only the part on the target lands (rows below are not decoded).
    Picture{"larger_than_target", Sized(300, 200), Noise},
    Picture{"larger_interlaced", With(Sized(100, 90), [](GifLayout& g) { g.interlaced = true; }), Noise, 47, 47},
    // Pixels that can no longer land are not decoded: here they hold a colour outside the
    // table, which a decoder reading them refuses. Interlaced, the needed rows 0..3 are done
    // with the last pass's second row; an image beside the screen needs none at all.
    Picture{"interlaced_stops_after_the_last_needed_row",
            With(Sized(16, 64), [](GifLayout& g) { g.interlaced = true; g.globalColours = 4; }),
            [](int x, int y, std::mt19937&) { return static_cast<std::uint8_t>(y % 2 == 1 && y > 3 ? 9 : (x + y) & 3); },
            16, 4},
    Picture{"interlaced_beside_the_screen",
            With(Sized(47, 47), [](GifLayout& g) { g.interlaced = true; g.globalColours = 4; g.left = 47; g.width = 30; }),
            [](int, int, std::mt19937&) { return std::uint8_t{9}; }},
    // Noise fills the 4,096 codes many times: the encoder clears and starts again.
    Picture{"noise_with_clears", Sized(300, 200), Noise, 320, 240},
    // The table fills and is never cleared: codes stay 12 bits wide to the end.
    Picture{"deferred_clear", With(Sized(120, 100), [](GifLayout& g) { g.literalOnly = true; }), Noise, 120, 100}),
    [](const auto& info) { return std::string(info.param.label); });

struct Damage {
    const char* label;
    std::function<std::vector<std::uint8_t>()> file;
    const char* says;
};
void PrintTo(const Damage& c, std::ostream* os) { *os << c.label; }

class GifDamage : public ::testing::TestWithParam<Damage> {};

TEST_P(GifDamage, IsRefusedWithWhatIsWrong) {
    platform::Surface target(47, 47, kBackground);
    try {
        DecodeGifOnto(GetParam().file(), "Light.gif", target);
        FAIL() << "decoded";
    } catch (const StartupError& e) {
        EXPECT_EQ(std::string(e.what()), std::string("Light.gif: ") + GetParam().says);
    }
}

std::vector<std::uint8_t> Plain(const std::function<void(GifLayout&)>& change = [](GifLayout&) {}) {
    GifLayout g = Sized(8, 8);
    g.indices.assign(64, 1);
    change(g);
    return testsupport::GifFile(g);
}
std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}
std::vector<std::uint8_t> Replace(std::vector<std::uint8_t> bytes, std::size_t at, std::vector<std::uint8_t> with) {
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}
constexpr std::size_t kGlobalTableEnd = 13 + 768;
constexpr std::size_t kDescriptor = kGlobalTableEnd + 7;  // after the comment

INSTANTIATE_TEST_SUITE_P(Cases, GifDamage, ::testing::Values(
    Damage{"text", [] { return std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o', '!', '!'}; }, "is not a GIF picture"},
    Damage{"cut_in_the_table", [] { return Cut(Plain(), 100); }, "cannot be decoded: the file ends inside a colour table"},
    Damage{"cut_in_the_data", [] { return Cut(Plain(), kDescriptor + 12); }, "cannot be decoded: the file ends inside the image data"},
    Damage{"no_image", [] { return Replace(Plain(), kGlobalTableEnd, {0x3B}); }, "cannot be decoded: the file ends before its first image"},
    Damage{"unknown_block", [] { return Replace(Plain(), kGlobalTableEnd, {0x99}); },
           "cannot be decoded: unknown block 0x99 before the first image"},
    Damage{"image_of_no_width", [] { return Replace(Plain(), kDescriptor + 5, {0, 0}); },
           "cannot be decoded: image size 0 x 8 is outside 1..65535 per side"},
    Damage{"no_colour_table", [] { return Plain([](GifLayout& g) { g.globalColours = 0; }); },
           "cannot be decoded: the image has no colour table"},
    Damage{"code_size_nine", [] { return Replace(Plain(), kDescriptor + 10, {9}); },
           "cannot be decoded: LZW minimum code size 9 is outside 1..8"},
    Damage{"control_extension_of_five", [] { return Replace(Plain([](GifLayout& g) { g.transparent = 0; }), kGlobalTableEnd + 9, {5}); },
           "cannot be decoded: graphic control extension of 5 bytes; 4 expected"},
    // A code that names an entry not yet defined (SDL2_image's stack overflowed on these).
    Damage{"code_not_yet_defined", [] { return Plain([](GifLayout& g) { g.stream = testsupport::PackCodes({{256, 9}, {1, 9}, {300, 9}}); }); },
           "cannot be decoded: LZW code 300 refers to no entry; 258 are defined"},
    Damage{"entry_first_after_clear", [] { return Plain([](GifLayout& g) { g.stream = testsupport::PackCodes({{256, 9}, {258, 9}}); }); },
           "cannot be decoded: LZW code 258 refers to no entry; 258 are defined"},
    Damage{"colour_outside_the_table", [] {
               return Plain([](GifLayout& g) { g.globalColours = 4; g.indices.assign(64, 9); }); },
           "cannot be decoded: pixel colour 9 is outside the colour table of 4"},
    Damage{"data_ends_early", [] { return Plain([](GifLayout& g) { g.stream = tools::GifLzw(std::vector<std::uint8_t>(40, 1)); }); },
           "cannot be decoded: the image data ends after 40 of 64 pixels"}),
    [](const auto& info) { return std::string(info.param.label); });

// Pictures ImageMagick writes from a picture of few colours decode to exactly those colours.
struct MagickCase {
    const char* label;
    const char* options;
    bool redIsTransparent;
};
void PrintTo(const MagickCase& c, std::ostream* os) { *os << c.label; }

class GifFromImageMagick : public ::testing::TestWithParam<MagickCase> {};

TEST_P(GifFromImageMagick, DecodesToThePicturesColours) {
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick's convert is not installed";
    const MagickCase& c = GetParam();
    constexpr int kW = 61, kH = 43;
    const auto colourAt = [](int x, int y) -> platform::ColourValue {
        if ((x / 7 + y / 5) % 5 == 0) return platform::PackRgb(255, 0, 0);
        // Blocks of 4 × 4 pixels keep the picture under 256 colours, so that none is reduced.
        const int bx = x / 4, by = y / 4;
        return platform::PackRgb(static_cast<std::uint8_t>(bx * 16), static_cast<std::uint8_t>(by * 20), static_cast<std::uint8_t>((bx + by) * 7));
    };
    const std::string base = testing::TempDir() + "glimmerix-gif-" + c.label;
    {
        std::ofstream ppm(base + ".ppm", std::ios::binary);
        ppm << "P6\n" << kW << " " << kH << "\n255\n";
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const platform::ColourValue v = colourAt(x, y);
                ppm.put(static_cast<char>(platform::RedOf(v))).put(static_cast<char>(platform::GreenOf(v))).put(static_cast<char>(platform::BlueOf(v)));
            }
    }
    const std::string command = "convert " + base + ".ppm " + c.options + base + ".gif";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(base + ".gif", std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(base + ".ppm");
    std::filesystem::remove(base + ".gif");
    platform::Surface got(kW + 3, kH + 2, kBackground);
    DecodeGifOnto(bytes, "Light.gif", got);
    for (int y = 0; y < got.Height(); ++y)
        for (int x = 0; x < got.Width(); ++x) {
            platform::ColourValue want = x < kW && y < kH ? colourAt(x, y) : kBackground;
            if (c.redIsTransparent && want == platform::PackRgb(255, 0, 0)) want = kBackground;
            ASSERT_EQ(got.Row(y)[x], want) << c.label << " at " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Cases, GifFromImageMagick, ::testing::Values(
    MagickCase{"plain", "", false},
    MagickCase{"interlaced", "-interlace GIF ", false},
    MagickCase{"transparent", "-transparent red ", true},
    MagickCase{"gif87a", "-interlace GIF gif87:", false}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace app
