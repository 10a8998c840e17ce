// The table of data files compiled into the plug-in (generated at build time).
#pragma once

#include <cstddef>

struct CK_EmbeddedResource {
    const char* name;
    const char* type;
    const unsigned char* data;
    size_t size;
};

extern const CK_EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;
