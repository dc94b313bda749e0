#include "tools/font/glyph_text.h"

#include <SDL.h>

#include <vector>

namespace app {

GlyphText::GlyphText(TTF_Font* font, platform::ColourValue colour)
    : font_(font), colour_(colour), lineHeight_(TTF_FontLineSkip(font)) {
    for (char32_t c = 0; c < ascii_.size(); ++c) ascii_[c] = Render(c);
}

GlyphText::~GlyphText() { TTF_CloseFont(font_); }

Glyph GlyphText::Render(char32_t codepoint) const {
    Glyph glyph;
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics32(font_, codepoint, &minx, &maxx, &miny, &maxy, &advance) == 0) glyph.advance = advance;
    if (codepoint < 0x20) return glyph;  // control characters: nothing to draw
    SDL_Surface* rendered = TTF_RenderGlyph32_Blended(font_, codepoint, SDL_Color{255, 255, 255, 255});
    if (rendered == nullptr) return glyph;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (argb == nullptr) return glyph;
    // Only the rows with ink are kept: most of a cell's height is above or below a glyph.
    const auto alphaAt = [argb](int x, int y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(argb->pixels) +
                                                                 static_cast<std::ptrdiff_t>(y) * argb->pitch);
        return static_cast<std::uint8_t>(row[x] >> 24);
    };
    const auto inked = [&](int y) {
        for (int x = 0; x < argb->w; ++x)
            if (alphaAt(x, y) != 0) return true;
        return false;
    };
    int top = 0, bottom = argb->h;
    while (top < bottom && !inked(top)) ++top;
    while (bottom > top && !inked(bottom - 1)) --bottom;
    std::vector<std::uint8_t> rows;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < argb->w; ++x) rows.push_back(alphaAt(x, y));
    glyph = MakeGlyph(glyph.advance, top, argb->w, bottom - top, rows.data());
    if (glyph.advance == 0) glyph.advance = argb->w;
    SDL_FreeSurface(argb);
    return glyph;
}

const Glyph& GlyphText::GlyphOf(char32_t codepoint) {
    if (codepoint < ascii_.size()) return ascii_[codepoint];
    auto found = others_.find(codepoint);
    if (found == others_.end()) found = others_.emplace(codepoint, Render(codepoint)).first;
    return found->second;
}

void GlyphText::Print(platform::Surface& surface, int x, int y, std::string_view text) {
    PrintGlyphs(surface, x, y, text, colour_, lineHeight_, [this](char32_t c) -> const Glyph& { return GlyphOf(c); });
}

}  // namespace app
