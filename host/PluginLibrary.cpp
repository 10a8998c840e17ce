#include "host/PluginLibrary.h"

#include <utility>

namespace brelvik::host {

namespace {
// Entry names in the order hosts try them: the 2.4 name first, then the legacy one.
constexpr const char* kEntryNames[] = {"VSTPluginMain", "main"};
} // namespace

std::unique_ptr<PluginLibrary> PluginLibrary::open(const std::string& path, std::string& error)
{
    std::string loaderError;
    void* handle = platform::openLibrary(path, loaderError);
    if (!handle) {
        error = "cannot load plug-in '" + path + "': " + loaderError;
        return nullptr;
    }
    for (const char* name : kEntryNames) {
        if (void* symbol = platform::findSymbol(handle, name)) {
            // Loaders hand back symbols as data pointers; the entry is a function.
            auto entry = reinterpret_cast<VstPluginMainProc>(symbol);
            return std::unique_ptr<PluginLibrary>(new PluginLibrary(handle, entry, path, name));
        }
    }
    platform::closeLibrary(handle);
    error = "'" + path + "' is not a VST 2 plug-in: it exports neither VSTPluginMain nor main";
    return nullptr;
}

PluginLibrary::PluginLibrary(void* handle, VstPluginMainProc entry, std::string path, std::string entryName)
    : handle_(handle), entry_(entry), path_(std::move(path)), entryName_(std::move(entryName))
{
}

PluginLibrary::~PluginLibrary()
{
    platform::closeLibrary(handle_);
}

} // namespace brelvik::host
