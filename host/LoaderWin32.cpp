// The dynamic loader on Windows.
#include "host/PluginLibrary.h"

#include <windows.h>

#include <vector>

namespace brelvik::host::platform {

namespace {

std::wstring widen(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
    return wide.data();
}

std::string describeError(DWORD code)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

} // namespace

void* openLibrary(const std::string& path, std::string& error)
{
    // A full path keeps LoadLibrary away from the system search path (a bare name would find any
    // same-named DLL there) and lets the plug-in's own dependencies be found next to it.
    const std::wstring wide = widen(path);
    if (wide.empty()) {
        error = "the path is not valid UTF-8";
        return nullptr;
    }
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::vector<wchar_t> full(needed + 1);
    if (needed == 0 || GetFullPathNameW(wide.c_str(), needed + 1, full.data(), nullptr) == 0) {
        error = describeError(GetLastError());
        return nullptr;
    }
    // No message boxes for missing dependencies: the reason comes back as text.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    HMODULE module = LoadLibraryExW(full.data(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD code = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    if (!module)
        error = describeError(code);
    return module;
}

void* findSymbol(void* handle, const char* name)
{
    // Exports are addresses; the caller casts the entry back to its function type.
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle)
{
    if (handle)
        FreeLibrary(static_cast<HMODULE>(handle));
}

} // namespace brelvik::host::platform
