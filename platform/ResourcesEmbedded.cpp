// Resources compiled into the binary, for platforms without a resource section of their own.
#if !defined(_WIN32)

#include <cctype>

#include "platform/EmbeddedResources.h"
#include "platform/Resources.h"

namespace {

bool sameText(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

} // namespace

bool ck_findResource(const char* name, const char* type, const void** data, size_t* size)
{
    if (!name || !type || !data || !size)
        return false;
    for (size_t i = 0; i < kEmbeddedResourceCount; ++i) {
        const CK_EmbeddedResource& r = kEmbeddedResources[i];
        if (sameText(r.name, name) && sameText(r.type, type)) {
            *data = r.data;
            *size = r.size;
            return true;
        }
    }
    return false;
}

#endif
