// Aligned heap blocks for signal buffers that process routines read and write four floats at a time.
#pragma once

#include <cstddef>

// Returns a block of `bytes` bytes aligned to `alignment` (a power of two), or nullptr.
void* ck_alignedAlloc(size_t bytes, size_t alignment);
void ck_alignedFree(void* block);
