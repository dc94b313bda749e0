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

// The demo's face of the one table in memory (SharedEffectTable): it exists once
// BuildEffectTables has run.
class EffectTableArray {
public:
    // False until BuildEffectTables has run.
    bool Exists() const { return built_; }

    // Entry (e, d, s); throws EngineError for an index out of range or a missing table.
    std::uint8_t operator()(int e, int d, int s) const;

    // The table in memory order, EFFECT_TABLE_BYTES long; null before the build.
    const std::uint8_t* Data() const;

    // Effect 0..EFFECT_COUNT−1 laid out for drawing (see effect_copies.h). Needs the table.
    const std::uint8_t* Copy(int effect) const;

private:
    friend void BuildEffectTables();
    bool built_ = false;
};

extern EffectTableArray EffectTable;

// Makes EffectTable exist with every entry filled, then creates Sprites anew with one empty
// slot. Throws std::bad_alloc when the table's memory cannot be had.
void BuildEffectTables();

// Every builder this processor runs, the portable one first (see variant.h).
std::vector<TableBuilder> AvailableTableBuilders();
const TableBuilder& ChosenTableBuilder();

// The one table in memory, which the demo's EffectTable and the library both read, with all
// its per-effect copies: built with the chosen builder on first use, once, from any thread,
// and never changed or released. Null when its memory cannot be had (a later call tries again).
const std::uint8_t* SharedEffectTable();
const std::uint8_t* SharedEffectCopy(int effect);

}  // namespace mdlEffects
