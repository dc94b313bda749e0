// Checks a screenshot of the scene against the per-pixel blend of the sprite onto the
// background, for the end-to-end tests (raw RGB files, 3 bytes a pixel):
//   sprite_check SCENE BACKGROUND SPRITE SIDE EFFECT X Y   exit 0 when the SIDE × SIDE square
//                                                          at (X, Y) is exact
//   sprite_check SCENE BACKGROUND SPRITE SIDE EFFECT find  prints "X Y" of every place where it is
// SCENE and BACKGROUND are 320 × 240; the sprite's transparent pixels are already the
// background colour of its capture.
#include <glimmerix/glimmerix.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 320, kHeight = 240;

std::vector<unsigned char> Read(const char* path, std::size_t bytes) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() != bytes) {
        std::fprintf(stderr, "sprite_check: %s has %zu bytes, expected %zu\n", path, data.size(), bytes);
        std::exit(2);
    }
    return data;
}

// The first channel that differs from the blend, or -1 when the square is exact.
long Mismatch(const std::vector<unsigned char>& scene, const std::vector<unsigned char>& background,
              const std::vector<unsigned char>& sprite, int side, int effect, int x0, int y0) {
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            for (int c = 0; c < 3; ++c) {
                const long at = ((static_cast<long>(y0) + y) * kWidth + x0 + x) * 3 + c;
                const int expected = glimmerix_blend(effect, background[at], sprite[(y * side + x) * 3 + c]);
                if (scene[at] != expected) return at;
            }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const bool find = argc == 7 && std::string(argv[6]) == "find";
    if (argc != 8 && !find) {
        std::fprintf(stderr, "usage: sprite_check SCENE BACKGROUND SPRITE SIDE EFFECT (X Y | find)\n");
        return 2;
    }
    const int side = std::stoi(argv[4]), effect = std::stoi(argv[5]);
    if (side < 1 || side > kHeight || effect < 0 || effect >= GLIMMERIX_EFFECT_COUNT) return 2;
    const auto frame = static_cast<std::size_t>(kWidth) * kHeight * 3;
    const auto scene = Read(argv[1], frame), background = Read(argv[2], frame);
    const auto sprite = Read(argv[3], static_cast<std::size_t>(side) * side * 3);
    if (find) {
        for (int y = 0; y + side <= kHeight; ++y)
            for (int x = 0; x + side <= kWidth; ++x)
                if (Mismatch(scene, background, sprite, side, effect, x, y) < 0) std::printf("%d %d\n", x, y);
        return 0;
    }
    const int x = std::stoi(argv[6]), y = std::stoi(argv[7]);
    if (x < 0 || y < 0 || x + side > kWidth || y + side > kHeight) return 2;
    const long at = Mismatch(scene, background, sprite, side, effect, x, y);
    if (at < 0) return 0;
    const long pixel = at / 3;
    std::fprintf(stderr, "effect %d: scene pixel (%ld, %ld) channel %ld is %d, the blend gives %d\n", effect,
                 pixel % kWidth, pixel / kWidth, at % 3, scene[at],
                 glimmerix_blend(effect, background[at], sprite[((pixel / kWidth - y) * side + pixel % kWidth - x) * 3 + at % 3]));
    return 1;
}
