// PNG files from the back buffer, with libpng (the same library that decodes the bitmaps).
#include <windows.h>

#include <png.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "gui/backend/DrawBackend.h"

namespace brelvik::gui {

namespace {
// Premultiplied ARGB to the straight RGBA a PNG file holds.
std::vector<uint8_t> straightRgba(const PixelBuffer& buffer)
{
    std::vector<uint8_t> rgba(buffer.pixels.size() * 4);
    for (size_t i = 0; i < buffer.pixels.size(); ++i) {
        const uint32_t p = buffer.pixels[i];
        const uint32_t a = p >> 24;
        auto un = [a](uint32_t c) { return static_cast<uint8_t>(a == 0 ? 0 : (c * 255 + a / 2) / a); };
        rgba[i * 4 + 0] = un((p >> 16) & 0xFF);
        rgba[i * 4 + 1] = un((p >> 8) & 0xFF);
        rgba[i * 4 + 2] = un(p & 0xFF);
        rgba[i * 4 + 3] = static_cast<uint8_t>(a);
    }
    return rgba;
}

// Paths are UTF-8; Windows opens them by their UTF-16 name.
FILE* openForWriting(const std::string& path)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return nullptr;
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, wide.data(), length);
    return _wfopen(wide.c_str(), L"wb");
}
} // namespace

bool writePng(const PixelBuffer& buffer, const std::string& path, std::string* error)
{
    FILE* file = openForWriting(path);
    if (!file) {
        if (error)
            *error = path + ": cannot open for writing";
        return false;
    }
    const std::vector<uint8_t> rgba = straightRgba(buffer);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(buffer.width);
    image.height = static_cast<png_uint_32>(buffer.height);
    image.format = PNG_FORMAT_RGBA;
    const bool written = png_image_write_to_stdio(&image, file, 0, rgba.data(), 0, nullptr) != 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        if (error)
            *error = path + ": " + (written ? "write failed" : image.message);
        png_image_free(&image);
        return false;
    }
    return true;
}

} // namespace brelvik::gui
