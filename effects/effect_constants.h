// The engine's sizes and the layout of EffectTable.
#pragma once

#include <cstddef>

namespace mdlEffects {

inline constexpr int EFFECT_COUNT = 18;
inline constexpr int SPRITE_SIZE = 47;

// Byte offsets of one step in each index: the effect varies fastest, then the
// destination, then the source, so the 18 results of one (d, s) pair lie side by side.
inline constexpr std::size_t EFFECT_STRIDE = 1;
inline constexpr std::size_t DEST_STRIDE = EFFECT_COUNT;
inline constexpr std::size_t SOURCE_STRIDE = EFFECT_COUNT * 256;
inline constexpr std::size_t EFFECT_TABLE_BYTES = EFFECT_COUNT * 256 * 256;
// Zero bytes after the last entry: a 32-bit gather at any entry stays inside the allocation.
inline constexpr std::size_t EFFECT_TABLE_PADDING = 3;

constexpr std::size_t EffectTableIndex(int e, int d, int s) {
    return static_cast<std::size_t>(e) * EFFECT_STRIDE + static_cast<std::size_t>(d) * DEST_STRIDE +
           static_cast<std::size_t>(s) * SOURCE_STRIDE;
}

}  // namespace mdlEffects
