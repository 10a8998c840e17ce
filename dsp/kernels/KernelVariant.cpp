#include "dsp/kernels/KernelVariant.h"

#include "platform/CpuFeatures.h"

const char* ck_kernelVariantName(CK_KernelVariant variant)
{
    switch (variant) {
    case CK_KernelVariant::kReference: return "Reference";
    case CK_KernelVariant::kSse2: return "Sse2";
    case CK_KernelVariant::kWide: return "Wide";
    }
    return "Unknown";
}

bool ck_kernelVariantRuns(CK_KernelVariant variant)
{
    return *ck_kernelVariantMissing(variant) == '\0';
}

const char* ck_kernelVariantMissing(CK_KernelVariant variant)
{
    if (variant != CK_KernelVariant::kWide)
        return "";
#if defined(BRELVIK_WIDE_KERNELS)
    return ck_wideRegistersAvailable() ? "" : "the wide (AVX-512F/VL) variant needs a processor with AVX-512";
#else
    return "this build carries no wide (AVX-512) variant";
#endif
}
