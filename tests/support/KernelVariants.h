// Kernel tests run once per variant of the kernel; a variant that this build does not carry or
// this processor cannot run is reported as skipped, with the reason, never passed.
#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "dsp/kernels/KernelVariant.h"

// Test names and messages show the variant by name.
inline void PrintTo(CK_KernelVariant variant, std::ostream* os)
{
    *os << ck_kernelVariantName(variant);
}

class KernelVariantTest : public ::testing::TestWithParam<CK_KernelVariant> {
protected:
    void SetUp() override
    {
        if (!ck_kernelVariantRuns(GetParam()))
            GTEST_SKIP() << ck_kernelVariantName(GetParam()) << " not run: " << ck_kernelVariantMissing(GetParam());
    }
    CK_KernelVariant variant() const { return GetParam(); }
    bool reference() const { return GetParam() == CK_KernelVariant::kReference; }
};

inline std::string kernelVariantName(const ::testing::TestParamInfo<CK_KernelVariant>& info)
{
    return ck_kernelVariantName(info.param);
}

// Instantiates the tests of Suite (a KernelVariantTest) for the listed variants.
#define CK_KERNEL_VARIANTS(Suite, ...)                                                                       \
    INSTANTIATE_TEST_SUITE_P(Variants, Suite, ::testing::Values(__VA_ARGS__), kernelVariantName)
