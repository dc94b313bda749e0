#include "tools/font/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <memory>

#include "app/startup_error.h"

namespace app {

FontFile FindFont(const std::string& family, const std::string& style) {
    const std::string what = "font \"" + family + "\"";
    if (!FcInit()) throw StartupError(what, "fontconfig could not be initialised");
    const std::unique_ptr<FcPattern, void (*)(FcPattern*)> pattern(FcPatternCreate(), &FcPatternDestroy);
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern.get(), FC_STYLE, reinterpret_cast<const FcChar8*>(style.c_str()));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const std::unique_ptr<FcPattern, void (*)(FcPattern*)> match(FcFontMatch(nullptr, pattern.get(), &result),
                                                                 &FcPatternDestroy);
    FcChar8* file = nullptr;
    FcChar8* matched = nullptr;
    if (!match || FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch) {
        throw StartupError(what, "fontconfig found no font file");
    }
    FcPatternGetString(match.get(), FC_FAMILY, 0, &matched);
    return {reinterpret_cast<const char*>(file), matched ? reinterpret_cast<const char*>(matched) : ""};
}

bool IsCourierCompatible(const std::string& family) {
    return family == "Courier New" || family == "Liberation Mono" || family == "Cousine";
}

}  // namespace app
