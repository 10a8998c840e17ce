// Every bitmap of the editor window: its resource name, its size and how many frames its strip
// stacks vertically. Shared by the artwork generator, its tests and the Windows resource check.
#pragma once

#include <cstddef>

struct CK_BitmapInfo {
    const char* name;
    int width;
    int height;
    int frames; // images stacked vertically, each height / frames rows tall
};

extern const CK_BitmapInfo kBitmapCatalogue[];
extern const size_t kBitmapCount;

// The entry of a bitmap, found by name without regard to case; nullptr when there is none.
const CK_BitmapInfo* ck_findBitmapInfo(const char* name);
