#include "platform/AlignedMemory.h"

#if defined(_WIN32)
#include <malloc.h>

void* ck_alignedAlloc(size_t bytes, size_t alignment)
{
    return _aligned_malloc(bytes, alignment);
}

void ck_alignedFree(void* block)
{
    _aligned_free(block);
}
#else
#include <cstdlib>

void* ck_alignedAlloc(size_t bytes, size_t alignment)
{
    void* block = nullptr;
    return posix_memalign(&block, alignment < sizeof(void*) ? sizeof(void*) : alignment, bytes) == 0 ? block
                                                                                                   : nullptr;
}

void ck_alignedFree(void* block)
{
    std::free(block);
}
#endif
