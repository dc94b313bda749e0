// The program's text, "Courier New" 8.25 pt in white: printed from the glyph atlas that the
// build drew from Liberation Mono and compiled in, so no platform opens a font at run time.
#pragma once

#include "app/glyph_atlas.h"

namespace app {

// The compiled-in atlas, read on first use.
const GlyphAtlas& ProgramGlyphs();

}  // namespace app
