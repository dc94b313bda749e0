#include "app/text_blend.h"

#include "effects/cpu_features.h"
#include "effects/variant.h"
#if GLIMMERIX_X86
#include <immintrin.h>
#endif

namespace app {
namespace {

// (ink × a + u × (255 − a) + 127) / 255, exactly: v / 255 = (v + 1 + v / 256) / 256 for
// every v below 65,536, and v stays below 65,153.
constexpr std::uint32_t Over(std::uint32_t ink, std::uint32_t a, std::uint32_t u) {
    const std::uint32_t v = ink * a + u * (255 - a) + 127;
    return (v + 1 + (v >> 8)) >> 8;
}

void BlendRow(platform::ColourValue* dst, const std::uint8_t* coverage, int count, Ink ink) {
    for (int i = 0; i < count; ++i) {
        const std::uint32_t a = coverage[i];
        if (a == 0) continue;
        const platform::ColourValue d = dst[i];
        dst[i] = Over(ink.low, a, d & 0xFF) | Over(ink.mid, a, d >> 8 & 0xFF) << 8 |
                 Over(ink.high, a, d >> 16 & 0xFF) << 16 | Over(0, a, d >> 24) << 24;
    }
}

}  // namespace

void BlendCoverageScalar(const CoverageJob& job) {
    for (int row = 0; row < job.height; ++row)
        BlendRow(job.dst + row * job.dstPitch, job.coverage + row * job.coveragePitch, job.width, job.ink);
}

#if GLIMMERIX_X86
namespace {

// Four pixels as sixteen 16-bit lanes, channels in memory order, with their coverage
// spread over each pixel's four lanes.
[[gnu::target("avx2")]] inline __m256i OverFour(__m128i pixels, __m128i coverage, __m256i ink) {
    const __m256i full = _mm256_set1_epi16(255);
    const __m256i a = _mm256_cvtepu8_epi16(coverage);
    const __m256i u = _mm256_cvtepu8_epi16(pixels);
    __m256i v = _mm256_add_epi16(_mm256_mullo_epi16(ink, a), _mm256_mullo_epi16(u, _mm256_sub_epi16(full, a)));
    v = _mm256_add_epi16(v, _mm256_set1_epi16(127));
    // v / 255 = v · 0x8081 / 2^23 for every 16-bit v.
    return _mm256_srli_epi16(_mm256_mulhi_epu16(v, _mm256_set1_epi16(static_cast<short>(0x8081))), 7);
}

}  // namespace

[[gnu::target("avx2")]] void BlendCoverageAvx2(const CoverageJob& job) {
    const Ink ink = job.ink;
    const __m256i inkLanes = _mm256_setr_epi16(ink.low, ink.mid, ink.high, 0, ink.low, ink.mid, ink.high, 0, ink.low,
                                               ink.mid, ink.high, 0, ink.low, ink.mid, ink.high, 0);
    const __m128i firstFour = _mm_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3);
    const __m128i lastFour = _mm_setr_epi8(4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7);
    for (int row = 0; row < job.height; ++row) {
        platform::ColourValue* dst = job.dst + row * job.dstPitch;
        const std::uint8_t* coverage = job.coverage + row * job.coveragePitch;
        int i = 0;
        for (; i + kCoverageStep <= job.width; i += kCoverageStep) {
            auto* at = reinterpret_cast<__m256i*>(dst + i);
            const __m256i pixels = _mm256_loadu_si256(at);
            const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(coverage + i));
            const __m256i low = OverFour(_mm256_castsi256_si128(pixels), _mm_shuffle_epi8(eight, firstFour), inkLanes);
            const __m256i high = OverFour(_mm256_extracti128_si256(pixels, 1), _mm_shuffle_epi8(eight, lastFour), inkLanes);
            // packus works within 128-bit halves: put the four 64-bit results back in order.
            _mm256_storeu_si256(at, _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8));
        }
        BlendRow(dst + i, coverage + i, job.width - i, ink);
    }
}

#endif  // GLIMMERIX_X86

std::vector<NamedCoverageBlend> AvailableCoverageBlends() {
    std::vector<NamedCoverageBlend> blends = {{"scalar", &BlendCoverageScalar}};
#if GLIMMERIX_X86
    if (mdlEffects::HasAvx2()) blends.push_back({"avx2", &BlendCoverageAvx2});
#endif
    return blends;
}

CoverageBlend ChosenCoverageBlend() {
    static const CoverageBlend chosen = mdlEffects::ChooseVariant(AvailableCoverageBlends()).blend;
    return chosen;
}

}  // namespace app
