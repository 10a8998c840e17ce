// Counts heap allocations made by one thread while a counting scope is open on it.
//
// The bench executable defines malloc, calloc, realloc, free and the aligned allocators itself and
// forwards them to glibc's own entry points (__libc_malloc and friends). The dynamic linker binds
// every malloc reference in the process to the executable's definition first, including those of
// plug-ins opened later with dlopen and of the C++ runtime's operator new, which allocates through
// malloc. So one interposition layer sees every heap allocation, whoever makes it, without hooks
// (glibc 2.34 removed __malloc_hook) and without relinking the plug-in (-Wl,--wrap would only catch
// calls from objects linked into the bench itself). A thread-local flag limits counting to the
// audio thread while it is inside processing. Memory a plug-in maps directly with mmap is not seen.
//
// Sanitizer runtimes interpose malloc themselves; sanitizer builds leave the counter out and
// report counting as unavailable.
#pragma once

#include <cstdint>

namespace brelvik::bench {

struct AllocationCounts {
    uint64_t allocations = 0; // malloc, calloc, realloc, aligned allocations (and operator new through them)
    uint64_t frees = 0;
};

// False in builds without the interposer, or when the self-test at start-up saw nothing.
bool allocationCountingWorks();

// While alive, allocations on the constructing thread are counted. Not nestable.
class CountingScope {
public:
    CountingScope();
    ~CountingScope();
    CountingScope(const CountingScope&) = delete;
    CountingScope& operator=(const CountingScope&) = delete;
};

// What this thread's counting scopes have seen so far.
AllocationCounts countedOnThisThread();

} // namespace brelvik::bench
