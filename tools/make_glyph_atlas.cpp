// make_glyph_atlas OUT: writes the glyphs the program prints with ("Courier New" 8.25 pt,
// which fontconfig maps to Liberation Mono, rendered with SDL_ttf) as the atlas that every
// build compiles in. It holds ASCII, Latin-1 and U+FFFD, which stands in for everything else.
#include <SDL_ttf.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <map>

#include "app/glyph_atlas.h"
#include "tools/font/program_font.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_glyph_atlas OUT\n");
        return 2;
    }
    try {
        if (TTF_Init() != 0) throw std::runtime_error(TTF_GetError());
        const auto text = app::OpenProgramFont();
        std::map<char32_t, app::Glyph> glyphs;
        const auto add = [&](char32_t first, char32_t last) {
            for (char32_t c = first; c <= last; ++c) glyphs.emplace(c, text->GlyphOf(c));
        };
        add(0x00, 0x7F);
        add(0xA0, 0xFF);
        add(app::kReplacementCharacter, app::kReplacementCharacter);
        const std::vector<std::uint8_t> bytes = app::GlyphAtlas(text->LineHeight(), std::move(glyphs)).Encode();
        std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw std::runtime_error(std::string("cannot write ") + argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_glyph_atlas: %s\n", e.what());
        return 1;
    }
    return 0;
}
