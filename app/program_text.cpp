#include "app/program_text.h"

#include <cstddef>

extern const unsigned char kGlyphAtlas[];
extern const std::size_t kGlyphAtlasSize;

namespace app {

const GlyphAtlas& ProgramGlyphs() {
    static const GlyphAtlas atlas =
        GlyphAtlas::Decode(std::vector<std::uint8_t>(kGlyphAtlas, kGlyphAtlas + kGlyphAtlasSize), "the compiled-in glyph atlas");
    return atlas;
}

}  // namespace app
