#include "effects/variant.h"

#include <cstdlib>
#include <string>

namespace mdlEffects {

bool NameListed(std::string_view list, std::string_view name) {
    while (!list.empty()) {
        const std::size_t end = list.find_first_of(" ,");
        if (list.substr(0, end) == name) return true;
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}

bool VariantDisabled(std::string_view name) {
    static const std::string disabled = [] {
        const char* v = std::getenv("GLIMMERIX_DISABLE");
        return v != nullptr ? std::string(v) : std::string();
    }();
    return NameListed(disabled, name);
}

}  // namespace mdlEffects
