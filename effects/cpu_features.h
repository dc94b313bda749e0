// What the processor offers beyond the portable baseline, asked once. The AVX2 ways are
// compiled for x86 only; elsewhere (WebAssembly) the portable ways serve alone.
#pragma once

#if defined(__x86_64__) || defined(__i386__)
#define GLIMMERIX_X86 1
#else
#define GLIMMERIX_X86 0
#endif

namespace mdlEffects {

inline bool HasAvx2() {
#if GLIMMERIX_X86
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

}  // namespace mdlEffects
