// Images: frames selected by messages and scale reports, links told the new frame, fades, and the
// loop, bounce, cross-fade and slide animations.
#include <gtest/gtest.h>

#include <vector>

#include "../gui/GuiTestSupport.h"
#include "EditorTestSupport.h"
#include "editor/images/CK_GUI_Image.h"
#include "gui/CFrame.h"

namespace brelvik::editor::test {
namespace {

using gui::CRect;
using gui::test::Rgba;

constexpr Rgba kFrameColours[] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};

struct Recorder : CK_LinkedView {
    void link(CK_LinkedView*, const CK_LinkMessage& m) override { got.push_back({m.id, m.value}); }
    std::vector<std::pair<int32_t, float>> got;
};

// A 2 x 2 image over a strip of four frames, red, green, blue and white, in a window of its size.
struct ImageWindow {
    explicit ImageWindow(bool visible = true)
    {
        std::vector<Rgba> pixels;
        for (const Rgba& c : kFrameColours)
            pixels.insert(pixels.end(), 4, c);
        gui::CBitmap* strip = gui::test::decode(gui::test::encodePng(2, 8, pixels));
        image = new CK_GUI_Image(CRect::fromSize(0, 0, 2, 2), strip, visible, 4);
        strip->forget();
        frame->addView(image);
    }
    ~ImageWindow() { frame->forget(); }
    void send(int32_t id, int32_t mode, float value = 0)
    {
        image->link(nullptr, CK_LinkedView::valueMessage(id, value, mode));
    }
    std::vector<int> frames(int ticks)
    {
        std::vector<int> shown;
        for (int t = 0; t < ticks; ++t) {
            image->onFrameTick();
            shown.push_back(image->shownFrame());
        }
        return shown;
    }
    const gui::PixelBuffer& render()
    {
        frame->invalidateAll();
        frame->flush();
        return frame->getBackBuffer();
    }

    gui::CFrame* frame = new gui::CFrame(2, 2);
    CK_GUI_Image* image;
};

TEST(GuiImage, MessagesSelectFramesInsideTheStripAndLinksHearOfThem)
{
    ImageWindow w;
    Recorder scale;
    w.image->link(&scale, CK_LinkedView::registerMessage(5));
    w.send(CK_LinkMessage::kIdScaleImage, 2);
    w.image->onFrameTick();
    EXPECT_TRUE(gui::test::near(w.render(), 0, 0, kFrameColours[2]));
    w.send(CK_LinkMessage::kIdMeterScale, 9); // beyond the strip: the last frame
    w.send(CK_LinkMessage::kIdMeterScale, 3); // unchanged: nobody is told
    EXPECT_EQ(scale.got, (std::vector<std::pair<int32_t, float>>{{5, 2.0f}, {5, 3.0f}}));
    w.send(CK_GUI_Image::kIdNext, 0, 1);
    EXPECT_EQ(w.image->selectedFrame(), 3);
    for (int i = 0; i < 5; ++i)
        w.send(CK_GUI_Image::kIdPrevious, 0, 1);
    EXPECT_EQ(w.image->selectedFrame(), 0);
    w.send(CK_GUI_Image::kIdPosition, 0, 0.67f);
    EXPECT_EQ(w.image->selectedFrame(), 2);
}

TEST(GuiImage, FadesInAndHidesWhenFadedOut)
{
    ImageWindow w(false);
    w.send(CK_GUI_Image::kIdFade, 51);
    EXPECT_TRUE(w.image->isVisible());
    w.frames(5);
    EXPECT_EQ(w.image->alpha(), 255);
    w.send(CK_GUI_Image::kIdFade, -51);
    w.frames(4);
    EXPECT_TRUE(w.image->isVisible());
    w.frames(1);
    EXPECT_FALSE(w.image->isVisible());
}

TEST(GuiImage, LoopsBouncesAndHoldsEachFrame)
{
    ImageWindow loop;
    loop.image->setAnimation({CK_GUI_Image::kLoop, false, 0, 1.0f, 0});
    EXPECT_EQ(loop.frames(5), std::vector<int>({1, 2, 3, 0, 1}));
    ImageWindow bounce;
    bounce.image->setAnimation({CK_GUI_Image::kBounce, false, 0, 1.0f, 0});
    EXPECT_EQ(bounce.frames(7), std::vector<int>({1, 2, 3, 2, 1, 0, 1}));
    ImageWindow held;
    held.image->setAnimation({CK_GUI_Image::kLoop, false, 0, 1.0f, 2});
    EXPECT_EQ(held.frames(7), std::vector<int>({1, 1, 1, 2, 2, 2, 3}));
}

TEST(GuiImage, CrossFadesAndSlidesFromOneFrameToTheNext)
{
    ImageWindow fade;
    fade.image->setAnimation({CK_GUI_Image::kCrossFade, false, 0, 0.5f, 0});
    fade.frames(3); // halfway from red to green: green at 0.25 over red at 0.75
    EXPECT_TRUE(gui::test::near(fade.render(), 0, 0, {143, 64, 0, 255}, 2));

    // Direction 1 brings each new frame in from the left: halfway, it covers the left column.
    ImageWindow slide;
    slide.image->setAnimation({CK_GUI_Image::kSlide, false, 1, 0.5f, 0});
    slide.frames(3);
    const gui::PixelBuffer& pixels = slide.render();
    EXPECT_TRUE(gui::test::near(pixels, 0, 0, kFrameColours[1]));
    EXPECT_TRUE(gui::test::near(pixels, 1, 0, kFrameColours[0]));
}

} // namespace
} // namespace brelvik::editor::test
