#include "tools/bench/AllocationCounter.h"

#include <cerrno>
#include <cstddef>
#include <string>

namespace brelvik::bench {

namespace {

// Plain zero-initialised thread-locals: they need no constructor, so malloc may read them on any
// thread at any time, even before the C++ runtime is up.
thread_local bool tCounting = false;
thread_local uint64_t tAllocations = 0;
thread_local uint64_t tFrees = 0;

} // namespace

#if BRELVIK_COUNT_ALLOCATIONS

namespace detail {
inline void countAllocation()
{
    if (tCounting)
        ++tAllocations;
}
inline void countFree(void* p)
{
    if (tCounting && p)
        ++tFrees;
}
} // namespace detail

#endif

CountingScope::CountingScope()
{
    tCounting = true;
}

CountingScope::~CountingScope()
{
    tCounting = false;
}

AllocationCounts countedOnThisThread()
{
    return {tAllocations, tFrees};
}

bool allocationCountingWorks()
{
#if BRELVIK_COUNT_ALLOCATIONS
    // A std::string too long for its inline buffer allocates through operator new, then malloc.
    const AllocationCounts before = countedOnThisThread();
    {
        CountingScope scope;
        volatile size_t length = 200;
        std::string probe(length, 'x');
    }
    const AllocationCounts after = countedOnThisThread();
    tAllocations = before.allocations;
    tFrees = before.frees;
    return after.allocations > before.allocations && after.frees > before.frees;
#else
    return false;
#endif
}

} // namespace brelvik::bench

#if BRELVIK_COUNT_ALLOCATIONS

using brelvik::bench::detail::countAllocation;
using brelvik::bench::detail::countFree;

extern "C" {

// glibc's allocator under its own names.
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);

__attribute__((visibility("default"))) void* malloc(size_t size) noexcept
{
    countAllocation();
    return __libc_malloc(size);
}

__attribute__((visibility("default"))) void* calloc(size_t count, size_t size) noexcept
{
    countAllocation();
    return __libc_calloc(count, size);
}

__attribute__((visibility("default"))) void* realloc(void* p, size_t size) noexcept
{
    countAllocation();
    return __libc_realloc(p, size);
}

__attribute__((visibility("default"))) void* reallocarray(void* p, size_t count, size_t size) noexcept
{
    size_t bytes = 0;
    if (__builtin_mul_overflow(count, size, &bytes)) {
        errno = ENOMEM;
        return nullptr;
    }
    countAllocation();
    return __libc_realloc(p, bytes);
}

__attribute__((visibility("default"))) void free(void* p) noexcept
{
    countFree(p);
    __libc_free(p);
}

__attribute__((visibility("default"))) void* memalign(size_t alignment, size_t size) noexcept
{
    countAllocation();
    return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) void* aligned_alloc(size_t alignment, size_t size) noexcept
{
    countAllocation();
    return __libc_memalign(alignment, size);
}

__attribute__((visibility("default"))) int posix_memalign(void** out, size_t alignment, size_t size) noexcept
{
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0)
        return EINVAL;
    countAllocation();
    void* p = __libc_memalign(alignment, size);
    if (!p)
        return ENOMEM;
    *out = p;
    return 0;
}

__attribute__((visibility("default"))) void* valloc(size_t size) noexcept
{
    countAllocation();
    return __libc_valloc(size);
}

__attribute__((visibility("default"))) void* pvalloc(size_t size) noexcept
{
    countAllocation();
    return __libc_pvalloc(size);
}

} // extern "C"

#endif
