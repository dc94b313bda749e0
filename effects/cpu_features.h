// What the processor offers beyond the portable baseline, asked once.
#pragma once

namespace mdlEffects {

inline bool HasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}

}  // namespace mdlEffects
