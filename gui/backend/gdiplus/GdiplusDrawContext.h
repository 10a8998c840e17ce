#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <string>
#include <vector>

#include "gui/CDrawContext.h"
#include "gui/backend/PixelBuffer.h"
#include "gui/backend/gdiplus/GdiplusSession.h"

namespace brelvik::gui {

// The drawing interface on GDI+ (its flat API), painting straight into a PixelBuffer: the buffer's
// premultiplied ARGB is GDI+'s 32bppPARGB, so the context wraps it without a copy. Integer
// coordinates are pixel edges, as with cairo on Linux.
class GdiplusDrawContext : public CDrawContext {
public:
    explicit GdiplusDrawContext(PixelBuffer& buffer);
    ~GdiplusDrawContext() override;
    GdiplusDrawContext(const GdiplusDrawContext&) = delete;
    GdiplusDrawContext& operator=(const GdiplusDrawContext&) = delete;

    void saveState() override;
    void restoreState() override;
    void translate(int dx, int dy) override;
    void clipRect(const CRect& rect) override;
    void setGlobalAlpha(float alpha) override { globalAlpha_ = alpha; }
    float getGlobalAlpha() const override { return globalAlpha_; }

    void fillRect(const CRect& rect, const CColor& color) override;
    void strokeRect(const CRect& rect, const CColor& color, int width) override;
    void drawLine(const CPoint& from, const CPoint& to, const CColor& color, double width) override;
    void fillEllipse(const CRect& bounds, const CColor& color) override;
    void drawPolyline(const std::vector<CPointF>& points, const CColor& color, double width) override;
    void fillPolygon(const std::vector<CPointF>& points, const CColor& color) override;
    void drawBitmap(const CBitmap& bitmap, const CRect& dest, const CPoint& source, float alpha) override;
    void drawBitmapRotated(
        const CBitmap& bitmap, const CRect& source, const CPoint& centre, double radians, float alpha) override;
    void drawText(const std::string& text, const CRect& rect, const CFontDesc& font, const CColor& color,
        CHoriTxtAlign align) override;
    double textWidth(const std::string& text, const CFontDesc& font) override;
    double lineHeight(const CFontDesc& font) override;

private:
    struct SavedState {
        Gdiplus::GraphicsState graphics;
        float globalAlpha;
    };

    Gdiplus::ARGB argb(const CColor& color) const;
    Gdiplus::GpSolidFill* brush(const CColor& color);
    Gdiplus::GpPen* pen(const CColor& color, double width, Gdiplus::LineCap cap);
    const std::vector<Gdiplus::PointF>& toPoints(const std::vector<CPointF>& points);
    // The image attributes that scale a bitmap's alpha by `alpha`, or null when it stays as it is.
    Gdiplus::GpImageAttributes* alphaAttributes(float alpha);
    void drawImage(const CBitmap& bitmap, const Gdiplus::RectF& dest, const Gdiplus::RectF& source,
        Gdiplus::InterpolationMode interpolation, float alpha);
    // The font for `font`, created when it differs from the last one asked for.
    Gdiplus::GpFont* selectFont(const CFontDesc& font);
    const std::wstring& wide(const std::string& utf8);

    GdiplusSession session_;
    Gdiplus::GpBitmap* target_ = nullptr;
    Gdiplus::GpGraphics* graphics_ = nullptr;
    Gdiplus::GpSolidFill* brush_ = nullptr;
    Gdiplus::GpPen* pen_ = nullptr;
    Gdiplus::GpImageAttributes* attributes_ = nullptr;
    Gdiplus::GpStringFormat* format_ = nullptr;
    Gdiplus::GpFontFamily* family_ = nullptr;
    Gdiplus::GpFont* font_ = nullptr;
    std::string fontName_;
    double fontSize_ = 0.0;
    int fontStyle_ = -1;
    float globalAlpha_ = 1.0f;
    std::vector<SavedState> saved_;
    std::vector<Gdiplus::PointF> points_;
    std::wstring text_;
};

} // namespace brelvik::gui
