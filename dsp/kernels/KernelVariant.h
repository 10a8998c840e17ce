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
