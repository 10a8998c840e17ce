#include "tests/windows/BitmapResources.h"

#include "resources/artwork/BitmapCatalogue.h"

#if defined(_WIN32)
#include <windows.h>
#endif

#include <cstdint>
#include <cstring>

namespace brelvik::check {

#if defined(_WIN32)

namespace {

uint32_t bigEndian(const unsigned char* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

// What is wrong with one resource, or an empty text.
std::string inspect(HMODULE module, const CK_BitmapInfo& bmp)
{
    HRSRC info = FindResourceA(module, bmp.name, "PNG");
    if (!info) return "missing";
    HGLOBAL loaded = LoadResource(module, info);
    const auto* bytes = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = SizeofResource(module, info);
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    // Signature, then the IHDR chunk: length, "IHDR", width, height, depth, colour type.
    if (!bytes || size < 33 || std::memcmp(bytes, signature, 8) != 0 || std::memcmp(bytes + 12, "IHDR", 4) != 0)
        return "not a PNG";
    const uint32_t width = bigEndian(bytes + 16), height = bigEndian(bytes + 20);
    if (width != uint32_t(bmp.width) || height != uint32_t(bmp.height))
        return std::to_string(width) + " x " + std::to_string(height) + " instead of " + std::to_string(bmp.width) +
               " x " + std::to_string(bmp.height);
    if (bytes[24] != 8 || bytes[25] != 6)
        return "not 8-bit RGBA";
    return {};
}

} // namespace

void checkBitmapResources(const std::string& path, CheckReport& report)
{
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        report.fail("editor bitmaps as PNG resources", "cannot map the DLL's resources");
        return;
    }
    std::string wrong;
    for (size_t i = 0; i < kBitmapCount; ++i) {
        const std::string problem = inspect(module, kBitmapCatalogue[i]);
        if (!problem.empty())
            wrong += (wrong.empty() ? "" : "; ") + std::string(kBitmapCatalogue[i].name) + ": " + problem;
    }
    FreeLibrary(module);
    report.expect(wrong.empty(), "editor bitmaps as PNG resources",
                  wrong.empty() ? "all " + std::to_string(kBitmapCount) + " present, RGBA, at their sizes" : wrong);
}

#else

void checkBitmapResources(const std::string&, CheckReport&) {}

#endif

} // namespace brelvik::check
