// Builds the 18 blend tables, one source value s at a time: each effect's 256 entries
// for that s are computed as a row over the destination value d, then laid into the table.
// Compiled with floating-point contraction off: every intermediate of the trigonometric
// blends must be rounded to a double before the next step uses it, or the exact halves
// of the square-root blend round the wrong way.
#include "effects/effect_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <string>

#include "effects/cpu_features.h"
#include "effects/errors.h"
#include "effects/rounding.h"
#include "effects/sprite_store.h"
#include "effects/variant.h"

#if GLIMMERIX_LIBMVEC
#include <immintrin.h>

// glibc's vector maths (libmvec), AVX2 variants: four doubles at a time, within 4 ulp.
extern "C" {
[[gnu::target("avx2")]] __m256d _ZGVdN4v_atan(__m256d);
[[gnu::target("avx2")]] __m256d _ZGVdN4v_sin(__m256d);
[[gnu::target("avx2")]] __m256d _ZGVdN4v_cos(__m256d);
}
#endif

namespace mdlEffects {

EffectTableArray EffectTable;

std::uint8_t EffectTableArray::operator()(int e, int d, int s) const {
    if (!Exists()) throw EngineError("EffectTable read before BuildEffectTables");
    if (e < 0 || e >= EFFECT_COUNT || d < 0 || d > 255 || s < 0 || s > 255) {
        throw EngineError("EffectTable index (" + std::to_string(e) + ", " + std::to_string(d) + ", " +
                          std::to_string(s) + ") is outside (0.." + std::to_string(EFFECT_COUNT - 1) + ", 0..255, 0..255)");
    }
    return Data()[EffectTableIndex(e, d, s)];
}

const std::uint8_t* EffectTableArray::Data() const { return built_ ? SharedEffectTable() : nullptr; }

const std::uint8_t* EffectTableArray::Copy(int effect) const { return SharedEffectCopy(effect); }

namespace {

using Row = std::array<std::uint8_t, 256>;  // one effect's entries for one s, indexed by d
using Rows = std::array<Row, EFFECT_COUNT>;

std::uint8_t ClampByte(std::int64_t n) { return static_cast<std::uint8_t>(std::clamp<std::int64_t>(n, 0, 255)); }

// n / 256 rounded to nearest, ties to even, for n >= 0: exact, as the values are
// multiples of 1/256.
int RoundDiv256(int n) {
    const int quotient = n >> 8;
    const int remainder = n & 255;
    return quotient + (remainder > 128 || (remainder == 128 && (quotient & 1)));
}

// Effects 0 to 12. Effects 0 to 4 are integer rules that hold at s = 0 as well.
// Effects 5 to 12 are (d·(m+2) + s·(9−m)) / 11 with m = e − 5: the fraction is a multiple
// of 1/11, never a half, so adding 5 before the integer division rounds exactly.
void ArithmeticRows(int s, Rows& rows) {
    for (int d = 0; d < 256; ++d) {
        rows[0][d] = ClampByte(d + s);
        rows[1][d] = ClampByte(d - s);
        rows[2][d] = ClampByte(d + s - 255);
        rows[3][d] = ClampByte(RoundDiv256((d + 1) * (255 - s) + 256 * s));  // (d+1)(255−s)/256 + s
        rows[4][d] = ClampByte(RoundDiv256(d * s));                          // d·s/256
    }
    for (int m = 0; m < 8; ++m) {
        Row& row = rows[static_cast<std::size_t>(5 + m)];
        for (int d = 0; d < 256; ++d) {
            row[d] = s == 0 ? static_cast<std::uint8_t>(d)
                            : static_cast<std::uint8_t>((d * (m + 2) + s * (9 - m) + 5) / 11);
        }
    }
}

std::uint8_t RoundClamp(double v) { return ClampByte(RoundHalfEven(v)); }

// Effects 13 to 17 for s >= 1, one double operation at a time:
// q = d / s; d·atan(q); d·√q; s·sin(q); s·cos(q); √d·√s.
void TrigRowsPortable(int s, Rows& rows) {
    const double ds = s;
    const double rootS = std::sqrt(ds);
    for (int d = 0; d < 256; ++d) {
        const double dd = d;
        const double q = dd / ds;
        rows[13][d] = RoundClamp(dd * std::atan(q));
        rows[14][d] = RoundClamp(dd * std::sqrt(q));
        rows[15][d] = RoundClamp(ds * std::sin(q));
        rows[16][d] = RoundClamp(ds * std::cos(q));
        rows[17][d] = RoundClamp(std::sqrt(dd) * rootS);
    }
}

#if GLIMMERIX_LIBMVEC
// The same steps four values of d at a time. Division, square root and multiplication
// are correctly rounded in both forms; arctangent, sine and cosine come from libmvec
// instead of libm, which cannot change an entry: no value lies within 3e-6 of a half
// except the exact halves of effect 14, which involve no such function.
[[gnu::target("avx2")]] void StoreRounded(__m256d v, Row& row, int d) {
    const __m256d rounded = _mm256_round_pd(v, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256d clamped = _mm256_min_pd(_mm256_max_pd(rounded, _mm256_setzero_pd()), _mm256_set1_pd(255.0));
    alignas(16) std::int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), _mm256_cvtpd_epi32(clamped));
    for (int i = 0; i < 4; ++i) row[static_cast<std::size_t>(d + i)] = static_cast<std::uint8_t>(lanes[i]);
}

[[gnu::target("avx2")]] void TrigRowsAvx2(int s, Rows& rows) {
    const __m256d ds = _mm256_set1_pd(s);
    const __m256d rootS = _mm256_sqrt_pd(ds);
    for (int d = 0; d < 256; d += 4) {
        const __m256d dd = _mm256_setr_pd(d, d + 1, d + 2, d + 3);
        const __m256d q = _mm256_div_pd(dd, ds);
        StoreRounded(_mm256_mul_pd(dd, _ZGVdN4v_atan(q)), rows[13], d);
        StoreRounded(_mm256_mul_pd(dd, _mm256_sqrt_pd(q)), rows[14], d);
        StoreRounded(_mm256_mul_pd(ds, _ZGVdN4v_sin(q)), rows[15], d);
        StoreRounded(_mm256_mul_pd(ds, _ZGVdN4v_cos(q)), rows[16], d);
        StoreRounded(_mm256_mul_pd(_mm256_sqrt_pd(dd), rootS), rows[17], d);
    }
}
#endif  // GLIMMERIX_LIBMVEC

}  // namespace

