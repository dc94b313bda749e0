// The 18 blend tables: the new value of one colour channel for every (destination,
// source) pair, so that drawing costs one byte read per channel whatever the effect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "effects/effect_constants.h"
#include "effects/effect_copies.h"

namespace mdlEffects {

// One way of computing the table (they differ in the arctangent, sine and cosine blends,
// and all give the same bytes): fill writes all EFFECT_TABLE_BYTES entries.
struct TableBuilder {
    const char* name;
    void (*fill)(std::uint8_t* table);
};

class EffectTableArray {
public:
    // False until BuildEffectTables has run.
    bool Exists() const { return !bytes_.empty(); }

    // Entry (e, d, s); throws EngineError for an index out of range or a missing table.
    std::uint8_t operator()(int e, int d, int s) const;

    // The table in memory order, EFFECT_TABLE_BYTES long; null before the build.
    const std::uint8_t* Data() const { return bytes_.empty() ? nullptr : bytes_.data(); }

    // Effect 0..EFFECT_COUNT−1 laid out for drawing (see effect_copies.h), made from this
    // table when first asked for and dropped when the table is built again. Needs the table.
    const std::uint8_t* Copy(int effect) { return copies_.Get(bytes_.data(), effect); }
    std::size_t CopiesMade() const { return copies_.Count(); }

private:
    friend void BuildEffectTablesUsing(const TableBuilder& builder);
    std::vector<std::uint8_t> bytes_;
    EffectCopies copies_;
};

extern EffectTableArray EffectTable;

// Creates EffectTable and fills every entry, then creates Sprites anew with one empty slot.
void BuildEffectTables();

// Every builder this processor runs, the portable one first; BuildEffectTables uses the last.
std::vector<TableBuilder> AvailableTableBuilders();
void BuildEffectTablesUsing(const TableBuilder& builder);

// Writes all EFFECT_TABLE_BYTES entries into table, which holds EFFECT_TABLE_BYTES +
// EFFECT_TABLE_PADDING bytes, the padding zero, with the fastest builder.
void FillEffectTable(std::uint8_t* table);

// A table of the library's own, apart from EffectTable (which BuildEffectTables may
// replace), with all its per-effect copies: built on first use, once, from any thread, and
// never changed or released. Null when its memory cannot be had.
const std::uint8_t* SharedEffectTable();
const std::uint8_t* SharedEffectCopy(int effect);

}  // namespace mdlEffects
