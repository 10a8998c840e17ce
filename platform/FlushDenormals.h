// Treats denormal floating-point numbers as zero for the lifetime of the object, on the calling
// thread, and restores the previous mode afterwards. Recursive filters whose state decays towards
// zero would otherwise slow down by orders of magnitude on x86 once values become denormal.
#pragma once

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>

class CK_FlushDenormals {
public:
    CK_FlushDenormals() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | kFlushToZero | kDenormalsAreZero); }
    ~CK_FlushDenormals() { _mm_setcsr(saved_); }

    CK_FlushDenormals(const CK_FlushDenormals&) = delete;
    CK_FlushDenormals& operator=(const CK_FlushDenormals&) = delete;

private:
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned saved_;
};
#else
// Without SSE arithmetic the filters' own guards keep them clear of denormals.
class CK_FlushDenormals {
};
#endif
