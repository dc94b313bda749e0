#include "app/text_blend.h"

#include <immintrin.h>

#include "effects/cpu_features.h"

namespace app {
namespace {

// (ink × a + u × (255 − a) + 127) / 255, exactly: v / 255 = (v + 1 + v / 256) / 256 for
// every v below 65,536, and v stays below 65,153.
constexpr std::uint32_t Over(std::uint32_t ink, std::uint32_t a, std::uint32_t u) {
    const std::uint32_t v = ink * a + u * (255 - a) + 127;
    return (v + 1 + (v >> 8)) >> 8;
}

}  // namespace

void BlendCoverageScalar(platform::ColourValue* dst, const std::uint8_t* coverage, int count, Ink ink) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t a = coverage[i];
        if (a == 0) continue;
        const platform::ColourValue d = dst[i];
        dst[i] = Over(ink.low, a, d & 0xFF) | Over(ink.mid, a, d >> 8 & 0xFF) << 8 |
                 Over(ink.high, a, d >> 16 & 0xFF) << 16 | Over(0, a, d >> 24) << 24;
    }
}

[[gnu::target("avx2")]] void BlendCoverageAvx2(platform::ColourValue* dst, const std::uint8_t* coverage, int count,
                                               Ink ink) {
    // Four pixels as sixteen 16-bit lanes: the channels in memory order, the ink likewise.
    const __m256i inkLanes = _mm256_setr_epi16(ink.low, ink.mid, ink.high, 0, ink.low, ink.mid, ink.high, 0, ink.low,
                                               ink.mid, ink.high, 0, ink.low, ink.mid, ink.high, 0);
    const __m128i spread = _mm_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3);
    const __m256i full = _mm256_set1_epi16(255), round = _mm256_set1_epi16(127), one = _mm256_set1_epi16(1);
    for (int i = 0; i < count; i += 4) {
        const int left = count - i;
        const __m128i mask = _mm_cmpgt_epi32(_mm_set1_epi32(left), _mm_setr_epi32(0, 1, 2, 3));
        auto* at = reinterpret_cast<int*>(dst + i);
        std::int32_t four;
        __builtin_memcpy(&four, coverage + i, sizeof four);
        const __m256i a = _mm256_cvtepu8_epi16(_mm_shuffle_epi8(_mm_cvtsi32_si128(four), spread));
        const __m256i u = _mm256_cvtepu8_epi16(_mm_maskload_epi32(at, mask));
        __m256i v = _mm256_add_epi16(_mm256_mullo_epi16(inkLanes, a), _mm256_mullo_epi16(u, _mm256_sub_epi16(full, a)));
        v = _mm256_add_epi16(v, round);
        v = _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(v, one), _mm256_srli_epi16(v, 8)), 8);
        const __m128i packed = _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
        _mm_maskstore_epi32(at, mask, packed);
    }
}

std::vector<NamedCoverageBlend> AvailableCoverageBlends() {
    std::vector<NamedCoverageBlend> blends = {{"scalar", &BlendCoverageScalar}};
    if (mdlEffects::HasAvx2()) blends.push_back({"avx2", &BlendCoverageAvx2});
    return blends;
}

CoverageBlend SelectedCoverageBlend() {
    static const CoverageBlend selected = AvailableCoverageBlends().back().blend;
    return selected;
}

}  // namespace app
