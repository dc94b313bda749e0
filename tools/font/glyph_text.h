// The program's font rendered glyph by glyph with SDL_ttf, at build time: make_glyph_atlas
// writes these glyphs into the atlas the program compiles in, and the tests compare that
// atlas's printing with this.
#pragma once

#include <SDL_ttf.h>

#include <array>
#include <string_view>
#include <unordered_map>

#include "app/glyph_print.h"
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

    // The glyph of a codepoint, rendered on first use.
    const Glyph& GlyphOf(char32_t codepoint);

private:
    Glyph Render(char32_t codepoint) const;

    TTF_Font* font_;
    platform::ColourValue colour_;
    int lineHeight_;
    std::array<Glyph, 128> ascii_;
    std::unordered_map<char32_t, Glyph> others_;
};

}  // namespace app
