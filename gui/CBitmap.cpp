#include "gui/CBitmap.h"

#include <png.h>

#include <cstring>

namespace brelvik::gui {

namespace {
uint32_t premultiply(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    auto scale = [a](uint8_t c) { return static_cast<uint32_t>((c * a + 127) / 255); };
    return static_cast<uint32_t>(a) << 24 | scale(r) << 16 | scale(g) << 8 | scale(b);
}
} // namespace

CBitmap* CBitmap::fromPng(const uint8_t* data, size_t size, std::string* error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        if (error)
            *error = std::string("not a readable PNG: ") + image.message;
        return nullptr;
    }
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        if (error)
            *error = std::string("PNG decoding failed: ") + image.message;
        png_image_free(&image);
        return nullptr;
    }
    const int width = static_cast<int>(image.width);
    const int height = static_cast<int>(image.height);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint8_t* p = &rgba[i * 4];
        pixels[i] = premultiply(p[0], p[1], p[2], p[3]);
    }
    return new CBitmap(width, height, std::move(pixels));
}

CBitmap* CBitmap::load(CBitmapResolver& resolver, const std::string& name, std::string* error)
{
    std::vector<uint8_t> bytes;
    if (!resolver.findPng(name, bytes)) {
        if (error)
            *error = "bitmap not found: " + name;
        return nullptr;
    }
    CBitmap* bitmap = fromPng(bytes.data(), bytes.size(), error);
    if (!bitmap && error)
        *error = name + ": " + *error;
    return bitmap;
}

CBitmap* CBitmap::fromPixels(int width, int height, std::vector<uint32_t> premultipliedArgb)
{
    if (width < 0 || height < 0 || premultipliedArgb.size() != static_cast<size_t>(width) * height)
        return nullptr;
    return new CBitmap(width, height, std::move(premultipliedArgb));
}

uint8_t CBitmap::alphaAt(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return static_cast<uint8_t>(pixels_[static_cast<size_t>(y) * width_ + x] >> 24);
}

} // namespace brelvik::gui
