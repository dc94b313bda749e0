#include "tools/font/program_font.h"

#include "tools/font/font_lookup.h"
#include "app/startup_error.h"

namespace app {
namespace {

constexpr int kFontPixels = 11;

}  // namespace

std::unique_ptr<GlyphText> OpenProgramFont() {
    const FontFile font = FindFont("Courier New", "Regular");
    if (!IsCourierCompatible(font.family)) {
        throw StartupError("font \"Courier New\"",
                           "not installed; fontconfig offers only \"" + font.family + "\" (install fonts-liberation)");
    }
    TTF_Font* ttf = TTF_OpenFont(font.path.c_str(), kFontPixels);
    if (ttf == nullptr) throw StartupError("font " + font.path, std::string("cannot be opened: ") + TTF_GetError());
    return std::make_unique<GlyphText>(ttf, kTextColour);
}

}  // namespace app
