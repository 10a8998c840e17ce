// The forms a kernel comes in. Every kernel has a plain scalar reference, which states the
// arithmetic; its SIMD forms give the reference's result bit for bit. SSE2 is the baseline of
// every target, so its forms are called directly; the wide forms (AVX-512: 256-bit operations
// and 32 registers) exist only in builds that carry them and run only where the processor has
// them, chosen once when a module is made.
#pragma once

#if !defined(__SSE2__)
#error "The kernels need SSE2: every target (x86-64, and x86 with -msse2) has it."
#endif

enum class CK_KernelVariant { kReference, kSse2, kWide };

// The name a test or log shows for the variant.
const char* ck_kernelVariantName(CK_KernelVariant variant);
// Whether this build carries the variant and this processor can run it.
bool ck_kernelVariantRuns(CK_KernelVariant variant);
// Why the variant cannot run here, or an empty string when it can.
const char* ck_kernelVariantMissing(CK_KernelVariant variant);

// The forms of a kernel that has a wide variant, by variant. `wide` is nullptr in builds
// without the wide kernels (CK_WIDE_FORM gives the right one).
template <typename Routine>
struct CK_KernelForms {
    Routine reference;
    Routine sse2;
    Routine wide;

    // The form of a variant, or nullptr when this build does not carry it.
    Routine of(CK_KernelVariant variant) const
    {
        switch (variant) {
        case CK_KernelVariant::kReference: return reference;
        case CK_KernelVariant::kSse2: return sse2;
        case CK_KernelVariant::kWide: return wide;
        }
        return nullptr;
    }
    // The fastest form this processor runs.
    Routine fastest() const { return wide && ck_kernelVariantRuns(CK_KernelVariant::kWide) ? wide : sse2; }
};

#if defined(BRELVIK_WIDE_KERNELS)
#define CK_WIDE_FORM(routine) (&(routine))
#else
#define CK_WIDE_FORM(routine) nullptr
#endif
