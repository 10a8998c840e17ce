#include "gui/backend/gdiplus/GdiplusDrawContext.h"

#include <cmath>

#include "gui/CBitmap.h"
#include "gui/backend/DrawBackend.h"

namespace brelvik::gui {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

namespace {
constexpr double kPi = 3.14159265358979323846;

// A GDI+ bitmap over a bitmap's own pixels, without copying them; dispose after use.
GpBitmap* wrapBitmap(const CBitmap& bitmap)
{
    GpBitmap* image = nullptr;
    GdipCreateBitmapFromScan0(bitmap.getWidth(), bitmap.getHeight(), bitmap.getWidth() * 4, PixelFormat32bppPARGB,
        reinterpret_cast<BYTE*>(const_cast<uint32_t*>(bitmap.pixels())), &image);
    return image;
}

int fontStyleOf(const CFontDesc& font)
{
    int style = FontStyleRegular;
    if (font.getStyle() & CFontDesc::kBold)
        style |= FontStyleBold;
    if (font.getStyle() & CFontDesc::kItalic)
        style |= FontStyleItalic;
    return style;
}

std::wstring wideName(const std::string& name)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, nullptr, 0);
    std::wstring result(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, name.c_str(), -1, result.data(), length);
    return result;
}

// The family the font names: itself where the system has it (Arial on Windows), else its
// metric-compatible substitute (Liberation Sans under wine), else the system's sans-serif.
GpFontFamily* findFamily(const CFontDesc& font)
{
    GpFontFamily* family = nullptr;
    for (const std::string& name : {font.getName(), font.resolvedFamily()})
        if (GdipCreateFontFamilyFromName(wideName(name).c_str(), nullptr, &family) == Ok)
            return family;
    GpFontFamily* generic = nullptr;
    if (GdipGetGenericFontFamilySansSerif(&generic) == Ok)
        GdipCloneFontFamily(generic, &family);
    return family;
}
} // namespace

std::unique_ptr<CDrawContext> createDrawContext(PixelBuffer& buffer)
{
    return std::make_unique<GdiplusDrawContext>(buffer);
}

GdiplusDrawContext::GdiplusDrawContext(PixelBuffer& buffer)
{
    saved_.reserve(16);
    if (!session_.isRunning() || buffer.width <= 0 || buffer.height <= 0)
        return;
    if (GdipCreateBitmapFromScan0(buffer.width, buffer.height, buffer.stride(), PixelFormat32bppPARGB,
            reinterpret_cast<BYTE*>(buffer.pixels.data()), &target_)
            != Ok
        || GdipGetImageGraphicsContext(target_, &graphics_) != Ok) {
        graphics_ = nullptr;
        return;
    }
    GdipSetSmoothingMode(graphics_, SmoothingModeAntiAlias);
    GdipSetPixelOffsetMode(graphics_, PixelOffsetModeHalf);
    GdipSetCompositingMode(graphics_, CompositingModeSourceOver);
    GdipSetTextRenderingHint(graphics_, TextRenderingHintAntiAlias);
    GdipCreateSolidFill(0, &brush_);
    GdipCreatePen1(0, 1.0f, UnitPixel, &pen_);
    GdipSetPenLineJoin(pen_, LineJoinRound);
    GpStringFormat* typographic = nullptr;
    GdipStringFormatGetGenericTypographic(&typographic);
    GdipCloneStringFormat(typographic, &format_);
    GdipSetStringFormatFlags(
        format_, StringFormatFlagsNoWrap | StringFormatFlagsNoClip | StringFormatFlagsMeasureTrailingSpaces);
}

GdiplusDrawContext::~GdiplusDrawContext()
{
    if (font_)
        GdipDeleteFont(font_);
    if (family_)
        GdipDeleteFontFamily(family_);
    if (format_)
        GdipDeleteStringFormat(format_);
    if (attributes_)
        GdipDisposeImageAttributes(attributes_);
    if (pen_)
        GdipDeletePen(pen_);
    if (brush_)
        GdipDeleteBrush(brush_);
    if (graphics_)
        GdipDeleteGraphics(graphics_);
    if (target_)
        GdipDisposeImage(target_);
}

