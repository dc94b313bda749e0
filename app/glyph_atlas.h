// A fixed set of glyphs and their line height in one file: the build tool writes it from the
// program's font, and every build of the program compiles it in and prints with it.
//
// The file: "GLMXGLY1", then little-endian u16 line height and u16 glyph count, then each
// glyph in ascending codepoint order: u32 codepoint, u16 advance, u16 top, u16 width,
// u16 height, and width × height coverage bytes, row after row. Nothing follows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/glyph_print.h"
#include "platform/surface.h"

namespace app {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;
// Far above any cell of an 11-pixel font; they bound what a damaged file can ask for.
inline constexpr int kMaxAtlasGlyphs = 4096;
inline constexpr int kMaxAtlasCellSide = 256;

class GlyphAtlas {
public:
    GlyphAtlas(int lineHeight, std::map<char32_t, Glyph> glyphs);

    // Throws StartupError naming the file and what is wrong with it.
    static GlyphAtlas Decode(const std::vector<std::uint8_t>& bytes, const std::string& name);
    std::vector<std::uint8_t> Encode() const;

    int LineHeight() const { return lineHeight_; }
    // A codepoint the atlas lacks prints as U+FFFD, or as nothing where that is missing too.
    const Glyph& GlyphOf(char32_t codepoint) const;
    // As the desktop's text prints: the colour is 0x00BBGGRR. Returns the part of the
    // surface that printing changed.
    platform::PixelRect Print(platform::Surface& surface, int x, int y, std::string_view text, platform::ColourValue colour) const;

private:
    int lineHeight_;
    std::map<char32_t, Glyph> glyphs_;
};

}  // namespace app
