// Resources of the plug-in's own module: the binary that holds this code, which is the plug-in DLL
// and not the host program that loaded it.
#if defined(_WIN32)

#include <windows.h>

#include "platform/Resources.h"

bool ck_findResource(const char* name, const char* type, const void** data, size_t* size)
{
    if (!name || !type || !data || !size)
        return false;
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ck_findResource), &module))
        return false;
    // Resource names and types compare without regard to case.
    HRSRC info = FindResourceA(module, name, type);
    if (!info)
        return false;
    HGLOBAL loaded = LoadResource(module, info);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    const DWORD length = SizeofResource(module, info);
    if (!bytes || length == 0)
        return false;
    // Resource data is mapped with the module and needs no release.
    *data = bytes;
    *size = length;
    return true;
}

#endif
