// Writes the JPEG files of the damaged-files test into a folder: bad_jpegs DIR
#include <cstdio>
#include <string>

#include "tests/support/jpeg_cases.h"

namespace {

std::array<std::uint8_t, 4> Sky(int x, int y) {
    return {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(200), 0};
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const bool ok = f != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return f != nullptr && std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bad_jpegs DIR\n");
        return 2;
    }
    using namespace testsupport;
    const std::string dir = argv[1];
    const auto progressive = EncodeJpeg(320, 240, JpegKind::Progressive, Sky);
    // Progressive: the last scan refines 63 coefficients of every luminance block of 2048 x 2048.
    const auto refined = EncodeJpeg(2048, 2048, JpegKind::Progressive, Sky, 75);
    // An arithmetic-coded progressive picture of 8192 x 4000 black pixels, a few KB, with 99 scans.
    const auto wide = EncodeJpeg(8192, 4000, JpegKind::Progressive, [](int, int) { return std::array<std::uint8_t, 4>{}; }, 75, true);
    std::vector<std::uint8_t> stray = WithFrameHeader(EncodeJpeg(320, 240, JpegKind::Rgb, Sky), 8, 20000, 20000);
    stray.insert(stray.begin() + 2, {0xFF, 0x00});
    const bool ok =
        Write(dir + "/costly_scans_under.jpg", RepeatLastScan(refined, 5)) &&
        Write(dir + "/costly_scans_over.jpg", RepeatLastScan(refined, 10)) &&
        Write(dir + "/arithmetic_8192x4000_99_scans.jpg", RepeatLastScan(wide, 99 - 10)) &&
        Write(dir + "/stray_bytes_20000.jpg", stray) &&
        Write(dir + "/repeated_scans.jpg", RepeatLastScan(progressive, 10000)) &&
        Write(dir + "/progressive_8192.jpg", WithFrameHeader(progressive, 8, 8192, 8192)) &&
        Write(dir + "/precision_12.jpg", WithFrameHeader(EncodeJpeg(320, 240, JpegKind::Rgb, Sky), 12, 320, 240)) &&
        Write(dir + "/cmyk.jpg", EncodeJpeg(320, 240, JpegKind::CmykInverted, [](int x, int y) {
                  return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(x * 255 / 320), 0, static_cast<std::uint8_t>(y), 0};
              }));
    if (!ok) std::perror(dir.c_str());
    return ok ? 0 : 1;
}
