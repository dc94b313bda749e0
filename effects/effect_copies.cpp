#include "effects/effect_copies.h"

#include <algorithm>

namespace mdlEffects {

void CopyEffect(const std::uint8_t* table, int effect, std::uint8_t* copy) {
    for (int s = 0; s < 256; ++s) {
        const std::uint8_t* from = table + EffectTableIndex(effect, 0, s);
        std::uint8_t* row = copy + EffectCopyIndex(0, s);
        for (int d = 0; d < 256; ++d) row[d] = from[static_cast<std::size_t>(d) * DEST_STRIDE];
    }
    std::fill(copy + EFFECT_COPY_BYTES, copy + EFFECT_COPY_BYTES + EFFECT_COPY_PADDING, std::uint8_t{0});
}

}  // namespace mdlEffects
