// brelvik-artwork: draws the editor's bitmaps, and pictures made from them.
#include "resources/artwork/Artwork.h"
#include "resources/artwork/Composer.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr const char* kUsage =
    "Usage: brelvik-artwork --out DIR\n"
    "       brelvik-artwork --sheet FILE.png\n"
    "       brelvik-artwork --window FILE.png [--everything-on | --panels-open]\n"
    "\n"
    "--out writes every bitmap of the editor into DIR (made when missing) as an RGBA PNG.\n"
    "--sheet writes a contact sheet: the composed window in three states and every bitmap with\n"
    "its name, size and frame count. --window writes the window alone, at factory program 0\n"
    "unless told otherwise.\n";

CK_BitmapSet drawAll()
{
    CK_BitmapSet set;
    for (size_t i = 0; i < kBitmapCount; ++i)
        set.emplace(kBitmapCatalogue[i].name, ck_drawBitmap(kBitmapCatalogue[i]));
    return set;
}

bool write(const CK_Canvas& c, const std::string& path)
{
    if (c.writePng(path))
        return true;
    std::fprintf(stderr, "brelvik-artwork: cannot write %s\n", path.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string mode = argv[1], target = argv[2];
    const std::string option = argc > 3 ? argv[3] : "";
    if ((mode != "--out" && mode != "--sheet" && mode != "--window") || argc > 4 ||
        (!option.empty() && (mode != "--window" || (option != "--everything-on" && option != "--panels-open")))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const CK_BitmapSet bitmaps = drawAll();
    if (mode == "--out") {
        std::error_code error;
        std::filesystem::create_directories(target, error);
        for (const auto& [name, canvas] : bitmaps)
            if (!write(canvas, target + "/" + name))
                return 1;
        std::printf("brelvik-artwork: %zu bitmaps written to %s\n", bitmaps.size(), target.c_str());
        return 0;
    }
    if (mode == "--sheet") {
        if (!write(ck_contactSheet(bitmaps), target)) return 1;
    } else {
        const CK_WindowState state = option == "--everything-on" ? ck_everythingOnState()
                                     : option == "--panels-open" ? ck_panelsOpenState()
                                                                 : ck_factoryState();
        if (!write(ck_composeWindow(bitmaps, state), target)) return 1;
    }
    std::printf("brelvik-artwork: wrote %s\n", target.c_str());
    return 0;
}
