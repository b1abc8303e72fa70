#pragma once
// What the processor offers beyond the baseline the program is built for.
// The hot loops that use AVX keep every operation of their plain form (no
// fused multiply-add), so they give the same doubles on any processor.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32) && \
    !defined(VERDANEL_NO_AVX_PATHS)
// Not on Windows, where GCC may keep 32-byte values in stack slots that are
// aligned to 16 only. VERDANEL_NO_AVX_PATHS builds the plain loops alone,
// to compare the two.
#define VERDANEL_HAS_AVX_PATHS 1
#include <immintrin.h>
#endif

namespace verdanel {

#ifdef VERDANEL_HAS_AVX_PATHS
inline bool processorHasAvx() {
    static const bool yes = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return yes;
}
#endif

}  // namespace verdanel
