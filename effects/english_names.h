// The English names of the 18 effects: what the library answers and what the generator
// writes into the program's names file, from this one list.
#pragma once

#include <array>

#include "effects/effect_table.h"

namespace mdlEffects {

inline constexpr std::array<const char*, EFFECT_COUNT> kEnglishEffectNames = {
    "Additive light (saturating sum)",
    "Subtract sprite from scene",
    "Burn (sum less white)",
    "Screen",
    "Multiply",
    "Translucent: 9/11 sprite",
    "Translucent: 8/11 sprite",
    "Translucent: 7/11 sprite",
    "Translucent: 6/11 sprite",
    "Translucent: 5/11 sprite",
    "Translucent: 4/11 sprite",
    "Translucent: 3/11 sprite",
    "Translucent: 2/11 sprite",
    "Arctangent of scene over sprite",
    "Square-root ratio",
    "Sine wave",
    "Cosine wave",
    "Geometric mean (root x root)",
};

}  // namespace mdlEffects
