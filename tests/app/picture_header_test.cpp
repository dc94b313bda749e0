#include "app/picture_header.h"

#include <gtest/gtest.h>

#include "app/startup_error.h"
#include "tests/app/data_dir.h"

namespace app {
namespace {

using testsupport::GifHeader;
using testsupport::JpegHeader;

TEST(PictureHeader, ReadsTheSizeOfEachKind) {
    struct Case { std::vector<std::uint8_t> bytes; PictureKind kind; int w, h; };
    const Case cases[] = {
        {JpegHeader(320, 240), PictureKind::Jpeg, 320, 240},
        {JpegHeader(47, 8192, 0xC2), PictureKind::Jpeg, 47, 8192},  // progressive
        {JpegHeader(1, 1, 0xC1), PictureKind::Jpeg, 1, 1},
        {GifHeader(47, 47), PictureKind::Gif, 47, 47},
        {GifHeader(8192, 3), PictureKind::Gif, 8192, 3},
    };
    for (const Case& c : cases) {
        const PictureSize size = InspectPicture(c.bytes, c.kind, "pic");
        EXPECT_EQ(size.width, c.w);
        EXPECT_EQ(size.height, c.h);
    }
}

struct Refusal { const char* label; std::vector<std::uint8_t> bytes; PictureKind kind; const char* reason; };
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.label; }

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, NameThePictureAndTheReason) {
    const Refusal& r = GetParam();
    try {
        InspectPicture(r.bytes, r.kind, "Some.pic");
        FAIL() << "accepted";
    } catch (const StartupError& e) {
        EXPECT_NE(std::string(e.what()).find("Some.pic: "), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(r.reason), std::string::npos) << e.what();
    }
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t n) {
    bytes.resize(n);
    return bytes;
}

const std::vector<std::uint8_t> kPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};

INSTANTIATE_TEST_SUITE_P(Cases, Refusals, ::testing::Values(
    Refusal{"text_as_jpeg", {'h', 'e', 'l', 'l', 'o'}, PictureKind::Jpeg, "is not a JPEG picture"},
    Refusal{"gif_as_jpeg", GifHeader(4, 4), PictureKind::Jpeg, "is not a JPEG picture"},
    Refusal{"png_as_gif", kPng, PictureKind::Gif, "is not a GIF picture"},
    Refusal{"jpeg_as_gif", JpegHeader(4, 4), PictureKind::Gif, "is not a GIF picture"},
    Refusal{"jpeg_cut_in_header", Cut(JpegHeader(4, 4), 12), PictureKind::Jpeg, "cut short"},
    Refusal{"gif_cut_in_header", Cut(GifHeader(4, 4), 9), PictureKind::Gif, "cut short"},
    Refusal{"jpeg_huge", JpegHeader(30000, 30000), PictureKind::Jpeg, "30000 x 30000 is outside 1..8192"},
    Refusal{"jpeg_just_too_wide", JpegHeader(8193, 10), PictureKind::Jpeg, "8193 x 10"},
    Refusal{"jpeg_zero_height", JpegHeader(10, 0), PictureKind::Jpeg, "10 x 0"},
    Refusal{"gif_huge", GifHeader(65535, 65535), PictureKind::Gif, "65535 x 65535"},
    Refusal{"gif_small_screen_huge_image", GifHeader(4, 4, 40000, 40000), PictureKind::Gif, "40000 x 40000"},
    Refusal{"jpeg_without_frame", {0xFF, 0xD8, 0xFF, 0xD9}, PictureKind::Jpeg, "no frame header"},
    Refusal{"gif_without_image", {'G', 'I', 'F', '8', '7', 'a', 4, 0, 4, 0, 0, 0, 0, 0x3B}, PictureKind::Gif,
            "has no image"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace app
