// decode_bench: what decoding the pictures people bring costs, against what the scene uses
// of them: photos (progressive and baseline, up to 48 megapixels), a panorama, a phone photo
// stored sideways, and a GIF of 8192 x 8192 on the sprite's 47 x 47, plain and interlaced.
//   decode_bench [Google Benchmark options]
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/gif_decode.h"
#include "app/jpeg_decode.h"
#include "tests/support/gif_files.h"
#include "tests/support/jpeg_cases.h"

namespace {

constexpr int kSceneWidth = 320, kSceneHeight = 240, kSprite = 47;

// A smooth picture, as a sky or a wall is: the JPEG encoder spends few bytes on it.
std::array<std::uint8_t, 4> Sky(int x, int y) {
    return {static_cast<std::uint8_t>(x >> 4), static_cast<std::uint8_t>(y >> 4), static_cast<std::uint8_t>(160), 0};
}

struct Photo {
    const char* name;
    int width, height;
    testsupport::JpegKind kind;
    int orientation;  // Exif; 1 for none
};

const Photo kPhotos[] = {
    {"progressive 4000x3000", 4000, 3000, testsupport::JpegKind::Progressive, 1},
    {"baseline 4000x3000", 4000, 3000, testsupport::JpegKind::Rgb, 1},
    {"progressive 8000x6000", 8000, 6000, testsupport::JpegKind::Progressive, 1},
    {"baseline 8000x6000", 8000, 6000, testsupport::JpegKind::Rgb, 1},
    {"baseline 4000x3000 stored sideways (Exif 6)", 4000, 3000, testsupport::JpegKind::Rgb, 6},
    {"baseline panorama 65000x300", 65000, 300, testsupport::JpegKind::Rgb, 1},
};

// Photo i's file, encoded the first time it is asked for.
const std::vector<std::uint8_t>& PhotoBytes(std::size_t i) {
    static std::array<std::vector<std::uint8_t>, std::size(kPhotos)> made;
    if (made[i].empty()) {
        const Photo& p = kPhotos[i];
        made[i] = testsupport::EncodeJpeg(p.width, p.height, p.kind, Sky, 90);
        if (p.orientation != 1) made[i] = testsupport::WithApp1(made[i], testsupport::ExifPayload(p.orientation));
    }
    return made[i];
}

void BM_DecodeJpegOntoScene(benchmark::State& state) {
    const auto i = static_cast<std::size_t>(state.range(0));
    const Photo& p = kPhotos[i];
    const auto& bytes = PhotoBytes(i);
    platform::Surface scene(kSceneWidth, kSceneHeight, 0x404040);
    for (auto _ : state) app::DecodeJpegOnto(bytes, "Planet.jpg", scene);
    state.SetLabel(std::string(p.name) + ", " + std::to_string(bytes.size() / 1024) + " KiB");
}
BENCHMARK(BM_DecodeJpegOntoScene)->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->Iterations(3);

// One 8192 x 8192 image of four colours in squares: a few tens of KB of codes for 67 M pixels.
const std::vector<std::uint8_t>& LargeGif(bool interlaced) {
    static std::vector<std::uint8_t> made[2];
    std::vector<std::uint8_t>& bytes = made[interlaced ? 1 : 0];
    if (bytes.empty()) {
        testsupport::GifLayout g;
        g.screenWidth = g.screenHeight = kSprite;
        g.width = g.height = 8192;
        g.interlaced = interlaced;
        g.indices.resize(std::size_t{8192} * 8192);
        for (int y = 0; y < 8192; ++y)
            for (int x = 0; x < 8192; ++x) g.indices[std::size_t{8192} * y + x] = static_cast<std::uint8_t>((x / 512 + y / 512) & 3);
        bytes = testsupport::GifFile(g);
    }
    return bytes;
}

void BM_DecodeGifOntoSprite(benchmark::State& state) {
    const bool interlaced = state.range(0) != 0;
    const auto& bytes = LargeGif(interlaced);
    platform::Surface sprite(kSprite, kSprite, 0x404040);
    for (auto _ : state) app::DecodeGifOnto(bytes, "Light.gif", sprite);
    state.SetLabel(std::string(interlaced ? "interlaced" : "plain") + " 8192x8192, " + std::to_string(bytes.size() / 1024) +
                   " KiB");
}
BENCHMARK(BM_DecodeGifOntoSprite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
