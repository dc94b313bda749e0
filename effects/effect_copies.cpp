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

const std::uint8_t* EffectCopies::Get(const std::uint8_t* table, int effect) {
    std::unique_ptr<std::uint8_t[]>& copy = copies_[static_cast<std::size_t>(effect)];
    if (!copy) {
        auto made = NewEffectCopy();
        CopyEffect(table, effect, made.get());
        copy = std::move(made);
    }
    return copy.get();
}

void EffectCopies::Clear() {
    for (auto& copy : copies_) copy.reset();
}

std::size_t EffectCopies::Count() const {
    return static_cast<std::size_t>(std::count_if(copies_.begin(), copies_.end(), [](const auto& c) { return c != nullptr; }));
}

}  // namespace mdlEffects
