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
    if (top < bottom) {
        glyph.top = top;
        glyph.width = argb->w;
        glyph.height = bottom - top;
        glyph.stride = (glyph.width + kCoverageStep - 1) / kCoverageStep * kCoverageStep;
        glyph.coverage.assign(static_cast<std::size_t>(glyph.stride) * static_cast<std::size_t>(glyph.height), 0);
        for (int y = 0; y < glyph.height; ++y)
            for (int x = 0; x < glyph.width; ++x)
                glyph.coverage[static_cast<std::size_t>(y * glyph.stride + x)] = alphaAt(x, top + y);
    }
    if (glyph.advance == 0) glyph.advance = argb->w;
    SDL_FreeSurface(argb);
    return glyph;
}

const GlyphText::Glyph& GlyphText::GlyphOf(char32_t codepoint) {
    if (codepoint < ascii_.size()) return ascii_[codepoint];
    auto found = others_.find(codepoint);
    if (found == others_.end()) found = others_.emplace(codepoint, Render(codepoint)).first;
    return found->second;
}

void GlyphText::Blend(platform::Surface& surface, int x, int y, const Glyph& glyph, Ink ink) const {
    const platform::PixelRect on = surface.Clip(x, y, glyph.width, glyph.height);
    if (on.Empty()) return;
    const auto col0 = static_cast<std::size_t>(std::int64_t{on.left} - x);
    const auto row0 = static_cast<std::size_t>(std::int64_t{on.top} - y);
    // A cell whose padded rows lie on the surface blends in whole vector steps: the padding
    // has no coverage and leaves its pixels as they are.
    const bool whole = on.left == x && std::int64_t{x} + glyph.stride <= surface.Width();
    const CoverageJob job{surface.Row(on.top) + on.left, surface.Pitch(),
                          glyph.coverage.data() + row0 * static_cast<std::size_t>(glyph.stride) + col0, glyph.stride,
                          whole ? glyph.stride : on.Width(), on.Height(), ink};
    SelectedCoverageBlend()(job);
}

void GlyphText::Print(platform::Surface& surface, int x, int y, std::string_view text) {
    if (y >= surface.Height() || y + lineHeight_ <= 0) return;
    // The ink in the surface's byte order: a window framebuffer keeps red and blue exchanged.
    const platform::ColourValue stored =
        surface.Layout() == platform::PixelLayout::Rgb ? platform::SwapRedBlue(colour_) : colour_;
    const Ink ink{platform::RedOf(stored), platform::GreenOf(stored), platform::BlueOf(stored)};
    while (!text.empty() && x < surface.Width()) {
        const Glyph& glyph = GlyphOf(NextCodepoint(text));
        if (!glyph.coverage.empty()) Blend(surface, x, y + glyph.top, glyph, ink);
        x += glyph.advance;
    }
}

}  // namespace app
