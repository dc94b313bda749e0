#include "app/picture_header.h"

#include <gtest/gtest.h>

#include <array>

#include "app/jpeg_decode.h"
#include "app/startup_error.h"
#include "tests/app/data_dir.h"
#include "tests/support/jpeg_cases.h"

namespace app {
namespace {

using testsupport::GifHeader;
using testsupport::JpegHeader;

// What the load sequence does with a picture's bytes before decoding a GIF, and for a JPEG
// the header libjpeg reads (the one the decoder uses), onto a small surface.
void Check(const std::vector<std::uint8_t>& bytes, PictureKind kind, const std::string& name) {
    InspectPicture(bytes, kind, name);
    if (kind == PictureKind::Jpeg) {
        platform::Surface target(8, 8, 0x404040);
        DecodeJpegOnto(bytes, name, target);
    }
}

std::vector<std::uint8_t> Jpeg(int w, int h, testsupport::JpegKind kind = testsupport::JpegKind::Rgb) {
    return testsupport::EncodeJpeg(w, h, kind, [](int x, int y) {
        return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 9, 0};
    });
}

// Bytes that are no marker before the first segment: libjpeg skips them to the real frame.
std::vector<std::uint8_t> StrayBytesFirst(std::vector<std::uint8_t> jpeg) {
    jpeg.insert(jpeg.begin() + 2, {0xFF, 0x00, 0x12});
    return jpeg;
}

TEST(PictureHeader, AcceptsEveryKindWithinTheLimits) {
    struct Case { std::vector<std::uint8_t> bytes; PictureKind kind; };
    const Case cases[] = {
        {Jpeg(320, 240), PictureKind::Jpeg},
        {Jpeg(65500, 2), PictureKind::Jpeg},
        // Within the blocks any file may claim: 130,560.
        {testsupport::WithFrameHeader(Jpeg(16, 16), 8, 2048, 2720), PictureKind::Jpeg},
        {Jpeg(3, 50, testsupport::JpegKind::Progressive), PictureKind::Jpeg},
        {StrayBytesFirst(Jpeg(16, 16)), PictureKind::Jpeg},
        {GifHeader(47, 47), PictureKind::Gif},
        {GifHeader(65535, 3), PictureKind::Gif},
        {GifHeader(4, 4, 65535, 65535), PictureKind::Gif},
    };
    for (const Case& c : cases) EXPECT_NO_THROW(Check(c.bytes, c.kind, "pic"));
}

struct Refusal { const char* label; std::vector<std::uint8_t> bytes; PictureKind kind; const char* reason; };
void PrintTo(const Refusal& c, std::ostream* os) { *os << c.label; }

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, NameThePictureAndTheReason) {
    const Refusal& r = GetParam();
    try {
        Check(r.bytes, r.kind, "Some.pic");
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
    // A header may claim no more blocks than its file can hold, whatever stands before it.
    Refusal{"jpeg_huge", testsupport::WithFrameHeader(Jpeg(16, 16), 8, 30000, 30000), PictureKind::Jpeg,
            "picture size 30000 x 30000 is more than a file of"},
    Refusal{"jpeg_just_beyond_the_free_blocks", testsupport::WithFrameHeader(Jpeg(16, 16), 8, 2048, 2736),
            PictureKind::Jpeg, "(131328 blocks of 8 x 8, at most 131072)"},
    Refusal{"jpeg_huge_after_stray_bytes", StrayBytesFirst(testsupport::WithFrameHeader(Jpeg(16, 16), 8, 20000, 20000)),
            PictureKind::Jpeg, "20000 x 20000 is more than a file of"},
    Refusal{"jpeg_beyond_libjpegs_largest", testsupport::WithFrameHeader(Jpeg(16, 16), 8, 65501, 8), PictureKind::Jpeg,
            "cannot be decoded: Maximum supported image dimension is 65500 pixels"},
    Refusal{"jpeg_no_image_data", JpegHeader(320, 240), PictureKind::Jpeg, "cannot be decoded: Invalid JPEG file structure: missing SOS marker"},
    Refusal{"gif_no_width", GifHeader(0, 5), PictureKind::Gif, "picture size 0 x 5 is outside 1..65535 per side"},
    Refusal{"gif_image_of_no_height", GifHeader(4, 4, 40000, 0), PictureKind::Gif, "40000 x 0"},
    Refusal{"jpeg_without_frame", {0xFF, 0xD8, 0xFF, 0xD9}, PictureKind::Jpeg, "no frame header"},
    Refusal{"gif_without_image", {'G', 'I', 'F', '8', '7', 'a', 4, 0, 4, 0, 0, 0, 0, 0x3B}, PictureKind::Gif,
            "has no image"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace app