void GdiplusDrawContext::saveState()
{
    SavedState state{0, globalAlpha_};
    if (graphics_)
        GdipSaveGraphics(graphics_, &state.graphics);
    saved_.push_back(state);
}

void GdiplusDrawContext::restoreState()
{
    if (saved_.empty())
        return;
    if (graphics_)
        GdipRestoreGraphics(graphics_, saved_.back().graphics);
    globalAlpha_ = saved_.back().globalAlpha;
    saved_.pop_back();
}

void GdiplusDrawContext::translate(int dx, int dy)
{
    if (graphics_)
        GdipTranslateWorldTransform(graphics_, static_cast<REAL>(dx), static_cast<REAL>(dy), MatrixOrderPrepend);
}

void GdiplusDrawContext::clipRect(const CRect& rect)
{
    if (graphics_)
        GdipSetClipRectI(graphics_, rect.left, rect.top, rect.width(), rect.height(), CombineModeIntersect);
}

ARGB GdiplusDrawContext::argb(const CColor& color) const
{
    const auto alpha = static_cast<ARGB>(std::lround(color.alpha * globalAlpha_));
    return alpha << 24 | static_cast<ARGB>(color.red) << 16 | static_cast<ARGB>(color.green) << 8 | color.blue;
}

GpSolidFill* GdiplusDrawContext::brush(const CColor& color)
{
    GdipSetSolidFillColor(brush_, argb(color));
    return brush_;
}

GpPen* GdiplusDrawContext::pen(const CColor& color, double width, LineCap cap)
{
    GdipSetPenColor(pen_, argb(color));
    GdipSetPenWidth(pen_, static_cast<REAL>(width));
    GdipSetPenStartCap(pen_, cap);
    GdipSetPenEndCap(pen_, cap);
    return pen_;
}

const std::vector<PointF>& GdiplusDrawContext::toPoints(const std::vector<CPointF>& points)
{
    points_.clear();
    for (const CPointF& p : points)
        points_.push_back(PointF(static_cast<REAL>(p.x), static_cast<REAL>(p.y)));
    return points_;
}

void GdiplusDrawContext::fillRect(const CRect& rect, const CColor& color)
{
    if (graphics_)
        GdipFillRectangleI(graphics_, brush(color), rect.left, rect.top, rect.width(), rect.height());
}

void GdiplusDrawContext::strokeRect(const CRect& rect, const CColor& color, int width)
{
    if (!graphics_)
        return;
    const REAL half = width / 2.0f;
    GdipDrawRectangle(graphics_, pen(color, width, LineCapFlat), rect.left + half, rect.top + half,
        static_cast<REAL>(rect.width() - width), static_cast<REAL>(rect.height() - width));
}

void GdiplusDrawContext::drawLine(const CPoint& from, const CPoint& to, const CColor& color, double width)
{
    if (graphics_)
        GdipDrawLine(graphics_, pen(color, width, LineCapSquare), from.x + 0.5f, from.y + 0.5f, to.x + 0.5f,
            to.y + 0.5f);
}

void GdiplusDrawContext::fillEllipse(const CRect& bounds, const CColor& color)
{
    if (graphics_)
        GdipFillEllipseI(graphics_, brush(color), bounds.left, bounds.top, bounds.width(), bounds.height());
}

void GdiplusDrawContext::drawPolyline(const std::vector<CPointF>& points, const CColor& color, double width)
{
    if (!graphics_ || points.size() < 2)
        return;
    const std::vector<PointF>& p = toPoints(points);
    GdipDrawLines(graphics_, pen(color, width, LineCapFlat), p.data(), static_cast<INT>(p.size()));
}

