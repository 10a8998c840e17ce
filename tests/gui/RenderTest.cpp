// Offscreen rendering: nested containers, alpha blending, bitmap strips, text, PNG output.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "GuiTestSupport.h"
#include "gui/CFrame.h"
#include "gui/CViewContainer.h"
#include "gui/controls/CKnob.h"

namespace brelvik::gui::test {
namespace {

// Expected channel of `src` at `alpha` (0..255) over an opaque `dst`: src·a + dst·(1 − a).
int over(int src, int dst, double alpha)
{
    return static_cast<int>(src * alpha / 255.0 + dst * (1 - alpha / 255.0) + 0.5);
}

TEST(GuiRender, NestedContainersOffsetChildrenAndClipThem)
{
    CFrame frame(120, 80);
    frame.setBackgroundColor(kWhiteCColor);
    auto* outer = new CViewContainer(CRect{10, 10, 110, 70});
    outer->setBackgroundColor({100, 100, 100, 255});
    auto* inner = new CViewContainer(CRect{20, 20, 60, 50}); // frame (30, 30) to (70, 60)
    inner->addView(new FillView(CRect{-5, -5, 100, 100}, {255, 0, 0, 128}));
    outer->addView(inner);
    frame.addView(outer);
    frame.flush();
    const PixelBuffer& px = frame.getBackBuffer();

    const Rgba halfRedOnGrey{uint8_t(over(255, 100, 128)), uint8_t(over(0, 100, 128)), uint8_t(over(0, 100, 128)), 255};
    EXPECT_TRUE(near(px, 30, 30, halfRedOnGrey));
    EXPECT_TRUE(near(px, 69, 59, halfRedOnGrey));
    EXPECT_TRUE(near(px, 29, 35, {100, 100, 100, 255})); // left of the inner container
    EXPECT_TRUE(near(px, 70, 35, {100, 100, 100, 255})); // the child reaches past the inner container: clipped
    EXPECT_TRUE(near(px, 35, 60, {100, 100, 100, 255}));
    EXPECT_TRUE(near(px, 5, 5, {255, 255, 255, 255}));
    EXPECT_TRUE(near(px, 110, 40, {255, 255, 255, 255}));
}

class BitmapView : public CView {
public:
    BitmapView(const CRect& size, CBitmap* bitmap, float alpha) : CView(size), alpha_(alpha) { setBackground(bitmap); }
    void draw(CDrawContext& context) override { context.drawBitmap(*background_, size_, {0, 0}, alpha_); }

private:
    float alpha_;
};

TEST(GuiRender, StripFramesAndAlphaBlendWithGlobalAlpha)
{
    // Two frames of 4 x 4: opaque blue, then green at alpha 128.
    std::vector<Rgba> strip(4 * 8);
    for (int i = 0; i < 16; ++i)
        strip[i] = {0, 0, 255, 255};
    for (int i = 16; i < 32; ++i)
        strip[i] = {0, 255, 0, 128};
    SharedPointer<CBitmap> bitmap = SharedPointer<CBitmap>::adopt(decode(encodePng(4, 8, strip)));
    ASSERT_TRUE(bitmap);

    CFrame frame(20, 4);
    frame.setBackgroundColor(kWhiteCColor);
    auto* low = new CAnimKnob(CRect{0, 0, 4, 4}, nullptr, 1, 2, 4, bitmap.get());
    auto* high = new CAnimKnob(CRect{5, 0, 9, 4}, nullptr, 2, 2, 4, bitmap.get());
    high->setValue(1.0f);
    auto* inverse = new CAnimKnob(CRect{10, 0, 14, 4}, nullptr, 3, 2, 4, bitmap.get());
    inverse->setInverseBitmap(true);
    frame.addView(low);
    frame.addView(high);
    frame.addView(inverse);
    frame.addView(new BitmapView(CRect{15, 0, 19, 4}, bitmap.get(), 0.5f));
    frame.flush();
    const PixelBuffer& px = frame.getBackBuffer();

    EXPECT_TRUE(near(px, 1, 1, {0, 0, 255, 255}));
    const Rgba greenOnWhite{uint8_t(over(0, 255, 128)), 255, uint8_t(over(0, 255, 128)), 255};
    EXPECT_TRUE(near(px, 6, 2, greenOnWhite));
    EXPECT_TRUE(near(px, 11, 2, greenOnWhite)); // inverse strip: value 0 shows the last frame
    const Rgba halfBlueOnWhite{uint8_t(over(0, 255, 127.5)), uint8_t(over(0, 255, 127.5)), 255, 255};
    EXPECT_TRUE(near(px, 16, 1, halfBlueOnWhite));
    EXPECT_TRUE(near(px, 19, 1, {255, 255, 255, 255}));
}

class ShapesView : public CView {
public:
    ShapesView(const CRect& size, CBitmap* bitmap) : CView(size) { setBackground(bitmap); }
    void draw(CDrawContext& context) override
    {
        context.strokeRect(CRect{0, 0, 6, 6}, {255, 0, 0, 255});
        context.drawLine({2, 3}, {3, 3}, {0, 0, 255, 255});
        context.drawBitmapRotated(*background_, CRect{0, 0, 2, 2}, {9, 1}, 3.14159265358979323846 / 2);
    }
};

TEST(GuiRender, OutlinesLinesAndRotatedBitmapsLandOnWholePixels)
{
    // Red, green / blue, white; turned a quarter clockwise the blue pixel comes to the top left.
    SharedPointer<CBitmap> bitmap = SharedPointer<CBitmap>::adopt(
        decode(encodePng(2, 2, {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}})));
    CFrame frame(12, 6);
    frame.setBackgroundColor(kBlackCColor);
    frame.addView(new ShapesView(CRect{0, 0, 12, 6}, bitmap.get()));
    frame.flush();
    const PixelBuffer& px = frame.getBackBuffer();

