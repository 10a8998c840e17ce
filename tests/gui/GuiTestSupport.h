#pragma once

#include <png.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CControlListener.h"
#include "gui/CDrawContext.h"
#include "gui/CView.h"
#include "gui/backend/PixelBuffer.h"

namespace brelvik::gui::test {

struct Rgba {
    uint8_t r, g, b, a;
};

// Encodes straight RGBA pixels as a PNG file in memory.
inline std::vector<uint8_t> encodePng(int width, int height, const std::vector<Rgba>& pixels)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<uint8_t> bytes(size);
    png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels.data(), 0, nullptr);
    bytes.resize(size);
    return bytes;
}

inline CBitmap* decode(const std::vector<uint8_t>& png)
{
    return CBitmap::fromPng(png.data(), png.size(), nullptr);
}

// Channels of a premultiplied back-buffer pixel, un-premultiplied.
inline Rgba channels(uint32_t argb)
{
    const uint8_t a = static_cast<uint8_t>(argb >> 24);
    auto un = [a](uint32_t c) { return static_cast<uint8_t>(a == 0 ? 0 : (c * 255 + a / 2) / a); };
    return {un((argb >> 16) & 0xFF), un((argb >> 8) & 0xFF), un(argb & 0xFF), a};
}

inline ::testing::AssertionResult near(const PixelBuffer& buffer, int x, int y, Rgba expected, int tolerance = 1)
{
    const Rgba got = channels(buffer.at(x, y));
    auto off = [tolerance](int a, int b) { return std::abs(a - b) > tolerance; };
    if (off(got.r, expected.r) || off(got.g, expected.g) || off(got.b, expected.b) || off(got.a, expected.a))
        return ::testing::AssertionFailure()
            << "pixel (" << x << ", " << y << ") is " << int(got.r) << "," << int(got.g) << "," << int(got.b) << ","
            << int(got.a) << ", expected " << int(expected.r) << "," << int(expected.g) << "," << int(expected.b) << ","
            << int(expected.a);
    return ::testing::AssertionSuccess();
}

// A view that fills itself with one colour.
class FillView : public CView {
public:
    FillView(const CRect& size, CColor color) : CView(size), color_(color) { }
    void draw(CDrawContext& context) override { context.fillRect(size_, color_); }

private:
    CColor color_;
};

// Records what a control tells its listener, in order.
class RecordingListener : public CControlListener {
public:
    void valueChanged(CControl* control) override { events.push_back("value " + std::to_string(control->getValue())); }
    void controlBeginEdit(CControl* control) override
    {
        events.push_back("begin " + std::to_string(control->getTag()));
    }
    void controlEndEdit(CControl* control) override { events.push_back("end " + std::to_string(control->getTag())); }

    std::vector<std::string> events;
};

// Bitmaps by name from memory.
class MapResolver : public CBitmapResolver {
public:
    bool findPng(const std::string& name, std::vector<uint8_t>& bytes) override
    {
        auto it = files.find(name);
        if (it == files.end())
            return false;
        bytes = it->second;
        return true;
    }
    std::map<std::string, std::vector<uint8_t>> files;
};

} // namespace brelvik::gui::test
