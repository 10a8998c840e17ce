// The editor's bitmaps as the plug-in carries them: present, at their sizes and frame layouts,
// clear of each other where views overlap, and drawn after the meter's own level mapping.
#include "platform/Resources.h"
#include "resources/artwork/BitmapCatalogue.h"
#include "resources/artwork/MeterScale.h"
#include "resources/artwork/TableReading.h"
#include "shell/ControlTable.h"
#include "shell/ParameterTags.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

struct PngReader {
    const unsigned char* data;
    size_t left;
};

cairo_status_t readPng(void* closure, unsigned char* out, unsigned int length)
{
    auto* r = static_cast<PngReader*>(closure);
    if (length > r->left) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, r->data, length);
    r->data += length;
    r->left -= length;
    return CAIRO_STATUS_SUCCESS;
}

using Surface = std::shared_ptr<cairo_surface_t>;

// The embedded bitmap decoded, or null when it is missing or broken.
Surface embedded(const char* name)
{
    const void* data = nullptr;
    size_t size = 0;
    if (!ck_findResource(name, "PNG", &data, &size)) return nullptr;
    PngReader reader{static_cast<const unsigned char*>(data), size};
    cairo_surface_t* s = cairo_image_surface_create_from_png_stream(readPng, &reader);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    cairo_surface_flush(s);
    return Surface(s, cairo_surface_destroy);
}

const Surface& bitmap(const char* name)
{
    static std::map<std::string, Surface> cache;
    const CK_BitmapInfo* bmp = ck_findBitmapInfo(name);
    const std::string key = bmp ? bmp->name : name;
    if (!cache.count(key)) cache[key] = embedded(key.c_str());
    return cache[key];
}

uint32_t pixel(const Surface& s, int x, int y)
{
    const unsigned char* row = cairo_image_surface_get_data(s.get()) + y * cairo_image_surface_get_stride(s.get());
    return reinterpret_cast<const uint32_t*>(row)[x];
}

int alpha(const Surface& s, int x, int y) { return static_cast<int>(pixel(s, x, y) >> 24); }
int red(const Surface& s, int x, int y) { return (pixel(s, x, y) >> 16) & 0xff; }
int green(const Surface& s, int x, int y) { return (pixel(s, x, y) >> 8) & 0xff; }
int blue(const Surface& s, int x, int y) { return pixel(s, x, y) & 0xff; }

// Whether any frame of the view's bitmap covers the pixel (x, y) of the view.
bool covers(const CK_PlacedView& v, int x, int y)
{
    const Surface& s = bitmap(v.bitmap);
    const int frames = cairo_image_surface_get_height(s.get()) / v.rect.height;
    for (int f = 0; f < frames; ++f)
        if (alpha(s, x, f * v.rect.height + y) > 0) return true;
    return false;
}

// The nearest container of a kind a view lies in, -1 for none.
int enclosing(const CK_PlacedView& v, CK_ViewKind kind)
{
    const std::vector<CK_PlacedView>& views = ck_placedViews();
    for (int p = v.parent; p >= 0; p = views[p].parent)
        if (views[p].kind == kind) return p;
    return -1;
}

// Whether two views can show at once without a panel between them: the same sliding panel (or
// the window), and not on two different band pages.
bool seenTogether(const CK_PlacedView& a, const CK_PlacedView& b)
{
    const int pageA = enclosing(a, CK_ViewKind::Page), pageB = enclosing(b, CK_ViewKind::Page);
    return enclosing(a, CK_ViewKind::Panel) == enclosing(b, CK_ViewKind::Panel) &&
           (pageA < 0 || pageB < 0 || pageA == pageB);
}

bool isContainer(const CK_PlacedView& v)
{
    return v.kind == CK_ViewKind::Panel || v.kind == CK_ViewKind::Page;
}

} // namespace