    EXPECT_TRUE(near(px, 0, 0, {255, 0, 0, 255}));
    EXPECT_TRUE(near(px, 5, 5, {255, 0, 0, 255}));
    EXPECT_TRUE(near(px, 1, 1, {0, 0, 0, 255}));
    EXPECT_TRUE(near(px, 2, 3, {0, 0, 255, 255}));
    EXPECT_TRUE(near(px, 3, 3, {0, 0, 255, 255}));
    EXPECT_TRUE(near(px, 2, 2, {0, 0, 0, 255}));
    EXPECT_TRUE(near(px, 8, 0, {0, 0, 255, 255}));
    EXPECT_TRUE(near(px, 9, 0, {255, 0, 0, 255}));
    EXPECT_TRUE(near(px, 8, 1, {255, 255, 255, 255}));
    EXPECT_TRUE(near(px, 9, 1, {0, 255, 0, 255}));
}

class PolygonView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext& context) override
    {
        context.fillPolygon({{0, 0}, {8, 0}, {8, 8}}, kWhiteCColor); // the upper right half
        context.drawPolyline({{0, 9.5}, {4, 9.5}, {8, 9.5}}, {255, 0, 0, 255}, 1.0);
    }
};

TEST(GuiRender, PolygonsFillTheirInsideAndPolylinesFollowTheirPoints)
{
    CFrame frame(8, 12);
    frame.setBackgroundColor(kBlackCColor);
    frame.addView(new PolygonView(CRect{0, 0, 8, 12}));
    frame.flush();
    const PixelBuffer& px = frame.getBackBuffer();
    EXPECT_TRUE(near(px, 6, 1, {255, 255, 255, 255}));
    EXPECT_TRUE(near(px, 1, 6, {0, 0, 0, 255}));
    EXPECT_TRUE(near(px, 4, 9, {255, 0, 0, 255}));
    EXPECT_TRUE(near(px, 4, 10, {0, 0, 0, 255}));
    EXPECT_TRUE(near(px, 4, 8, {0, 0, 0, 255}));
}

