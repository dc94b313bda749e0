#include "tools/gif_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "app/gif_decode.h"

namespace tools {
namespace {

struct Picture {
    const char* label;
    int width, height;
    std::function<std::uint8_t(int x, int y, std::mt19937&)> index;
};
void PrintTo(const Picture& c, std::ostream* os) { *os << c.label; }

class GifRoundTrip : public ::testing::TestWithParam<Picture> {};

// What the program's decoder reads from the file is what was written, pixel by pixel.
TEST_P(GifRoundTrip, DecodesToTheSameColours) {
    const Picture& p = GetParam();
    Palette palette{};
    for (int i = 0; i < 256; ++i) palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7)};
    std::mt19937 rng(42);
    std::vector<std::uint8_t> indices;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) indices.push_back(p.index(x, y, rng));
    const std::string path = "/tmp/glimmerix-gif-test-" + std::to_string(getpid()) + ".gif";
    std::string error;
    ASSERT_TRUE(WriteGif(path, p.width, p.height, palette, indices, &error)) << error;
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    platform::Surface decoded(p.width, p.height);
    app::DecodeGifOnto(bytes, "written.gif", decoded);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const auto& want = palette[indices[static_cast<std::size_t>(y * p.width + x)]];
            ASSERT_EQ(decoded.Row(y)[x], platform::PackRgb(want[0], want[1], want[2])) << p.label << " at " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Pictures, GifRoundTrip, ::testing::Values(
    Picture{"one_pixel", 1, 1, [](int, int, std::mt19937&) { return std::uint8_t{200}; }},
    Picture{"light_sized_gradient", 47, 47, [](int x, int y, std::mt19937&) { return static_cast<std::uint8_t>(x * 5 + y); }},
    Picture{"one_colour", 120, 90, [](int, int, std::mt19937&) { return std::uint8_t{7}; }},
    // Noise fills the 4,096 codes many times over: the encoder must clear and start again.
    Picture{"noise", 300, 200, [](int, int, std::mt19937& r) { return static_cast<std::uint8_t>(r()); }},
    Picture{"few_colours_noise", 257, 131, [](int, int, std::mt19937& r) { return static_cast<std::uint8_t>(r() % 3); }}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace tools