TEST(Artwork, EveryBitmapOfTheTableIsEmbeddedAtItsSizeWithAnEvenFrameDivision)
{
    std::set<std::string> named = {ck_backgroundBitmap()};
    ASSERT_NE(bitmap(ck_backgroundBitmap()), nullptr);
    for (const CK_PlacedView& v : ck_placedViews()) {
        if (!v.bitmap) continue;
        SCOPED_TRACE(v.bitmap);
        named.insert(v.bitmap);
        const CK_BitmapInfo* bmp = ck_findBitmapInfo(v.bitmap);
        ASSERT_NE(bmp, nullptr);
        const Surface& s = bitmap(v.bitmap);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(cairo_image_surface_get_format(s.get()), CAIRO_FORMAT_ARGB32);
        EXPECT_EQ(cairo_image_surface_get_width(s.get()), bmp->width);
        EXPECT_EQ(cairo_image_surface_get_height(s.get()), bmp->height);
        // The table's frame settings must split the strip into whole frames of the catalogue.
        ASSERT_GT(v.rect.height, 0);
        EXPECT_EQ(bmp->height % v.rect.height, 0);
        EXPECT_EQ(bmp->height / v.rect.height, bmp->frames);
    }
    EXPECT_EQ(named.size(), 36u);
    EXPECT_EQ(kBitmapCount, named.size());

    // The strip layouts that clicks and drawing depend on.
    EXPECT_EQ(ck_findBitmapInfo("KnobL.png")->frames, 101);
    EXPECT_EQ(ck_findBitmapInfo("KnobS.png")->frames, 101);
    EXPECT_EQ(ck_placedViews()[ck_findView(kTagPeakMeterLeft, CK_ViewKind::Meter)].rect.height * 2, 224);
    EXPECT_EQ(ck_findBitmapInfo("PkBar.png")->height, 4 * 224);
    EXPECT_EQ(ck_findBitmapInfo("BarScale.png")->height, 4 * 120);
    EXPECT_EQ(ck_findBitmapInfo("Bypass.png")->frames, 14);
}

TEST(Artwork, LookupIgnoresCase)
{
    const void* a = nullptr;
    const void* b = nullptr;
    size_t sa = 0, sb = 0;
    ASSERT_TRUE(ck_findResource("BGD.png", "PNG", &a, &sa));
    ASSERT_TRUE(ck_findResource("bgd.PNG", "png", &b, &sb));
    EXPECT_EQ(a, b);
    EXPECT_EQ(sa, sb);
    EXPECT_NE(ck_findBitmapInfo("kNOBl.PNG"), nullptr);
    EXPECT_FALSE(ck_findResource("BGD.png.bak", "PNG", &a, &sa));
}

// Where two views overlap, at most one of them may be opaque at any pixel in any frame: the other
// is clear there, so clicks reach the control that shows and the legend does not hide the bars.
TEST(Artwork, OverlappingViewsNeverBothCoverAPixel)
{
    const std::vector<CK_PlacedView>& views = ck_placedViews();
    int overlaps = 0;
    for (size_t i = 0; i < views.size(); ++i) {
        for (size_t j = i + 1; j < views.size(); ++j) {
            const CK_PlacedView& a = views[i];
            const CK_PlacedView& b = views[j];
            if (!a.bitmap || !b.bitmap || isContainer(a) || isContainer(b) || !seenTogether(a, b)) continue;
            const CK_Rect ra = ck_windowRect(a, false), rb = ck_windowRect(b, false);
            const int x0 = std::max(ra.x, rb.x), x1 = std::min(ra.right(), rb.right());
            const int y0 = std::max(ra.y, rb.y), y1 = std::min(ra.bottom(), rb.bottom());
            if (x0 >= x1 || y0 >= y1) continue;
            ++overlaps;
            int clashes = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    clashes += covers(a, x - ra.x, y - ra.y) && covers(b, x - rb.x, y - rb.y);
            EXPECT_EQ(clashes, 0) << a.bitmap << " (tag " << a.tag << ") and " << b.bitmap << " (tag " << b.tag
                                  << ") overlap at x " << x0 << ".." << x1 << ", y " << y0 << ".." << y1;
        }
    }
    // The table overlaps band tabs, EQ keys, band LEDs, knobs, menus, the legend and the meters.
    EXPECT_GE(overlaps, 15);
}

