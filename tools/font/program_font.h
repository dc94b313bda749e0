// The program's text font: "Courier New" 8.25 pt (11 px at 96 dpi), found through
// fontconfig, which maps it to the metric-compatible Liberation Mono.
#pragma once

#include <memory>

#include "tools/font/glyph_text.h"

namespace app {

// Needs TTF_Init. Throws StartupError when no Courier-compatible font is installed.
std::unique_ptr<GlyphText> OpenProgramFont();

}  // namespace app
