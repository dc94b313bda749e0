// Builds the 18 blend tables. Compiled with floating-point contraction off: every
// intermediate of the trigonometric blends must be rounded to a double before the next
// step uses it, or the exact halves of the square-root blend round the wrong way.
#include "effects/effect_table.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "effects/errors.h"
#include "effects/rounding.h"
#include "effects/sprite_store.h"

namespace mdlEffects {

EffectTableArray EffectTable;

std::uint8_t EffectTableArray::operator()(int e, int d, int s) const {
    if (!Exists()) throw EngineError("EffectTable read before BuildEffectTables");
    if (e < 0 || e >= EFFECT_COUNT || d < 0 || d > 255 || s < 0 || s > 255) {
        throw EngineError("EffectTable index (" + std::to_string(e) + ", " + std::to_string(d) +
                          ", " + std::to_string(s) + ") is outside (0..17, 0..255, 0..255)");
    }
    return bytes_[EffectTableIndex(e, d, s)];
}

namespace {

std::uint8_t ClampByte(std::int64_t n) { return static_cast<std::uint8_t>(std::clamp<std::int64_t>(n, 0, 255)); }

// n / 256 rounded to nearest, ties to even, for n >= 0: exact, as the values are
// multiples of 1/256.
int RoundDiv256(int n) {
    const int quotient = n >> 8;
    const int remainder = n & 255;
    return quotient + (remainder > 128 || (remainder == 128 && (quotient & 1)));
}

// Effects 0 to 4: integer rules that hold at s = 0 as well.
std::uint8_t Arithmetic(int e, int d, int s) {
    switch (e) {
        case 0: return ClampByte(d + s);
        case 1: return ClampByte(d - s);
        case 2: return ClampByte(d + s - 255);
        case 3: return ClampByte(RoundDiv256((d + 1) * (255 - s) + 256 * s));  // (d+1)(255-s)/256 + s
        default: return ClampByte(RoundDiv256(d * s));                         // d·s/256
    }
}

// Effects 5 to 12: (d·(m+2) + s·(9−m)) / 11 with m = e − 5. The fraction is a multiple
// of 1/11, never a half, so adding 5 before the integer division rounds exactly.
std::uint8_t Translucent(int e, int d, int s) {
    if (s == 0) return static_cast<std::uint8_t>(d);
    const int m = e - 5;
    return static_cast<std::uint8_t>((d * (m + 2) + s * (9 - m) + 5) / 11);
}

std::uint8_t RoundClamp(double v) { return ClampByte(RoundHalfEven(v)); }

}  // namespace

void BuildEffectTables() {
    EffectTable.bytes_.assign(EFFECT_TABLE_BYTES, 0);
    Sprites.assign(1, SpriteData{});
    std::uint8_t* table = EffectTable.bytes_.data();

    for (int s = 0; s < 256; ++s) {
        for (int d = 0; d < 256; ++d) {
            std::uint8_t* entry = table + EffectTableIndex(0, d, s);
            for (int e = 0; e <= 4; ++e) entry[e] = Arithmetic(e, d, s);
            for (int e = 5; e <= 12; ++e) entry[e] = Translucent(e, d, s);
            if (s == 0) {
                for (int e = 13; e <= 17; ++e) entry[e] = static_cast<std::uint8_t>(d);
                continue;
            }
            const double dd = d;
            const double ds = s;
            const double q = dd / ds;
            entry[13] = RoundClamp(dd * std::atan(q));
            entry[14] = RoundClamp(dd * std::sqrt(q));
            entry[15] = RoundClamp(ds * std::sin(q));
            entry[16] = RoundClamp(ds * std::cos(q));
            entry[17] = RoundClamp(std::sqrt(dd) * std::sqrt(ds));
        }
    }
}

}  // namespace mdlEffects
