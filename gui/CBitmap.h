#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/CBaseObject.h"
#include "gui/CGeometry.h"

namespace brelvik::gui {

// Where bitmaps come from: the editor answers a name ("BGD.png") with the PNG file's bytes.
class CBitmapResolver {
public:
    virtual ~CBitmapResolver() = default;
    virtual bool findPng(const std::string& name, std::vector<uint8_t>& bytes) = 0;
};

// A decoded image, reference counted. Pixels are 32-bit premultiplied ARGB in native byte order,
// rows packed without padding. A strip bitmap holds its frames one below the other.
class CBitmap : public CBaseObject {
public:
    // Each returns a bitmap holding one reference (the caller's), or null with a reason in *error.
    static CBitmap* fromPng(const uint8_t* data, size_t size, std::string* error);
    static CBitmap* load(CBitmapResolver& resolver, const std::string& name, std::string* error);
    static CBitmap* fromPixels(int width, int height, std::vector<uint32_t> premultipliedArgb);

    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    const uint32_t* pixels() const { return pixels_.data(); }
    // Alpha of the pixel at (x, y); 0 outside the bitmap.
    uint8_t alphaAt(int x, int y) const;
    // The part of the bitmap that frame `index` of a vertical strip of `frameHeight` rows occupies.
    CRect frameRect(int index, int frameHeight) const
    {
        return CRect::fromSize(0, index * frameHeight, width_, frameHeight);
    }

private:
    CBitmap(int width, int height, std::vector<uint32_t> pixels)
        : width_(width), height_(height), pixels_(std::move(pixels))
    {
    }

    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

} // namespace brelvik::gui
