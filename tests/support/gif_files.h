// GIF files for tests, assembled field by field so that each feature and each damage can be
// made on purpose: colour tables, interlace, transparency, images placed inside the
// picture, code streams with clear codes, with a full table never cleared, or hand-made.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "tools/gif_writer.h"

namespace testsupport {

// Codes of the given widths, least significant bit first, as GIF packs them.
inline std::vector<std::uint8_t> PackCodes(const std::vector<std::pair<int, int>>& codes) {
    std::vector<std::uint8_t> out;
    std::uint32_t buffer = 0;
    int bits = 0;
    for (const auto& [code, width] : codes) {
        buffer |= static_cast<std::uint32_t>(code) << bits;
        for (bits += width; bits >= 8; bits -= 8, buffer >>= 8) out.push_back(static_cast<std::uint8_t>(buffer));
    }
    if (bits > 0) out.push_back(static_cast<std::uint8_t>(buffer));
    return out;
}

// Every index as a code of its own, after one clear code and never another: the table
// fills up and stays full (a "deferred clear"), which a decoder must follow.
inline std::vector<std::uint8_t> LiteralCodes(const std::vector<std::uint8_t>& indices) {
    std::vector<std::pair<int, int>> codes = {{256, 9}};
    int width = 9, next = 258;
    for (std::size_t i = 0; i < indices.size(); ++i) {
        codes.emplace_back(indices[i], width);
        // The decoder adds an entry for every code after the first and widens when it reaches the width.
        if (i > 0 && next < 4096 && ++next == 1 << width && width < 12) ++width;
    }
    codes.emplace_back(257, width);
    return PackCodes(codes);
}

struct GifLayout {
    int screenWidth = 47, screenHeight = 47;
    int left = 0, top = 0, width = 47, height = 47;
    int globalColours = 256, localColours = 0;  // 0: no table
    bool interlaced = false;
    int transparent = -1;
    // The image's indices in row order; the stream is made from them unless given.
    std::vector<std::uint8_t> indices;
    std::vector<std::uint8_t> stream;
    bool literalOnly = false;
};

inline std::array<std::uint8_t, 3> GlobalColour(int i) {
    return {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7)};
}
inline std::array<std::uint8_t, 3> LocalColour(int i) {
    return {static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(i ^ 0x5A), static_cast<std::uint8_t>(200 - i)};
}

// The indices in the order an interlaced image stores its rows.
inline std::vector<std::uint8_t> InterlacedOrder(const std::vector<std::uint8_t>& indices, int width, int height) {
    std::vector<std::uint8_t> out;
    for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
        for (int y = start; y < height; y += step)
            out.insert(out.end(), indices.begin() + y * width, indices.begin() + (y + 1) * width);
    return out;
}

inline int TableBits(int colours) {
    int n = 0;
    while ((2 << n) < colours) ++n;
    return n;
}

inline std::vector<std::uint8_t> GifFile(const GifLayout& g) {
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    const auto le16 = [&](int v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    const auto table = [&](int colours, auto colour) {
        for (int i = 0; i < 2 << TableBits(colours); ++i) {
            const auto c = colour(i);
            out.insert(out.end(), c.begin(), c.end());
        }
    };
    le16(g.screenWidth);
    le16(g.screenHeight);
    out.push_back(static_cast<std::uint8_t>(g.globalColours > 0 ? 0x80 | 0x70 | TableBits(g.globalColours) : 0));
    out.insert(out.end(), {0, 0});
    if (g.globalColours > 0) table(g.globalColours, GlobalColour);
    out.insert(out.end(), {0x21, 0xFE, 0x03, 'a', 'b', 'c', 0x00});  // a comment, skipped
    if (g.transparent >= 0) {
        out.insert(out.end(), {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, static_cast<std::uint8_t>(g.transparent), 0x00});
    }
    out.push_back(0x2C);
    le16(g.left);
    le16(g.top);
    le16(g.width);
    le16(g.height);
    out.push_back(static_cast<std::uint8_t>((g.localColours > 0 ? 0x80 | TableBits(g.localColours) : 0) |
                                            (g.interlaced ? 0x40 : 0)));
    if (g.localColours > 0) table(g.localColours, LocalColour);
    out.push_back(8);  // minimum code size
    const std::vector<std::uint8_t> ordered = g.interlaced ? InterlacedOrder(g.indices, g.width, g.height) : g.indices;
    const std::vector<std::uint8_t> stream =
        !g.stream.empty() ? g.stream : g.literalOnly ? LiteralCodes(ordered) : tools::GifLzw(ordered);
    for (std::size_t at = 0; at < stream.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, stream.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), stream.begin() + static_cast<std::ptrdiff_t>(at), stream.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

}  // namespace testsupport
