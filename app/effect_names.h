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

// A names file larger than this is refused before it is read: 18 names of kMaxNameBytes
// are far less, and reading stops being a matter of milliseconds long before it.
inline constexpr std::uint64_t kMaxNamesFileBytes = std::uint64_t{1} << 20;

// Lines end in CRLF or LF; the last may have no end. A name keeps its bytes as they are.
// Throws StartupError naming the file when it cannot be read, is larger than
// kMaxNamesFileBytes, or has fewer than 18 lines.
EffectNameList ReadEffectNames(const std::string& path);

}  // namespace app
