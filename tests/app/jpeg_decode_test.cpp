#include "app/jpeg_decode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/exif_orientation.h"
#include "app/program_files.h"
#include "app/startup_error.h"
#include "platform/gdi.h"
#include "tests/app/data_dir.h"
#include "tests/support/jpeg_cases.h"

namespace app {
namespace {

using testsupport::EncodeJpeg;
using testsupport::JpegKind;

constexpr platform::ColourValue kBackground = 0x00404040;

// A smooth picture, so that JPEG keeps its colours within a few levels.
std::array<std::uint8_t, 4> Gradient(int x, int y) {
    return {static_cast<std::uint8_t>(x * 4), static_cast<std::uint8_t>(y * 4), static_cast<std::uint8_t>(128), 0};
}

int Distance(platform::ColourValue a, platform::ColourValue b) {
    return std::max({std::abs(platform::RedOf(a) - platform::RedOf(b)), std::abs(platform::GreenOf(a) - platform::GreenOf(b)),
                     std::abs(platform::BlueOf(a) - platform::BlueOf(b))});
}

// Pictures larger, smaller and as large as their surface, in every colour model: the part
// on the surface shows the picture's colours, the rest the background.
struct Fit { int picture, surface; JpegKind kind; };
TEST(JpegDecode, DrawsThePartThatLandsOnTheSurfaceOverTheBackground) {
    const Fit fits[] = {{64, 40, JpegKind::Rgb}, {64, 40, JpegKind::Progressive}, {24, 40, JpegKind::Rgb},
                        {40, 40, JpegKind::Grey}, {40, 40, JpegKind::CmykInverted}, {56, 17, JpegKind::CmykInverted},
                        {40, 40, JpegKind::CmykInvertedNoMarker}};
    for (const Fit& f : fits) {
        SCOPED_TRACE(testing::Message() << f.picture << " on " << f.surface << " kind " << static_cast<int>(f.kind));
        const auto bytes = EncodeJpeg(f.picture, f.picture, f.kind, Gradient);
        platform::Surface target(f.surface, f.surface, kBackground);
        DecodeJpegOnto(bytes, "t.jpg", target);
        for (int y = 0; y < f.surface; ++y)
            for (int x = 0; x < f.surface; ++x) {
                const platform::ColourValue got = target.Row(y)[x];
                ASSERT_EQ(got >> 24, 0u);
                if (x >= f.picture || y >= f.picture) {
                    ASSERT_EQ(got, kBackground) << x << "," << y;
                    continue;
                }
                const auto p = Gradient(x, y);
                const platform::ColourValue want =
                    f.kind == JpegKind::Grey ? platform::PackRgb(p[0], p[0], p[0])
                    : f.kind == JpegKind::CmykInverted || f.kind == JpegKind::CmykInvertedNoMarker
                        // Inks c, m, y, k: red is (1 − c)(1 − k) and so on.
                        ? platform::PackRgb(static_cast<std::uint8_t>(255 - p[0]), static_cast<std::uint8_t>(255 - p[1]),
                                            static_cast<std::uint8_t>(255 - p[2]))
                        : platform::PackRgb(p[0], p[1], p[2]);
                ASSERT_LE(Distance(got, want), 6) << x << "," << y << " got " << std::hex << got << " want " << want;
            }
    }
}

// A progressive picture whose last scan (a refinement of 63 coefficients of every luminance
// block) is repeated: each repeat touches them all again, over 2048 x 2048 pixels.
std::vector<std::uint8_t> CostlyScans(int repeats) {
    static const auto picture = EncodeJpeg(2048, 2048, JpegKind::Progressive, Gradient, 75);
    return testsupport::RepeatLastScan(picture, repeats);
}

std::vector<std::uint8_t> Padded(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

// Each way a picture can be wrong is refused with a reason that names it, before it costs
// much: every case here is decided by the header or by a scan's header before its data.
struct Refusal { const char* what; std::vector<std::uint8_t> bytes; const char* reason; };
TEST(JpegDecode, RefusesWhatItCannotDecodeWithLibjpegsReasonOrTheLimit) {
    const auto small = EncodeJpeg(16, 16, JpegKind::Progressive, Gradient);
    const Refusal refusals[] = {
        {"a scan repeated 10,000 times", testsupport::RepeatLastScan(small, 10000), "cannot be decoded: picture has more than 100 scans"},
        {"progressive 8000 x 8000", testsupport::WithFrameHeader(small, 8, 8000, 8000),
         "picture size 8000 x 8000 is more than a file of 555 bytes can hold (1500000 blocks of 8 x 8, at most 131072)"},
        // Paid for by its bytes, but more than the decoder keeps.
        {"progressive 12000 x 12000 in 9 MB", Padded(testsupport::WithFrameHeader(small, 8, 12000, 12000), 9'000'000),
         "cannot be decoded: progressive picture needs 412 MiB to decode; at most 320 MiB are used"},
        {"scans that touch every coefficient again and again", CostlyScans(10),
         "cannot be decoded: the picture's first "},
        {"12-bit samples", testsupport::WithFrameHeader(EncodeJpeg(16, 16, JpegKind::Rgb, Gradient), 12, 16, 16),
         "cannot be decoded: Unsupported JPEG data precision 12"},
        {"garbage after the start marker", {0xFF, 0xD8, 0x12, 0x34, 0x56, 0x78, 0x9A}, "picture header is cut short"},
    };
    for (const Refusal& r : refusals) {
        platform::Surface target(32, 32, kBackground);
        try {
            DecodeJpegOnto(r.bytes, "Planet.jpg", target);
            ADD_FAILURE() << r.what << ": accepted";
        } catch (const StartupError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(std::string("Planet.jpg: ") + r.reason, 0), 0u) << r.what << ": " << e.what();
        }
    }
}

// A picture cut short decodes what it holds, the rest grey, without an error; scans within
// the limit decode.
TEST(JpegDecode, CutShortOrRepeatedWithinTheLimitStillDecodes) {
    auto whole = EncodeJpeg(64, 64, JpegKind::Rgb, Gradient);
    whole.resize(whole.size() / 2);
    platform::Surface target(32, 32, kBackground);
    EXPECT_NO_THROW(DecodeJpegOnto(whole, "t.jpg", target));
    EXPECT_LE(Distance(target.Row(0)[5], platform::PackRgb(20, 0, 128)), 6);
    const auto repeated = testsupport::RepeatLastScan(EncodeJpeg(16, 16, JpegKind::Progressive, Gradient), 50);
    EXPECT_NO_THROW(DecodeJpegOnto(repeated, "t.jpg", target));
    EXPECT_NO_THROW(DecodeJpegOnto(CostlyScans(5), "t.jpg", target));  // under the coefficients' limit
}

std::vector<std::uint8_t> ReadFile(const std::string& path) { return ReadDataFile(path, kMaxPictureFileBytes); }

bool HasImageMagick() { return std::system("command -v convert >/dev/null 2>&1") == 0; }

// A picture with an Exif orientation shows as ImageMagick's -auto-orient shows it: upright,
// cut at the surface's edges (48 x 32 stored, on 40 x 40: one side cut, the other short).
class ExifOrientations : public ::testing::TestWithParam<int> {};

TEST_P(ExifOrientations, ShowThePictureUpright) {
    if (!HasImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
    testsupport::DataDir dir;
    const std::string jpeg = dir.File("oriented.jpg"), shown = dir.File("oriented.rgb");
    const auto bytes = testsupport::WithApp1(EncodeJpeg(48, 32, JpegKind::Rgb, Gradient),
                                             testsupport::ExifPayload(GetParam(), GetParam() % 2 == 0));
    dir.Write("oriented.jpg", bytes);
    const std::string show = "convert '" + jpeg + "' -auto-orient -depth 8 'rgb:" + shown + "'";
    ASSERT_EQ(std::system(show.c_str()), 0);
    const auto upright = ReadFile(shown);
    const int width = GetParam() >= 5 ? 32 : 48, height = GetParam() >= 5 ? 48 : 32;
    ASSERT_EQ(upright.size(), static_cast<std::size_t>(width * height * 3));
    platform::Surface target(40, 40, kBackground);
    DecodeJpegOnto(bytes, "t.jpg", target);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            if (x >= width || y >= height) {
                ASSERT_EQ(target.Row(y)[x], kBackground) << x << "," << y;
                continue;
            }
            const std::size_t i = static_cast<std::size_t>(y * width + x) * 3;
            ASSERT_LE(Distance(target.Row(y)[x], platform::PackRgb(upright[i], upright[i + 1], upright[i + 2])), 2)
                << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Tags, ExifOrientations, ::testing::Range(1, 9));

// Exif blocks that record no usable orientation leave the picture as it is stored.
TEST(ExifOrientation, DamagedOrForeignBlocksAreUpright) {
    struct Case { const char* what; std::vector<std::uint8_t> payload; Orientation want; };
    auto cut = testsupport::ExifPayload(6);
    cut.resize(cut.size() - 9);  // inside the entry
    auto farDirectory = testsupport::ExifPayload(6);
    farDirectory[10] = 0xFF;  // the directory's offset beyond the block
    auto notExif = testsupport::ExifPayload(6);
    notExif[0] = 'e';
    const Case cases[] = {
        {"little-endian 6", testsupport::ExifPayload(6), Orientation::TurnClockwise},
        {"big-endian 8", testsupport::ExifPayload(8, true), Orientation::TurnAnticlockwise},
        {"value 9", testsupport::ExifPayload(9), Orientation::Upright},
        {"value 0", testsupport::ExifPayload(0, true), Orientation::Upright},
        {"a long, not a short", testsupport::ExifPayload(6, false, 4), Orientation::Upright},
        {"cut inside the entry", cut, Orientation::Upright},
        {"directory beyond the block", farDirectory, Orientation::Upright},
        {"not Exif", notExif, Orientation::Upright},
    };
    for (const Case& c : cases) EXPECT_EQ(ExifOrientation(c.payload.data(), c.payload.size()), c.want) << c.what;
}

// A CMYK picture as ImageMagick writes it shows the colours ImageMagick shows for it.
TEST(JpegDecode, CmykFromImageMagickShowsImageMagicksColours) {
    if (!HasImageMagick()) GTEST_SKIP() << "ImageMagick is not installed";
    const std::string dir = testing::TempDir();
    const std::string cmyk = dir + "/cmyk.jpg", rgb = dir + "/cmyk.rgb";
    const std::string make = "convert -size 48x32 gradient:'#1040c0-#f0a020' -colorspace CMYK -quality 95 '" + cmyk +
                             "' && convert '" + cmyk + "' -colorspace sRGB -depth 8 'rgb:" + rgb + "'";
    ASSERT_EQ(std::system(make.c_str()), 0);
    const auto jpeg = ReadFile(cmyk), shown = ReadFile(rgb);
    ASSERT_EQ(shown.size(), 48u * 32u * 3u);
    platform::Surface target(48, 32, kBackground);
    DecodeJpegOnto(jpeg, "cmyk.jpg", target);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 48; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * 48 + x) * 3;
            ASSERT_LE(Distance(target.Row(y)[x], platform::PackRgb(shown[i], shown[i + 1], shown[i + 2])), 2) << x << "," << y;
        }
}

}  // namespace
}  // namespace app
