// Per-effect copies of the effect tables for drawing. In EffectTable one effect's 65,536
// entries lie 18 bytes apart over 1.2 MB, so the lookups of one sprite touch far more
// cache lines than the effect needs; a copy of one effect laid out [s][d] is 64 KiB and
// stays in the L2 cache. The copies are derived from a table, never computed apart from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "effects/effect_constants.h"

namespace mdlEffects {

inline constexpr std::size_t EFFECT_COPY_BYTES = 256 * 256;
// Zero bytes after the last entry: a 32-bit read at any entry stays inside the allocation.
inline constexpr std::size_t EFFECT_COPY_PADDING = 3;
// A copy starts on a cache line, so that a 32-bit read at an entry whose index is a multiple
// of 4 never spans two lines (a split load costs about four times a plain one).
inline constexpr std::size_t EFFECT_COPY_ALIGNMENT = 64;

// Entry (s, d) of an effect's copy: the row of source value s, then the destination value.
constexpr std::size_t EffectCopyIndex(int d, int s) {
    return static_cast<std::size_t>(s) * 256 + static_cast<std::size_t>(d);
}

// Copies one effect's entries out of a whole table (EFFECT_TABLE_BYTES, entry (e, d, s) at
// EffectTableIndex) into copy (EFFECT_COPY_BYTES + EFFECT_COPY_PADDING, padding zeroed).
void CopyEffect(const std::uint8_t* table, int effect, std::uint8_t* copy);

struct EffectCopyDelete {
    void operator()(std::uint8_t* p) const { ::operator delete[](p, std::align_val_t{EFFECT_COPY_ALIGNMENT}); }
};
using EffectCopy = std::unique_ptr<std::uint8_t[], EffectCopyDelete>;

// Room for one copy on a cache line, left unset for CopyEffect to fill; throws std::bad_alloc.
inline EffectCopy NewEffectCopy() {
    void* p = ::operator new[](EFFECT_COPY_BYTES + EFFECT_COPY_PADDING, std::align_val_t{EFFECT_COPY_ALIGNMENT});
    return EffectCopy(static_cast<std::uint8_t*>(p));
}

}  // namespace mdlEffects