class TextView : public CView {
public:
    TextView(const CRect& size, std::string text, CHoriTxtAlign align)
        : CView(size), text_(std::move(text)), align_(align)
    {
    }
    void draw(CDrawContext& context) override
    {
        context.fillRect(size_, kWhiteCColor);
        context.drawText(text_, size_, CFontDesc("Arial", 20), kBlackCColor, align_);
    }

private:
    std::string text_;
    CHoriTxtAlign align_;
};

struct Ink {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
};

Ink inkOf(const PixelBuffer& px, const CRect& area)
{
    Ink ink;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (channels(px.at(x, y)).r < 128) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

TEST(GuiRender, TextIsSizedInPixelsAlignedAndClippedToItsRect)
{
    CFrame frame(200, 40);
    frame.setBackgroundColor(kWhiteCColor);
    frame.addView(new TextView(CRect{0, 0, 60, 40}, "H", CHoriTxtAlign::kLeft));
    frame.addView(new TextView(CRect{60, 0, 120, 40}, "H", CHoriTxtAlign::kRight));
    frame.addView(new TextView(CRect{130, 10, 150, 30}, "WWWWWWWW", CHoriTxtAlign::kCenter));
    frame.flush();
    const PixelBuffer& px = frame.getBackBuffer();

    // "Arial" is Liberation Sans, whose capitals are 1409/2048 of the em high: 13.8 pixels at 20 pixels.
    const Ink left = inkOf(px, CRect{0, 0, 60, 40});
    EXPECT_NEAR(left.bottom - left.top + 1, 1409.0 / 2048 * 20, 1.0);
    EXPECT_LE(left.left, 3);
    EXPECT_NEAR((left.top + left.bottom) / 2.0, 20, 2.0); // vertically centred
    const Ink right = inkOf(px, CRect{60, 0, 120, 40});
    EXPECT_GE(right.right, 120 - 4);

    const Ink wide = inkOf(px, CRect{120, 0, 200, 40});
    EXPECT_GE(wide.left, 130);
    EXPECT_LE(wide.right, 149);
    EXPECT_GE(wide.top, 10);
    EXPECT_LE(wide.bottom, 29);
    EXPECT_EQ(inkOf(px, CRect{120, 0, 130, 40}).right, -1);
    EXPECT_GT(frame.getDrawContext().textWidth("WWW", CFontDesc("Arial", 20)),
        frame.getDrawContext().textWidth("iii", CFontDesc("Arial", 20)));
}

TEST(GuiRender, FrameAndSingleViewRenderToPngFiles)
{
    CFrame frame(30, 20);
    frame.setBackgroundColor({10, 20, 30, 255});
    frame.addView(new FillView(CRect{5, 5, 15, 15}, {200, 100, 50, 255}));
    const std::string path = ::testing::TempDir() + "gui-frame-" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(frame.renderToPng(path, nullptr));

    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    SharedPointer<CBitmap> back = SharedPointer<CBitmap>::adopt(CBitmap::fromPng(bytes.data(), bytes.size(), nullptr));
    ASSERT_TRUE(back);
    ASSERT_EQ(back->getWidth(), 30);
    EXPECT_EQ(0, std::memcmp(back->pixels(), frame.getBackBuffer().pixels.data(), 30 * 20 * 4));

    FillView alone(CRect{40, 50, 44, 52}, {1, 2, 3, 255});
    const PixelBuffer view = CFrame::renderView(alone);
    ASSERT_EQ(view.width, 4);
    EXPECT_TRUE(near(view, 3, 1, {1, 2, 3, 255}, 0));
    EXPECT_FALSE(frame.renderToPng("/nonexistent-folder/x.png", nullptr));
    std::remove(path.c_str());
}

} // namespace
} // namespace brelvik::gui::test
