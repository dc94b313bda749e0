// effect_atlas: draws the 18 blend tables side by side as a PNG (destination across,
// source down, one grey 256 × 256 tile per effect, labelled with its number), or with
// --raw writes the table's 1,179,648 bytes in memory order to standard output.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "effects/effect_table.h"
#include "tools/png_writer.h"

namespace {

constexpr int kColumns = 6;
constexpr int kRows = 3;
constexpr int kTile = 256;
constexpr int kGap = 12;
constexpr int kLabel = 30;  // band above each tile for its number
constexpr int kScale = 3;   // digit pixels per font pixel

// 3 × 5 digits, one row of three bits per line, top to bottom.
constexpr unsigned char kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}};

struct Canvas {
    int width, height;
    std::vector<std::uint8_t> rgb;
    void Set(int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        p[0] = r, p[1] = g, p[2] = b;
    }
};

void DrawNumber(Canvas& c, int number, int x, int y) {
    const std::string text = std::to_string(number);
    for (char ch : text) {
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (kDigits[ch - '0'][row] & (4 >> col))
                    for (int dy = 0; dy < kScale; ++dy)
                        for (int dx = 0; dx < kScale; ++dx)
                            c.Set(x + col * kScale + dx, y + row * kScale + dy, 255, 220, 120);
        x += 4 * kScale;
    }
}

int WriteRaw() {
    const std::uint8_t* table = mdlEffects::EffectTable.Data();
    if (std::fwrite(table, 1, mdlEffects::EFFECT_TABLE_BYTES, stdout) != mdlEffects::EFFECT_TABLE_BYTES ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "effect_atlas: cannot write the table to standard output\n");
        return 1;
    }
    return 0;
}

int WriteAtlas(const std::string& path) {
    Canvas c{kColumns * kTile + (kColumns + 1) * kGap, kRows * (kTile + kLabel) + (kRows + 1) * kGap, {}};
    c.rgb.assign(static_cast<std::size_t>(c.width) * c.height * 3, 24);
    for (int e = 0; e < mdlEffects::EFFECT_COUNT; ++e) {
        const int left = kGap + (e % kColumns) * (kTile + kGap);
        const int top = kGap + (e / kColumns) * (kTile + kLabel + kGap);
        DrawNumber(c, e, left, top + 4);
        for (int s = 0; s < 256; ++s)
            for (int d = 0; d < 256; ++d) {
                const std::uint8_t v = mdlEffects::EffectTable(e, d, s);
                c.Set(left + d, top + kLabel + s, v, v, v);
            }
    }
    std::string error;
    if (!tools::WritePng(path, c.width, c.height, c.rgb, &error)) {
        std::fprintf(stderr, "effect_atlas: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(stderr, "usage: effect_atlas OUT.png | effect_atlas --raw > table.bin\n");
        return argc == 2 ? 0 : 2;
    }
    mdlEffects::BuildEffectTables();
    return std::strcmp(argv[1], "--raw") == 0 ? WriteRaw() : WriteAtlas(argv[1]);
}
