#include "app/sdl/glyph_text.h"

#include <SDL.h>

#include <algorithm>

#include "platform/colour.h"

namespace app {

char32_t NextCodepoint(std::string_view& text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 1;
    char32_t cp = 0xFFFD;
    if (lead < 0x80) {
        cp = lead;
    } else {
        const std::size_t need = lead >= 0xC2 && lead <= 0xDF   ? 2
                                 : lead >= 0xE0 && lead <= 0xEF ? 3
                                 : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                                : 0;
        if (need != 0 && text.size() >= need) {
            char32_t v = lead & (0x7F >> need);
            bool ok = true;
            for (std::size_t i = 1; i < need && ok; ++i) {
                ok = (byte(i) & 0xC0) == 0x80;
                v = v << 6 | (byte(i) & 0x3F);
            }
            // Reject overlong forms, surrogates and values beyond U+10FFFF.
            const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
            if (ok && v >= least[need] && v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF)) {
                cp = v;
                length = need;
            }
        }
    }
    text.remove_prefix(length);
    return cp;
}

GlyphText::GlyphText(TTF_Font* font, platform::ColourValue colour)
    : font_(font), colour_(colour), lineHeight_(TTF_FontLineSkip(font)) {
    for (char32_t c = 0; c < ascii_.size(); ++c) ascii_[c] = Render(c);
}

GlyphText::~GlyphText() { TTF_CloseFont(font_); }

GlyphText::Glyph GlyphText::Render(char32_t codepoint) const {
    Glyph glyph;
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    if (TTF_GlyphMetrics32(font_, codepoint, &minx, &maxx, &miny, &maxy, &advance) == 0) glyph.advance = advance;
    if (codepoint < 0x20) return glyph;  // control characters: nothing to draw
    SDL_Surface* rendered = TTF_RenderGlyph32_Blended(font_, codepoint, SDL_Color{255, 255, 255, 255});
    if (rendered == nullptr) return glyph;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (argb == nullptr) return glyph;
    glyph.width = argb->w;
    glyph.height = argb->h;
    glyph.coverage.resize(static_cast<std::size_t>(argb->w) * static_cast<std::size_t>(argb->h));
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(argb->pixels) +
                                                                 static_cast<std::ptrdiff_t>(y) * argb->pitch);
        for (int x = 0; x < argb->w; ++x) glyph.coverage[static_cast<std::size_t>(y * argb->w + x)] = row[x] >> 24;
    }
    SDL_FreeSurface(argb);
    if (glyph.advance == 0) glyph.advance = glyph.width;
    return glyph;
}

const GlyphText::Glyph& GlyphText::GlyphOf(char32_t codepoint) {
    if (codepoint < ascii_.size()) return ascii_[codepoint];
    auto found = others_.find(codepoint);
    if (found == others_.end()) found = others_.emplace(codepoint, Render(codepoint)).first;
    return found->second;
}

void GlyphText::Blend(platform::Surface& surface, int x, int y, const Glyph& glyph) const {
    const int left = std::max(x, 0), right = std::min(x + glyph.width, surface.Width());
    const int top = std::max(y, 0), bottom = std::min(y + glyph.height, surface.Height());
    const auto mix = [](unsigned ink, unsigned under, unsigned a) {
        return static_cast<std::uint8_t>((ink * a + under * (255 - a) + 127) / 255);
    };
    for (int row = top; row < bottom; ++row) {
        platform::ColourValue* dst = surface.Row(row);
        const std::uint8_t* cov = glyph.coverage.data() + static_cast<std::ptrdiff_t>(row - y) * glyph.width - x;
        for (int col = left; col < right; ++col) {
            const unsigned a = cov[col];
            if (a == 0) continue;
            const platform::ColourValue d = dst[col];
            dst[col] = platform::PackRgb(mix(platform::RedOf(colour_), platform::RedOf(d), a),
                                         mix(platform::GreenOf(colour_), platform::GreenOf(d), a),
                                         mix(platform::BlueOf(colour_), platform::BlueOf(d), a));
        }
    }
}

void GlyphText::Print(platform::Surface& surface, int x, int y, std::string_view text) {
    if (y >= surface.Height() || y + lineHeight_ <= 0) return;
    while (!text.empty() && x < surface.Width()) {
        const Glyph& glyph = GlyphOf(NextCodepoint(text));
        Blend(surface, x, y, glyph);
        x += glyph.advance;
    }
}

}  // namespace app
