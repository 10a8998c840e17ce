// The dynamic loader on Linux and other POSIX systems.
#include "host/PluginLibrary.h"

#include <dlfcn.h>

namespace brelvik::host::platform {

void* openLibrary(const std::string& path, std::string& error)
{
    // RTLD_LOCAL keeps the plug-in's symbols away from other plug-ins, as DAWs load them;
    // RTLD_NOW reports unresolved symbols here instead of crashing later mid-call.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "unknown loader error";
    }
    return handle;
}

void* findSymbol(void* handle, const char* name)
{
    return dlsym(handle, name);
}

void closeLibrary(void* handle)
{
    if (handle)
        dlclose(handle);
}

} // namespace brelvik::host::platform
