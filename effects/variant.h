// The one way of choosing among the implementations of a step (blend kernels, table
// builders, the text blend): the last one the processor runs, unless the user rules it out.
// GLIMMERIX_DISABLE names implementations to leave unused, separated by spaces or commas,
// as pixman's PIXMAN_DISABLE does ("avx2"); the portable one, listed first, always serves.
#pragma once

#include <string_view>
#include <vector>

namespace mdlEffects {

// True when GLIMMERIX_DISABLE names this implementation; the variable is read once.
bool VariantDisabled(std::string_view name);

// True when the list (names separated by spaces or commas) holds the name.
bool NameListed(std::string_view list, std::string_view name);

// `available` lists what the processor runs, portable first, fastest last; each has a name.
template <class Variant>
Variant ChooseVariant(const std::vector<Variant>& available) {
    for (auto it = available.rbegin(); it + 1 < available.rend(); ++it)
        if (!VariantDisabled(it->name)) return *it;
    return available.front();
}

}  // namespace mdlEffects
