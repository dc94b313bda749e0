#include "effects/blend_kernel.h"

#include "effects/cpu_features.h"
#include "effects/effect_copies.h"
#include "effects/variant.h"

namespace mdlEffects {

void BlendScalar(const BlendJob& job) {
    const std::uint8_t* t = job.table;
    for (int row = 0; row < job.height; ++row) {
        platform::ColourValue* dst = job.dst + static_cast<std::ptrdiff_t>(row) * job.dstStride;
        const std::size_t planeRow = static_cast<std::size_t>(row) * job.planeStride;
        const std::uint8_t* r = job.r + planeRow;
        const std::uint8_t* g = job.g + planeRow;
        const std::uint8_t* b = job.b + planeRow;
        for (int i = 0; i < job.width; ++i) {
            const platform::ColourValue d = dst[i];
            dst[i] = (d & platform::kFourthByte) | platform::PackRgb(t[EffectCopyIndex(platform::RedOf(d), r[i])],
                                                                     t[EffectCopyIndex(platform::GreenOf(d), g[i])],
                                                                     t[EffectCopyIndex(platform::BlueOf(d), b[i])]);
        }
    }
}

std::vector<NamedKernel> AvailableKernels() {
    std::vector<NamedKernel> kernels = {{"scalar", &BlendScalar}};
#if GLIMMERIX_X86
    if (HasAvx2()) kernels.push_back({"avx2", &BlendAvx2});
#endif
    return kernels;
}

const NamedKernel& ChosenKernel() {
    static const NamedKernel chosen = ChooseVariant(AvailableKernels());
    return chosen;
}

}  // namespace mdlEffects
