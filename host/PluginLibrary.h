// Loading a VST 2.4 plug-in binary and finding its entry point, the way a DAW does.
#pragma once

#include "vst/VstInterface.h"

#include <memory>
#include <string>

namespace brelvik::host {

// The platform's dynamic loader (dlopen on POSIX). Each platform provides these three functions in
// its own source file; nothing else in the host library touches the loader directly.
namespace platform {
// Returns a handle or null; on failure `error` holds the loader's reason.
void* openLibrary(const std::string& path, std::string& error);
void* findSymbol(void* handle, const char* name);
void closeLibrary(void* handle);
} // namespace platform

class PluginLibrary {
public:
    // Loads the binary and resolves its entry point: `VSTPluginMain`, else the older `main`.
    // Returns null with a readable reason in `error` when either step fails.
    static std::unique_ptr<PluginLibrary> open(const std::string& path, std::string& error);

    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    VstPluginMainProc entry() const { return entry_; }
    const std::string& path() const { return path_; }
    // Which exported name the entry point was found under.
    const std::string& entryName() const { return entryName_; }

private:
    PluginLibrary(void* handle, VstPluginMainProc entry, std::string path, std::string entryName);

    void* handle_;
    VstPluginMainProc entry_;
    std::string path_;
    std::string entryName_;
};

} // namespace brelvik::host