void GdiplusDrawContext::fillPolygon(const std::vector<CPointF>& points, const CColor& color)
{
    if (!graphics_ || points.size() < 3)
        return;
    const std::vector<PointF>& p = toPoints(points);
    GdipFillPolygon(graphics_, brush(color), p.data(), static_cast<INT>(p.size()), FillModeWinding);
}

GpImageAttributes* GdiplusDrawContext::alphaAttributes(float alpha)
{
    if (alpha >= 1.0f)
        return nullptr;
    if (!attributes_ && GdipCreateImageAttributes(&attributes_) != Ok)
        return nullptr;
    ColorMatrix matrix{};
    for (int i = 0; i < 5; ++i)
        matrix.m[i][i] = 1.0f;
    matrix.m[3][3] = alpha < 0.0f ? 0.0f : alpha;
    GdipSetImageAttributesColorMatrix(attributes_, ColorAdjustTypeDefault, TRUE, &matrix, nullptr,
        ColorMatrixFlagsDefault);
    return attributes_;
}

void GdiplusDrawContext::drawImage(
    const CBitmap& bitmap, const RectF& dest, const RectF& source, InterpolationMode interpolation, float alpha)
{
    if (!graphics_)
        return;
    GpBitmap* image = wrapBitmap(bitmap);
    if (!image)
        return;
    GdipSetInterpolationMode(graphics_, interpolation);
    GdipDrawImageRectRect(graphics_, image, dest.X, dest.Y, dest.Width, dest.Height,
        source.X, source.Y, source.Width, source.Height, UnitPixel, alphaAttributes(alpha * globalAlpha_), nullptr, nullptr);
    GdipDisposeImage(image);
}

void GdiplusDrawContext::drawBitmap(const CBitmap& bitmap, const CRect& dest, const CPoint& source, float alpha)
{
    // Only the part of the bitmap that exists is drawn; the rest of `dest` stays untouched.
    const CRect wanted = CRect::fromSize(source.x, source.y, dest.width(), dest.height());
    const CRect part = wanted.intersect(CRect{0, 0, bitmap.getWidth(), bitmap.getHeight()});
    if (part.isEmpty())
        return;
    const RectF to(static_cast<REAL>(dest.left + part.left - source.x), static_cast<REAL>(dest.top + part.top - source.y),
        static_cast<REAL>(part.width()), static_cast<REAL>(part.height()));
    const RectF from(static_cast<REAL>(part.left), static_cast<REAL>(part.top), static_cast<REAL>(part.width()),
        static_cast<REAL>(part.height()));
    drawImage(bitmap, to, from, InterpolationModeNearestNeighbor, alpha);
}

void GdiplusDrawContext::drawBitmapRotated(
    const CBitmap& bitmap, const CRect& source, const CPoint& centre, double radians, float alpha)
{
    if (!graphics_)
        return;
    GraphicsState state = 0;
    GdipSaveGraphics(graphics_, &state);
    // Without GDI+'s pixel offset, pixel centres lie on whole device coordinates and images are
    // sampled at their pixels' corners; both are moved by half a pixel here, the first in device
    // space, so that a rotated image lands where it does on Linux whatever the angle.
    GdipSetPixelOffsetMode(graphics_, PixelOffsetModeNone);
    GdipTranslateWorldTransform(graphics_, -0.5f, -0.5f, MatrixOrderAppend);
    GdipTranslateWorldTransform(
        graphics_, static_cast<REAL>(centre.x), static_cast<REAL>(centre.y), MatrixOrderPrepend);
    GdipRotateWorldTransform(graphics_, static_cast<REAL>(radians * 180.0 / kPi), MatrixOrderPrepend);
    const REAL halfW = source.width() / 2.0f;
    const REAL halfH = source.height() / 2.0f;
    const RectF size(-halfW, -halfH, static_cast<REAL>(source.width()), static_cast<REAL>(source.height()));
    const RectF from(source.left - 0.5f, source.top - 0.5f, size.Width, size.Height);
    drawImage(bitmap, size, from, InterpolationModeBilinear, alpha);
    GdipRestoreGraphics(graphics_, state);
    GdipSetPixelOffsetMode(graphics_, PixelOffsetModeHalf);
}

