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
    const bool ok =
        Write(dir + "/repeated_scans.jpg", RepeatLastScan(progressive, 10000)) &&
        Write(dir + "/progressive_8192.jpg", WithFrameHeader(progressive, 8, 8192, 8192)) &&
        Write(dir + "/precision_12.jpg", WithFrameHeader(EncodeJpeg(320, 240, JpegKind::Rgb, Sky), 12, 320, 240)) &&
        Write(dir + "/cmyk.jpg", EncodeJpeg(320, 240, JpegKind::CmykInverted, [](int x, int y) {
                  return std::array<std::uint8_t, 4>{static_cast<std::uint8_t>(x * 255 / 320), 0, static_cast<std::uint8_t>(y), 0};
              }));
    if (!ok) std::perror(dir.c_str());
    return ok ? 0 : 1;
}
