// The 18 blend tables: the new value of one colour channel for every (destination,
// source) pair, so that drawing costs one byte read per channel whatever the effect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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

// The ways of computing the arctangent, sine and cosine blends; they give the same bytes.
enum class TableBuilder { Portable, Avx2 };

class EffectTableArray {
public:
    // False until BuildEffectTables has run.
    bool Exists() const { return !bytes_.empty(); }

    // Entry (e, d, s); throws EngineError for an index out of range or a missing table.
    std::uint8_t operator()(int e, int d, int s) const;

    // The table in memory order, EFFECT_TABLE_BYTES long; null before the build.
    const std::uint8_t* Data() const { return bytes_.empty() ? nullptr : bytes_.data(); }

private:
    friend void BuildEffectTablesUsing(TableBuilder builder);

// Writes all EFFECT_TABLE_BYTES entries into table, which holds EFFECT_TABLE_BYTES +
// EFFECT_TABLE_PADDING bytes, the padding zero.
void FillEffectTable(std::uint8_t* table, TableBuilder builder);

// A table of the library's own, apart from EffectTable (which BuildEffectTables may
// replace): built on first use, once, from any thread, and never changed or released.
// Null when its memory cannot be had.
const std::uint8_t* SharedEffectTable();
    std::vector<std::uint8_t> bytes_;
};

extern EffectTableArray EffectTable;

// Creates EffectTable and fills every entry, then creates Sprites anew with one empty slot.
void BuildEffectTables();

// Every builder this processor runs, the portable one first; BuildEffectTables uses the last.
std::vector<TableBuilder> AvailableTableBuilders();
void BuildEffectTablesUsing(TableBuilder builder);

// Writes all EFFECT_TABLE_BYTES entries into table, which holds EFFECT_TABLE_BYTES +
// EFFECT_TABLE_PADDING bytes, the padding zero.
void FillEffectTable(std::uint8_t* table, TableBuilder builder);

// A table of the library's own, apart from EffectTable (which BuildEffectTables may
// replace): built on first use, once, from any thread, and never changed or released.
// Null when its memory cannot be had.
const std::uint8_t* SharedEffectTable();

}  // namespace mdlEffects
