#include "app/glyph_print.h"

#include <algorithm>

#include "platform/colour.h"

namespace app {

Glyph MakeGlyph(int advance, int top, int width, int height, const std::uint8_t* rows) {
    Glyph glyph;
    glyph.advance = advance;
    if (width <= 0 || height <= 0) return glyph;
    glyph.top = top;
    glyph.width = width;
    glyph.height = height;
    glyph.stride = (width + kCoverageStep - 1) / kCoverageStep * kCoverageStep;
    glyph.coverage.assign(static_cast<std::size_t>(glyph.stride) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        std::copy_n(rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), width,
                    glyph.coverage.begin() + static_cast<std::ptrdiff_t>(y) * glyph.stride);
    }
    return glyph;
}

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

Ink InkFor(const platform::Surface& surface, platform::ColourValue colour) {
    // A window framebuffer keeps red and blue exchanged.
    const platform::ColourValue stored =
        surface.Layout() == platform::PixelLayout::Rgb ? platform::SwapRedBlue(colour) : colour;
    return Ink{platform::RedOf(stored), platform::GreenOf(stored), platform::BlueOf(stored)};
}

platform::PixelRect BlendGlyph(platform::Surface& surface, int x, int y, const Glyph& glyph, Ink ink) {
    const platform::PixelRect on = surface.Clip(x, y, glyph.width, glyph.height);
    if (on.Empty()) return on;
    const auto col0 = static_cast<std::size_t>(std::int64_t{on.left} - x);
    const auto row0 = static_cast<std::size_t>(std::int64_t{on.top} - y);
    // A cell whose padded rows lie on the surface blends in whole vector steps: the padding
    // has no coverage and leaves its pixels as they are.
    const bool whole = on.left == x && std::int64_t{x} + glyph.stride <= surface.Width();
    const CoverageJob job{surface.Row(on.top) + on.left, surface.Pitch(),
                          glyph.coverage.data() + row0 * static_cast<std::size_t>(glyph.stride) + col0, glyph.stride,
                          whole ? glyph.stride : on.Width(), on.Height(), ink};
    ChosenCoverageBlend()(job);
    return on;
}

}  // namespace app
