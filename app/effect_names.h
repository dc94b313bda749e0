// Reads the effect names: lines 1 to 18 of the names file name effects 0 to 17.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "effects/effect_table.h"

namespace app {

using EffectNameList = std::array<std::string, mdlEffects::EFFECT_COUNT>;

// Bytes kept of one name; no more than a few dozen characters fit on the screen, so the
// rest of a longer line is skipped rather than held.
inline constexpr std::size_t kMaxNameBytes = 4096;

// Reading stops after this many bytes: far more than 18 names need, so that a file of any
// size is read in milliseconds, and a file whose first lines never end is not read for ever.
inline constexpr std::uint64_t kMaxNamesReadBytes = std::uint64_t{1} << 20;

// Lines end in CRLF or LF; the last may have no end. A name keeps its bytes as they are.
// Lines after the 18th are not read, so a file may be of any size. Throws StartupError
// naming the file when it cannot be read, or when fewer than 18 lines end within its first
// kMaxNamesReadBytes bytes.
EffectNameList ReadEffectNames(const std::string& path);

}  // namespace app
