// The AVX2 blend kernel. Only its own functions are compiled for AVX2 (a target
// attribute, not a flag for the file, so no shared inline code is built for AVX2), and it
// only runs where the processor reports AVX2.
#include "effects/cpu_features.h"
#if GLIMMERIX_X86
#include <immintrin.h>

#include "effects/blend_kernel.h"
#include "effects/effect_copies.h"

namespace mdlEffects {
namespace {

static_assert(EffectCopyIndex(1, 0) == 1 && EffectCopyIndex(0, 1) == 256, "the shift below spells out the layout");

// Entry (s, d) for eight lanes, read as the aligned dword that holds it: the dword at
// 256·s + (d & ~3), whose byte d & 3 is the entry. The copy starts on a cache line, so no read
// spans two lines, whatever the pixels (unaligned reads made flat surfaces up to 4× slower).
[[gnu::target("avx2")]] inline __m256i Lookup(const int* table, __m256i d, __m256i s) {
    const __m256i at = _mm256_or_si256(_mm256_slli_epi32(s, 8), _mm256_andnot_si256(_mm256_set1_epi32(3), d));
    const __m256i shift = _mm256_slli_epi32(_mm256_and_si256(d, _mm256_set1_epi32(3)), 3);
    return _mm256_and_si256(_mm256_srlv_epi32(_mm256_i32gather_epi32(table, at, 1), shift), _mm256_set1_epi32(0xFF));
}

[[gnu::target("avx2")]] inline __m256i EightBytes(const std::uint8_t* p) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

// Blends eight pixels whose surface values are in d; the planes may be read 8 bytes ahead
// (they are padded).
[[gnu::target("avx2")]] inline __m256i BlendEight(const int* table, __m256i d, const std::uint8_t* r, const std::uint8_t* g,
                          const std::uint8_t* b) {
    const __m256i low = _mm256_set1_epi32(0xFF);
    const __m256i dr = _mm256_and_si256(d, low);
    const __m256i dg = _mm256_and_si256(_mm256_srli_epi32(d, 8), low);
    const __m256i db = _mm256_and_si256(_mm256_srli_epi32(d, 16), low);
    const __m256i nr = Lookup(table, dr, EightBytes(r));
    const __m256i ng = Lookup(table, dg, EightBytes(g));
    const __m256i nb = Lookup(table, db, EightBytes(b));
    const __m256i fourth = _mm256_andnot_si256(_mm256_set1_epi32(0xFFFFFF), d);
    return _mm256_or_si256(_mm256_or_si256(nr, fourth), _mm256_or_si256(_mm256_slli_epi32(ng, 8), _mm256_slli_epi32(nb, 16)));
}

}  // namespace

[[gnu::target("avx2")]] void BlendAvx2(const BlendJob& job) {
    const int* table = reinterpret_cast<const int*>(job.table);
    const int tail = job.width % 8;
    const __m256i tailMask = _mm256_cmpgt_epi32(_mm256_set1_epi32(tail), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    for (int row = 0; row < job.height; ++row) {
        auto* dst = reinterpret_cast<int*>(job.dst + static_cast<std::ptrdiff_t>(row) * job.dstStride);
        const std::size_t planeRow = static_cast<std::size_t>(row) * job.planeStride;
        const std::uint8_t* r = job.r + planeRow;
        const std::uint8_t* g = job.g + planeRow;
        const std::uint8_t* b = job.b + planeRow;
        int i = 0;
        for (; i + 8 <= job.width; i += 8) {
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + i));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), BlendEight(table, d, r + i, g + i, b + i));
        }
        if (tail != 0) {
            // Masked-off lanes neither read nor write the surface; their offsets (d = 0, s from
            // the padded plane) stay inside the copy.
            const __m256i d = _mm256_maskload_epi32(dst + i, tailMask);
            _mm256_maskstore_epi32(dst + i, tailMask, BlendEight(table, d, r + i, g + i, b + i));
        }
    }
}

}  // namespace mdlEffects
#endif  // GLIMMERIX_X86