const std::wstring& GdiplusDrawContext::wide(const std::string& utf8)
{
    text_.clear();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (length > 0) {
        text_.resize(static_cast<size_t>(length));
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text_.data(), length);
    }
    return text_;
}

GpFont* GdiplusDrawContext::selectFont(const CFontDesc& font)
{
    if (font_ && font.getName() == fontName_ && font.getSize() == fontSize_ && font.getStyle() == fontStyle_)
        return font_;
    if (font_)
        GdipDeleteFont(font_);
    font_ = nullptr;
    if (!family_ || font.getName() != fontName_) {
        if (family_)
            GdipDeleteFontFamily(family_);
        family_ = findFamily(font);
    }
    fontName_ = font.getName();
    fontSize_ = font.getSize();
    fontStyle_ = font.getStyle();
    if (family_)
        GdipCreateFont(family_, static_cast<REAL>(fontSize_), fontStyleOf(font), UnitPixel, &font_);
    return font_;
}

void GdiplusDrawContext::drawText(
    const std::string& text, const CRect& rect, const CFontDesc& font, const CColor& color, CHoriTxtAlign align)
{
    if (!graphics_ || text.empty())
        return;
    GpFont* gpFont = selectFont(font);
    if (!gpFont)
        return;
    const int style = fontStyleOf(font);
    UINT16 emHeight = 1, cellAscent = 0, cellDescent = 0;
    GdipGetEmHeight(family_, style, &emHeight);
    GdipGetCellAscent(family_, style, &cellAscent);
    GdipGetCellDescent(family_, style, &cellDescent);
    const double scale = font.getSize() / (emHeight ? emHeight : 1);
    const double ascent = cellAscent * scale;
    const double descent = cellDescent * scale;

    const double width = textWidth(text, font);
    double x = rect.left;
    if (align == CHoriTxtAlign::kCenter)
        x = rect.left + (rect.width() - width) / 2.0;
    if (align == CHoriTxtAlign::kRight)
        x = rect.right - width;
    const double baseline = std::round(rect.top + (rect.height() - (ascent + descent)) / 2.0 + ascent);

    GraphicsState state = 0;
    GdipSaveGraphics(graphics_, &state);
    GdipSetClipRectI(graphics_, rect.left, rect.top, rect.width(), rect.height(), CombineModeIntersect);
    const std::wstring& w = wide(text);
    const RectF layout(static_cast<REAL>(std::round(x)), static_cast<REAL>(baseline - ascent), 0.0f, 0.0f);
    GdipDrawString(graphics_, w.c_str(), static_cast<INT>(w.size()), gpFont, &layout, format_, brush(color));
    GdipRestoreGraphics(graphics_, state);
}

double GdiplusDrawContext::textWidth(const std::string& text, const CFontDesc& font)
{
    if (!graphics_ || text.empty())
        return 0.0;
    GpFont* gpFont = selectFont(font);
    if (!gpFont)
        return 0.0;
    const std::wstring& w = wide(text);
    const RectF layout(0.0f, 0.0f, 0.0f, 0.0f);
    RectF bounds;
    if (GdipMeasureString(graphics_, w.c_str(), static_cast<INT>(w.size()), gpFont, &layout, format_, &bounds, nullptr,
            nullptr)
        != Ok)
        return 0.0;
    return bounds.Width;
}

double GdiplusDrawContext::lineHeight(const CFontDesc& font)
{
    if (!graphics_ || !selectFont(font))
        return font.getSize();
    const int style = fontStyleOf(font);
    UINT16 emHeight = 1, spacing = 0;
    GdipGetEmHeight(family_, style, &emHeight);
    GdipGetLineSpacing(family_, style, &spacing);
    return font.getSize() * spacing / (emHeight ? emHeight : 1);
}

} // namespace brelvik::gui
