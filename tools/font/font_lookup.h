// Finds a font file by family name through fontconfig.
#pragma once

#include <string>

namespace app {

struct FontFile {
    std::string path;
    std::string family;  // the family fontconfig matched, which may differ from the one asked for
};

// fontconfig always answers with its closest match; the caller checks the family.
// Throws StartupError when fontconfig gives no file at all.
FontFile FindFont(const std::string& family, const std::string& style);

// True for "Courier New" and the families metric-compatible with it.
bool IsCourierCompatible(const std::string& family);

}  // namespace app
