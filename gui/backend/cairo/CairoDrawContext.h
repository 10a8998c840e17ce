#pragma once

#include <cairo.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gui/CDrawContext.h"
#include "gui/backend/PixelBuffer.h"

namespace brelvik::gui {

// The drawing interface on cairo, painting into a PixelBuffer through a cairo image surface.
class CairoDrawContext : public CDrawContext {
public:
    explicit CairoDrawContext(PixelBuffer& buffer);
    ~CairoDrawContext() override;

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
    void setColor(const CColor& color);
    void selectFont(const CFontDesc& font);
    void tracePath(const std::vector<CPointF>& points);

    cairo_surface_t* surface_;
    cairo_t* cr_;
    // Font faces by family and style, held for the context's life: resolving a family through
    // fontconfig is far dearer than drawing the text, and cairo would forget a face nobody holds.
    std::map<std::pair<std::string, int>, cairo_font_face_t*> faces_;
    float globalAlpha_ = 1.0f;
    std::vector<float> savedAlphas_;
};

} // namespace brelvik::gui
