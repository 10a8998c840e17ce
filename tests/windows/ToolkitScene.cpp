#include "tests/windows/ToolkitScene.h"

#include <vector>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "gui/CView.h"
#include "gui/CViewContainer.h"

namespace brelvik::check {

using namespace brelvik::gui;

namespace {

class FillView : public CView {
public:
    FillView(const CRect& size, CColor color) : CView(size), color_(color) { }
    void draw(CDrawContext& context) override { context.fillRect(size_, color_); }

private:
    CColor color_;
};

class ShapesView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext& context) override
    {
        CDrawContextState state(context);
        context.translate(size_.left, size_.top);
        context.strokeRect(CRect{0, 0, 50, 40}, {250, 250, 250, 255}, 2);
        context.drawLine({4, 34}, {45, 6}, {255, 220, 0, 255}, 1.0);
        context.drawLine({4, 20}, {45, 20}, {0, 255, 120, 255}, 2.0);
        context.fillEllipse(CRect{56, 2, 92, 38}, {220, 40, 90, 255});
        context.fillPolygon({{100, 38}, {120, 2}, {140, 38}}, {90, 200, 255, 255});
        context.drawPolyline({{146, 36}, {156, 6}, {166, 30}, {176, 10}}, {255, 255, 255, 255}, 1.5);
        context.setGlobalAlpha(0.5f);
        context.fillRect(CRect{182, 0, 220, 40}, {255, 255, 255, 255});
    }
};

// A 16 x 32 strip of two frames: an opaque gradient, then a fading one.
CBitmap* makeStrip()
{
    std::vector<uint32_t> pixels(16 * 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 16; ++x) {
            const uint32_t alpha = y < 16 ? 255 : static_cast<uint32_t>(255 - x * 15);
            const uint32_t red = static_cast<uint32_t>(x * 16) * alpha / 255;
            const uint32_t blue = static_cast<uint32_t>(255 - (y % 16) * 16) * alpha / 255;
            pixels[static_cast<size_t>(y) * 16 + x] = alpha << 24 | red << 16 | (64 * alpha / 255) << 8 | blue;
        }
    }
    return CBitmap::fromPixels(16, 32, std::move(pixels));
}

class BitmapsView : public CView {
public:
    BitmapsView(const CRect& size, CBitmap* strip) : CView(size) { setBackground(strip); }
    void draw(CDrawContext& context) override
    {
        const int x = size_.left;
        const int y = size_.top;
        context.drawBitmap(*background_, CRect::fromSize(x, y, 16, 16), {0, 0});
        context.drawBitmap(*background_, CRect::fromSize(x + 20, y, 16, 16), {0, 16});
        context.drawBitmap(*background_, CRect::fromSize(x + 40, y, 16, 16), {0, 0}, 0.5f);
        context.drawBitmapRotated(*background_, CRect{0, 0, 16, 16}, {x + 72, y + 8}, 3.14159265358979323846 / 2);
    }
};

class TextView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext& context) override
    {
        const CRect left{size_.left, size_.top, size_.left + 120, size_.bottom};
        const CRect right{size_.left + 120, size_.top, size_.right, size_.bottom};
        context.drawText("Master Gain dB", left, CFontDesc("Arial", 12), {255, 255, 255, 255}, CHoriTxtAlign::kLeft);
        context.drawText("-0.50", right, CFontDesc("Arial", 16, CFontDesc::kBold), {255, 210, 80, 255},
            CHoriTxtAlign::kRight);
    }
};

} // namespace

std::unique_ptr<CFrame> makeToolkitScene()
{
    auto frame = std::make_unique<CFrame>(kSceneWidth, kSceneHeight);
    frame->setBackgroundColor({40, 44, 52, 255});
    frame->addView(new FillView(CRect{4, 4, 60, 44}, {200, 120, 40, 255}));
    frame->addView(new FillView(CRect{30, 24, 90, 60}, {40, 160, 220, 128}));
    frame->addView(new ShapesView(CRect{10, 48, 232, 88}));

    // A container moves and clips what it holds: the fill reaches past it on every side.
    auto* box = new CViewContainer(CRect{100, 4, 140, 40});
    box->setBackgroundColor({90, 90, 100, 255});
    box->addView(new FillView(CRect{-10, 10, 60, 20}, {0, 200, 0, 255}));
    frame->addView(box);

    SharedPointer<CBitmap> strip = SharedPointer<CBitmap>::adopt(makeStrip());
    frame->addView(new BitmapsView(kSceneBitmapArea, strip.get()));
    frame->addView(new TextView(kSceneTextArea));
    frame->flush();
    return frame;
}

} // namespace brelvik::check
