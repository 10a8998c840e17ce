// Bitmap decoding, lookup through the resolver, and reference counting.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/CFrame.h"

namespace brelvik::gui::test {
namespace {

TEST(GuiBitmap, DecodesPngToPremultipliedPixelsWithAlphaLookup)
{
    MapResolver resolver;
    resolver.files["two.png"] = encodePng(2, 1, {{255, 0, 0, 255}, {0, 0, 255, 128}});
    std::string error;
    SharedPointer<CBitmap> bitmap = SharedPointer<CBitmap>::adopt(CBitmap::load(resolver, "two.png", &error));
    ASSERT_TRUE(bitmap) << error;
    EXPECT_EQ(bitmap->getWidth(), 2);
    EXPECT_EQ(bitmap->getHeight(), 1);
    EXPECT_EQ(bitmap->pixels()[0], 0xFFFF0000u);
    EXPECT_EQ(bitmap->pixels()[1], 0x80000080u); // blue 255 at alpha 128, premultiplied
    EXPECT_EQ(bitmap->alphaAt(1, 0), 128);
    EXPECT_EQ(bitmap->alphaAt(2, 0), 0);
    EXPECT_EQ(bitmap->alphaAt(-1, 0), 0);
    EXPECT_TRUE(bitmap->frameRect(3, 40) == CRect::fromSize(0, 120, 2, 40));
}

TEST(GuiBitmap, MissingOrBrokenFilesAreReportedNotDrawn)
{
    MapResolver resolver;
    resolver.files["broken.png"] = {0x89, 'P', 'N', 'G', 1, 2, 3};
    std::string error;
    EXPECT_EQ(CBitmap::load(resolver, "absent.png", &error), nullptr);
    EXPECT_EQ(error, "bitmap not found: absent.png");
    EXPECT_EQ(CBitmap::load(resolver, "broken.png", &error), nullptr);
    EXPECT_EQ(error.rfind("broken.png: ", 0), 0u) << error;
    EXPECT_EQ(CBitmap::fromPixels(2, 2, std::vector<uint32_t>(3)), nullptr);
}

TEST(GuiBitmap, ViewsShareOneBitmapByReference)
{
    CBitmap* bitmap = CBitmap::fromPixels(1, 1, {0xFF000000u});
    ASSERT_NE(bitmap, nullptr);
    {
        CFrame frame(10, 10);
        auto* a = new CView(CRect{0, 0, 1, 1});
        auto* b = new CView(CRect{1, 0, 2, 1});
        a->setBackground(bitmap);
        b->setBackground(bitmap);
        frame.addView(a);
        frame.addView(b);
        EXPECT_EQ(bitmap->getNbReference(), 3);
        b->setBackground(nullptr);
        EXPECT_EQ(bitmap->getNbReference(), 2);
        frame.removeView(a); // released and deleted
        EXPECT_EQ(bitmap->getNbReference(), 1);
        auto* c = new CView(CRect{0, 0, 1, 1});
        c->setBackground(bitmap);
        frame.addView(c);
    }
    EXPECT_EQ(bitmap->getNbReference(), 1); // the frame freed its views with their references
    bitmap->forget();
}

} // namespace
} // namespace brelvik::gui::test
