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

GlyphText::GlyphText(TTF_Font* font, platform::ColourValue colour) : font_(font), lineHeight_(TTF_FontLineSkip(font)) {
    over_ = {&OverFor(platform::RedOf(colour)), &OverFor(platform::GreenOf(colour)), &OverFor(platform::BlueOf(colour))};
    for (char32_t c = 0; c < ascii_.size(); ++c) ascii_[c] = Render(c);
}

GlyphText::~GlyphText() { TTF_CloseFont(font_); }

const GlyphText::OverTable& GlyphText::OverFor(std::uint8_t ink) {
    for (const auto& table : overTables_) {
        if ((*table)[255 * 256] == ink) return *table;  // coverage 255 gives the ink itself
    }
    auto table = std::make_unique<OverTable>();
    for (unsigned a = 0; a < 256; ++a)
        for (unsigned u = 0; u < 256; ++u) (*table)[a * 256 + u] = static_cast<std::uint8_t>((ink * a + u * (255 - a) + 127) / 255);
    overTables_.push_back(std::move(table));
    return *overTables_.back();
}

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
    for (int y = 0; y < glyph.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(argb->pixels) +
                                                                 static_cast<std::ptrdiff_t>(y) * argb->pitch);
        for (int x = 0; x < glyph.width; ++x) {
            const auto alpha = static_cast<std::uint8_t>(row[x] >> 24);
            if (alpha != 0) glyph.ink.push_back({static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), alpha});
        }
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
    // Tables for the low, middle and high byte of a pixel in the surface's layout.
    const bool exchanged = surface.Layout() == platform::PixelLayout::Rgb;
    const std::uint8_t* red = over_[exchanged ? 2 : 0]->data();
    const std::uint8_t* green = over_[1]->data();
    const std::uint8_t* blue = over_[exchanged ? 0 : 2]->data();
    const bool inside = x >= 0 && y >= 0 && x + glyph.width <= surface.Width() && y + glyph.height <= surface.Height();
    for (const Ink& ink : glyph.ink) {
        const int px = x + ink.x, py = y + ink.y;
        if (!inside && !surface.Contains(px, py)) continue;
        platform::ColourValue& dst = surface.Row(py)[px];
        const platform::ColourValue d = dst;
        const std::size_t row = std::size_t{ink.alpha} * 256;
        dst = platform::PackRgb(red[row + platform::RedOf(d)], green[row + platform::GreenOf(d)],
                                blue[row + platform::BlueOf(d)]);
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