TEST(Artwork, MeterRowsFollowTheDisplayLaw)
{
    // 112 rows for 50 dB of display; below -30 dB the display halves the scale.
    EXPECT_DOUBLE_EQ(ck_meterRow(0.0), 0.0);
    EXPECT_DOUBLE_EQ(ck_meterRow(-10.0), 22.4);
    EXPECT_DOUBLE_EQ(ck_meterRow(-30.0), 67.2);
    EXPECT_DOUBLE_EQ(ck_meterRow(-50.0), 89.6);
    EXPECT_DOUBLE_EQ(ck_meterRow(-70.0), 112.0);
    EXPECT_DOUBLE_EQ(ck_meterRow(-200.0), 112.0);
    EXPECT_DOUBLE_EQ(ck_meterRow(3.0), 0.0);
    EXPECT_STREQ(ck_meterScaleName(2), "K14");
    EXPECT_EQ(ck_meterScaleOffset(3), 20.0);
    // A K14 legend reads 0 at -14 dBFS and +14 at full scale.
    const std::vector<CK_LegendMark> k14 = ck_legendMarks(2, 9.0);
    ASSERT_FALSE(k14.empty());
    EXPECT_EQ(k14.front().label, "+14");
    const auto zero = std::find_if(k14.begin(), k14.end(), [](const CK_LegendMark& m) { return m.label == "0"; });
    ASSERT_NE(zero, k14.end());
    EXPECT_DOUBLE_EQ(zero->dbfs, -14.0);
}

// Each scale's lit image turns amber at the scale's zero (-12 dBFS on the plain scale) and red
// 4 dB above it (-3 dBFS); the unlit image is dark.
TEST(Artwork, MeterStripColoursFollowEachScale)
{
    const Surface& bar = bitmap("PkBar.png");
    ASSERT_NE(bar, nullptr);
    const int x = 7; // the middle of the bar
    struct Probe {
        double dbfs;
        char zone;
    };
    const std::vector<std::vector<Probe>> probes = {
        {{-20, 'g'}, {-8, 'y'}, {-1, 'r'}},
        {{-16, 'g'}, {-10, 'y'}, {-5, 'r'}},
        {{-18, 'g'}, {-12, 'y'}, {-7, 'r'}},
        {{-24, 'g'}, {-18, 'y'}, {-10, 'r'}},
    };
    for (int scale = 0; scale < kMeterScales; ++scale) {
        for (const Probe& p : probes[scale]) {
            SCOPED_TRACE(std::string(ck_meterScaleName(scale)) + " at " + std::to_string(p.dbfs) + " dBFS");
            const int row = static_cast<int>(ck_meterRow(p.dbfs));
            const int lit = (2 * scale + 1) * kMeterRows + row, unlit = 2 * scale * kMeterRows + row;
            const int r = red(bar, x, lit), g = green(bar, x, lit), b = blue(bar, x, lit);
            bool right = false;
            if (p.zone == 'g') right = g > 2 * r && 2 * g > 3 * b;
            if (p.zone == 'y') right = r > 2 * b && g > 2 * b && g * 2 > r;
            if (p.zone == 'r') right = r > 3 * g && r > 3 * b;
            EXPECT_TRUE(right) << "zone " << p.zone << ": rgb " << r << " " << g << " " << b;
            EXPECT_LT(red(bar, x, unlit) + green(bar, x, unlit), (r + g) / 3);
        }
    }
}

namespace {

// Sum of r + g + b over one frame.
long brightness(const Surface& s, int frame, int frameHeight)
{
    long sum = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < cairo_image_surface_get_width(s.get()); ++x)
            sum += red(s, x, frame * frameHeight + y) + green(s, x, frame * frameHeight + y) +
                   blue(s, x, frame * frameHeight + y);
    return sum;
}

} // namespace

TEST(Artwork, KnobArcsAndLedsGrowTowardTheirLastFrame)
{
    for (const char* name : {"KnobL.png", "KnobS.png", "Led_OnOff.png", "LowOn.png", "eqon.png", "HD.png"}) {
        SCOPED_TRACE(name);
        const CK_BitmapInfo* bmp = ck_findBitmapInfo(name);
        const Surface& s = bitmap(name);
        ASSERT_NE(s, nullptr);
        const int fh = bmp->height / bmp->frames;
        const int step = bmp->frames > 20 ? 10 : 1;
        for (int f = step; f < bmp->frames; f += step)
            EXPECT_GT(brightness(s, f, fh), brightness(s, f - step, fh)) << "frame " << f;
    }
    // The bypass button idles in frame 0 and is lit in every frame of its loop.
    const Surface& bypass = bitmap("Bypass.png");
    for (int f = 1; f < 14; ++f)
        EXPECT_GT(brightness(bypass, f, 17), brightness(bypass, 0, 17)) << "frame " << f;
}