namespace {

// The table one source value s at a time: the rows of every effect for s, then laid into
// the table's order.
template <void (*TrigRows)(int, Rows&)>
void FillWith(std::uint8_t* table) {
    Rows rows;
    for (int s = 0; s < 256; ++s) {
        ArithmeticRows(s, rows);
        if (s == 0) {
            // A source value of 0 leaves the destination unchanged.
            for (std::size_t e = 13; e < EFFECT_COUNT; ++e)
                for (int d = 0; d < 256; ++d) rows[e][d] = static_cast<std::uint8_t>(d);
        } else {
            TrigRows(s, rows);
        }
        std::uint8_t* entry = table + EffectTableIndex(0, 0, s);
        for (int d = 0; d < 256; ++d, entry += DEST_STRIDE)
            for (std::size_t e = 0; e < EFFECT_COUNT; ++e) entry[e] = rows[e][d];
    }
}

}  // namespace

std::vector<TableBuilder> AvailableTableBuilders() {
    std::vector<TableBuilder> builders = {{"portable", &FillWith<TrigRowsPortable>}};
#if GLIMMERIX_LIBMVEC
    if (HasAvx2()) builders.push_back({"avx2", &FillWith<TrigRowsAvx2>});
#endif
    return builders;
}

const TableBuilder& ChosenTableBuilder() {
    static const TableBuilder chosen = ChooseVariant(AvailableTableBuilders());
    return chosen;
}

void BuildEffectTables() {
    if (SharedEffectTable() == nullptr) throw std::bad_alloc();
    Sprites.assign(1, SpriteData{});
    EffectTable.built_ = true;
}

namespace {

struct SharedTables {
    std::unique_ptr<std::uint8_t[]> table;
    std::array<EffectCopy, EFFECT_COUNT> copies;
};

// A function-local static is built once even when threads ask at the same time; a failed
// allocation leaves it unbuilt, so a later call tries again. The copies are made with the
// table, so that nothing changes after it is published.
const SharedTables* Shared() {
    try {
        static const SharedTables shared = [] {
            SharedTables made;
            made.table = std::make_unique<std::uint8_t[]>(EFFECT_TABLE_BYTES + EFFECT_TABLE_PADDING);
            ChosenTableBuilder().fill(made.table.get());
            for (int e = 0; e < EFFECT_COUNT; ++e) {
                auto& copy = made.copies[static_cast<std::size_t>(e)];
                copy = NewEffectCopy();
                CopyEffect(made.table.get(), e, copy.get());
            }
            return made;
        }();
        return &shared;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

const std::uint8_t* SharedEffectTable() {
    const SharedTables* shared = Shared();
    return shared != nullptr ? shared->table.get() : nullptr;
}

const std::uint8_t* SharedEffectCopy(int effect) {
    const SharedTables* shared = Shared();
    return shared != nullptr ? shared->copies[static_cast<std::size_t>(effect)].get() : nullptr;
}

}  // namespace mdlEffects
