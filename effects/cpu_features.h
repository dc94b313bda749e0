// What the processor offers beyond the portable baseline, asked once. The AVX2 ways are
// compiled for x86 only; elsewhere (WebAssembly) the portable ways serve alone.
#pragma once

#include <cstddef>  // on glibc this brings in <features.h>, which defines __GLIBC__

#if defined(__x86_64__) || defined(__i386__)
#define GLIMMERIX_X86 1
#else
#define GLIMMERIX_X86 0
#endif

// glibc ships vector maths (libmvec) beside libm; other C libraries (mingw's, emscripten's)
// do not, and the table builder that needs it is left out there.
#if GLIMMERIX_X86 && defined(__GLIBC__)
#define GLIMMERIX_LIBMVEC 1
#else
#define GLIMMERIX_LIBMVEC 0
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
