// Glyph cells of coverage and printing a line of them onto a surface: the program prints
// from its compiled-in atlas with them, and the build tool that draws the atlas makes them.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "app/text_blend.h"
#include "platform/surface.h"

namespace app {

// The program's text is white.
inline constexpr platform::ColourValue kTextColour = 0x00FFFFFF;

struct Glyph {
    int advance = 0;
    int top = 0;    // the cell's first row with ink, below the line's top
    int width = 0;  // the cell its coverage covers: the rows with ink, the whole width
    int height = 0;
    int stride = 0;  // the width rounded up to whole vector steps, the rest zero
    // Coverage 0..255 of each cell pixel, row after row, stride bytes apart.
    std::vector<std::uint8_t> coverage;
};

// A glyph from its rows of coverage (width bytes each, packed), padded to whole steps.
Glyph MakeGlyph(int advance, int top, int width, int height, const std::uint8_t* rows);

// Decodes one UTF-8 sequence from the front of text, consuming it; invalid input gives
// U+FFFD and consumes one byte.
char32_t NextCodepoint(std::string_view& text);

// The ink of a colour (0x00BBGGRR) in the surface's own byte order.
Ink InkFor(const platform::Surface& surface, platform::ColourValue colour);

// Blends one glyph's coverage with its cell's top-left corner at (x, y), clipped to the
// surface; returns the part of the surface the cell covered.
platform::PixelRect BlendGlyph(platform::Surface& surface, int x, int y, const Glyph& glyph, Ink ink);

// Prints UTF-8 text with the line's top-left corner at (x, y); glyphOf(codepoint) gives each
// glyph. The gaps between glyphs stay as they are; printing stops at the right edge.
// Returns the part of the surface the glyphs' cells covered: all that printing changed.
template <class GlyphOf>
platform::PixelRect PrintGlyphs(platform::Surface& surface, int x, int y, std::string_view text,
                                platform::ColourValue colour, int lineHeight, GlyphOf&& glyphOf) {
    platform::PixelRect covered{0, 0, 0, 0};
    if (y >= surface.Height() || y + lineHeight <= 0) return covered;
    const Ink ink = InkFor(surface, colour);
    while (!text.empty() && x < surface.Width()) {
        const Glyph& glyph = glyphOf(NextCodepoint(text));
        if (!glyph.coverage.empty()) covered = platform::Enclose(covered, BlendGlyph(surface, x, y + glyph.top, glyph, ink));
        x += glyph.advance;
    }
    return covered;
}

}  // namespace app
