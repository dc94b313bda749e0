#include "app/sdl/glyph_text.h"

#include <SDL.h>

#include <algorithm>

#include "app/text_blend.h"
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
    // Cells wider or taller than 255 pixels cannot occur at 11 px; clip them anyway.
    glyph.width = std::min(argb->w, 255);
    glyph.height = std::min(argb->h, 255);
    glyph.coverage.assign(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.height) + kCoverageOverread, 0);
    for (int y = 0; y < glyph.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(argb->pixels) +
                                                                 static_cast<std::ptrdiff_t>(y) * argb->pitch);
        for (int x = 0; x < glyph.width; ++x)
            glyph.coverage[static_cast<std::size_t>(y * glyph.width + x)] = static_cast<std::uint8_t>(row[x] >> 24);
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
    const platform::PixelRect on = surface.Clip(x, y, glyph.width, glyph.height);
    if (on.Empty()) return;
    // The ink in the surface's byte order: a window framebuffer keeps red and blue exchanged.
    const platform::ColourValue stored =
        surface.Layout() == platform::PixelLayout::Rgb ? platform::SwapRedBlue(colour_) : colour_;
    const Ink ink{platform::RedOf(stored), platform::GreenOf(stored), platform::BlueOf(stored)};
    const CoverageBlend blend = SelectedCoverageBlend();
    const auto col0 = static_cast<std::size_t>(std::int64_t{on.left} - x);
    for (int row = on.top; row < on.bottom; ++row) {
        const auto cellRow = static_cast<std::size_t>(std::int64_t{row} - y);
        blend(surface.Row(row) + on.left, glyph.coverage.data() + cellRow * static_cast<std::size_t>(glyph.width) + col0,
              on.Width(), ink);
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
