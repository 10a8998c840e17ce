#include "platform/CpuFeatures.h"

bool ck_wideRegistersAvailable()
{
#if defined(BRELVIK_WIDE_KERNELS) && (defined(__GNUC__) || defined(__clang__))
    // Asked once, while the plug-in is set up; the answer never changes.
    static const bool kAvailable = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx512f") != 0 && __builtin_cpu_supports("avx512vl") != 0;
    }();
    return kAvailable;
#else
    return false;
#endif
}
