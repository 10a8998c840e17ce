#pragma once

#include <algorithm>
#include <cstdint>

namespace brelvik::gui {

struct CPoint {
    int x = 0;
    int y = 0;

    CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
    CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
};

// A point between pixels, for curves and shapes (pixel centres lie at n + 0.5).
struct CPointF {
    double x = 0.0;
    double y = 0.0;
};

// A pixel rectangle; right and bottom are exclusive.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static CRect fromSize(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    CPoint topLeft() const { return {left, top}; }
    bool contains(const CPoint& p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    CRect offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    CRect offset(const CPoint& d) const { return offset(d.x, d.y); }
    CRect intersect(const CRect& o) const
    {
        CRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
        return r.isEmpty() ? CRect{} : r;
    }
    CRect unite(const CRect& o) const
    {
        if (isEmpty())
            return o;
        if (o.isEmpty())
            return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right), std::max(bottom, o.bottom)};
    }
    bool intersects(const CRect& o) const { return !intersect(o).isEmpty(); }
    bool operator==(const CRect& o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// Straight (not premultiplied) 8-bit colour.
struct CColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    bool isVisible() const { return alpha != 0; }
    CColor withAlpha(uint8_t a) const { return {red, green, blue, a}; }
};

constexpr CColor kBlackCColor{0, 0, 0, 255};
constexpr CColor kWhiteCColor{255, 255, 255, 255};
constexpr CColor kTransparentCColor{0, 0, 0, 0};

} // namespace brelvik::gui
