// The dynamic loader on Linux and other POSIX systems.
#include "host/PluginLibrary.h"

#include <dlfcn.h>

namespace brelvik::host::platform {

void* openLibrary(const std::string& path, std::string& error)
{
    // A bare file name would send dlopen through the library search path; a plug-in path always
    // names a file.
    const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    // RTLD_LOCAL keeps the plug-in's symbols away from other plug-ins, as DAWs load them;
    // RTLD_NOW reports unresolved symbols here instead of crashing later mid-call. RTLD_NODELETE
    // keeps the binary mapped after the last close: a plug-in with an editor brings in window and
    // font libraries (X11, cairo, fontconfig) whose process-wide state must not be unloaded.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : "unknown loader error";
        // dlerror repeats the path in front of the reason; the caller already names the file.
        const std::string prefix = file + ": ";
        if (error.compare(0, prefix.size(), prefix) == 0)
            error.erase(0, prefix.size());
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
