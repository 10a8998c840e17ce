#pragma once

#include <string>
#include <vector>

#include "gui/CFontDesc.h"
#include "gui/CGeometry.h"

namespace brelvik::gui {

class CBitmap;

enum class CHoriTxtAlign { kLeft, kCenter, kRight };

// The one drawing interface every view draws through; each platform backend implements it.
// Coordinates are pixels in the current coordinate system (see translate); colours and bitmaps
// blend with their alpha, scaled by the global alpha.
class CDrawContext {
public:
    virtual ~CDrawContext() = default;

    // Save and restore the coordinate origin, the clip and the global alpha.
    virtual void saveState() = 0;
    virtual void restoreState() = 0;
    virtual void translate(int dx, int dy) = 0;
    // Narrows the clip to `rect` (never widens it).
    virtual void clipRect(const CRect& rect) = 0;
    virtual void setGlobalAlpha(float alpha) = 0;
    virtual float getGlobalAlpha() const = 0;

    virtual void fillRect(const CRect& rect, const CColor& color) = 0;
    // A line of `width` pixels just inside `rect`.
    virtual void strokeRect(const CRect& rect, const CColor& color, int width = 1) = 0;
    // A line through the pixel centres of `from` and `to`.
    virtual void drawLine(const CPoint& from, const CPoint& to, const CColor& color, double width = 1.0) = 0;
    virtual void fillEllipse(const CRect& bounds, const CColor& color) = 0;
    // Curves and shapes through points between pixels (antialiased).
    virtual void drawPolyline(const std::vector<CPointF>& points, const CColor& color, double width = 1.0) = 0;
    virtual void fillPolygon(const std::vector<CPointF>& points, const CColor& color) = 0;

    // Draws the part of `bitmap` starting at `source` into `dest` (same size, no scaling).
    virtual void drawBitmap(const CBitmap& bitmap, const CRect& dest, const CPoint& source, float alpha = 1.0f) = 0;
    // Draws the part `source` of `bitmap` rotated by `radians` (clockwise) about its centre,
    // with that centre placed at `centre`.
    virtual void drawBitmapRotated(
        const CBitmap& bitmap, const CRect& source, const CPoint& centre, double radians, float alpha = 1.0f)
        = 0;

    // One line of UTF-8 text, vertically centred in `rect` and aligned horizontally.
    virtual void drawText(const std::string& text, const CRect& rect, const CFontDesc& font, const CColor& color,
        CHoriTxtAlign align = CHoriTxtAlign::kCenter)
        = 0;
    virtual double textWidth(const std::string& text, const CFontDesc& font) = 0;
    // Distance from one line's baseline to the next for `font`.
    virtual double lineHeight(const CFontDesc& font) = 0;
};

// Saves the state on construction and restores it on destruction.
class CDrawContextState {
public:
    explicit CDrawContextState(CDrawContext& context) : context_(context) { context_.saveState(); }
    ~CDrawContextState() { context_.restoreState(); }
    CDrawContextState(const CDrawContextState&) = delete;
    CDrawContextState& operator=(const CDrawContextState&) = delete;

private:
    CDrawContext& context_;
};

} // namespace brelvik::gui
