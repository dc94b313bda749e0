// Prints text onto a platform surface from a cache of rendered glyphs, so that a frame's
// four lines cost a few blends rather than a font rasterisation.
#pragma once

#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/text_blend.h"
#include "platform/surface.h"

namespace app {

class GlyphText {
public:
    // Takes ownership of the font. The colour is 0x00BBGGRR.
    GlyphText(TTF_Font* font, platform::ColourValue colour);
    ~GlyphText();
    GlyphText(const GlyphText&) = delete;
    GlyphText& operator=(const GlyphText&) = delete;

    int LineHeight() const { return lineHeight_; }

    // Text is UTF-8; a byte that does not start a valid sequence prints as U+FFFD.
    // Glyphs blend their coverage over the surface; the gaps between them stay as they are.
    // Printing stops at the surface's right edge.
    void Print(platform::Surface& surface, int x, int y, std::string_view text);

private:
    struct Glyph {
        int advance = 0;
        int top = 0;    // the cell's first row with ink, below the line's top
        int width = 0;  // the cell its coverage covers: the rows with ink, the whole width
        int height = 0;
        int stride = 0;  // the width rounded up to whole vector steps, the rest zero
        // Coverage 0..255 of each cell pixel, row after row, stride bytes apart.
        std::vector<std::uint8_t> coverage;
    };
    const Glyph& GlyphOf(char32_t codepoint);
    Glyph Render(char32_t codepoint) const;
    void Blend(platform::Surface& surface, int x, int y, const Glyph& glyph, Ink ink) const;

    TTF_Font* font_;
    platform::ColourValue colour_;
    int lineHeight_;
    std::array<Glyph, 128> ascii_;
    std::unordered_map<char32_t, Glyph> others_;
};

// Decodes one UTF-8 sequence from the front of text, consuming it; invalid input gives
// U+FFFD and consumes one byte.
char32_t NextCodepoint(std::string_view& text);

}  // namespace app
