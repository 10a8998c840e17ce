#include "gui/backend/cairo/CairoDrawContext.h"

#include <cmath>

#include "gui/CBitmap.h"
#include "gui/backend/DrawBackend.h"

namespace brelvik::gui {

namespace {
// A cairo view of a bitmap's pixels, without copying them.
cairo_surface_t* wrapBitmap(const CBitmap& bitmap)
{
    return cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(bitmap.pixels())),
        CAIRO_FORMAT_ARGB32, bitmap.getWidth(), bitmap.getHeight(), bitmap.getWidth() * 4);
}
} // namespace

std::unique_ptr<CDrawContext> createDrawContext(PixelBuffer& buffer)
{
    return std::make_unique<CairoDrawContext>(buffer);
}

bool writePng(const PixelBuffer& buffer, const std::string& path, std::string* error)
{
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(buffer.pixels.data())), CAIRO_FORMAT_ARGB32,
        buffer.width, buffer.height, buffer.stride());
    const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        if (error)
            *error = path + ": " + cairo_status_to_string(status);
        return false;
    }
    return true;
}

CairoDrawContext::CairoDrawContext(PixelBuffer& buffer)
    : surface_(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(buffer.pixels.data()),
        CAIRO_FORMAT_ARGB32, buffer.width, buffer.height, buffer.stride())),
      cr_(cairo_create(surface_))
{
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_set_font_options(cr_, options);
    cairo_font_options_destroy(options);
    savedAlphas_.reserve(16);
}

CairoDrawContext::~CairoDrawContext()
{
    for (auto& face : faces_)
        cairo_font_face_destroy(face.second);
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

void CairoDrawContext::saveState()
{
    cairo_save(cr_);
    savedAlphas_.push_back(globalAlpha_);
}

void CairoDrawContext::restoreState()
{
    cairo_restore(cr_);
    if (!savedAlphas_.empty()) {
        globalAlpha_ = savedAlphas_.back();
        savedAlphas_.pop_back();
    }
}

void CairoDrawContext::translate(int dx, int dy)
{
    cairo_translate(cr_, dx, dy);
}

void CairoDrawContext::clipRect(const CRect& rect)
{
    cairo_rectangle(cr_, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cr_);
}

void CairoDrawContext::setColor(const CColor& color)
{
    cairo_set_source_rgba(
        cr_, color.red / 255.0, color.green / 255.0, color.blue / 255.0, color.alpha / 255.0 * globalAlpha_);
}

void CairoDrawContext::fillRect(const CRect& rect, const CColor& color)
{
    setColor(color);
    cairo_rectangle(cr_, rect.left, rect.top, rect.width(), rect.height());
    cairo_fill(cr_);
}

void CairoDrawContext::strokeRect(const CRect& rect, const CColor& color, int width)
{
    setColor(color);
    const double half = width / 2.0;
    cairo_set_line_width(cr_, width);
    cairo_rectangle(cr_, rect.left + half, rect.top + half, rect.width() - width, rect.height() - width);
    cairo_stroke(cr_);
}

void CairoDrawContext::drawLine(const CPoint& from, const CPoint& to, const CColor& color, double width)
{
    setColor(color);
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
    cairo_move_to(cr_, from.x + 0.5, from.y + 0.5);
    cairo_line_to(cr_, to.x + 0.5, to.y + 0.5);
    cairo_stroke(cr_);
}

void CairoDrawContext::fillEllipse(const CRect& bounds, const CColor& color)
{
    setColor(color);
    cairo_save(cr_);
    cairo_translate(cr_, bounds.left + bounds.width() / 2.0, bounds.top + bounds.height() / 2.0);
    cairo_scale(cr_, bounds.width() / 2.0, bounds.height() / 2.0);
    cairo_arc(cr_, 0, 0, 1, 0, 2 * 3.14159265358979323846);
    cairo_restore(cr_);
    cairo_fill(cr_);
}

void CairoDrawContext::tracePath(const std::vector<CPointF>& points)
{
    cairo_new_path(cr_);
    for (const CPointF& p : points)
        cairo_line_to(cr_, p.x, p.y);
}

void CairoDrawContext::drawPolyline(const std::vector<CPointF>& points, const CColor& color, double width)
{
    if (points.size() < 2)
        return;
    setColor(color);
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    tracePath(points);
    cairo_stroke(cr_);
}

void CairoDrawContext::fillPolygon(const std::vector<CPointF>& points, const CColor& color)
{
    if (points.size() < 3)
        return;
    setColor(color);
    tracePath(points);
    cairo_close_path(cr_);
    cairo_fill(cr_);
}

void CairoDrawContext::drawBitmap(const CBitmap& bitmap, const CRect& dest, const CPoint& source, float alpha)
{
    cairo_surface_t* image = wrapBitmap(bitmap);
    cairo_save(cr_);
    cairo_rectangle(cr_, dest.left, dest.top, dest.width(), dest.height());
    cairo_clip(cr_);
    cairo_set_source_surface(cr_, image, dest.left - source.x, dest.top - source.y);
    cairo_paint_with_alpha(cr_, alpha * globalAlpha_);
    cairo_restore(cr_);
    cairo_surface_destroy(image);
}

void CairoDrawContext::drawBitmapRotated(
    const CBitmap& bitmap, const CRect& source, const CPoint& centre, double radians, float alpha)
{
    cairo_surface_t* image = wrapBitmap(bitmap);
    cairo_save(cr_);
    cairo_translate(cr_, centre.x, centre.y);
    cairo_rotate(cr_, radians);
    const double halfW = source.width() / 2.0;
    const double halfH = source.height() / 2.0;
    cairo_rectangle(cr_, -halfW, -halfH, source.width(), source.height());
    cairo_clip(cr_);
    cairo_set_source_surface(cr_, image, -halfW - source.left, -halfH - source.top);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_BILINEAR);
    cairo_paint_with_alpha(cr_, alpha * globalAlpha_);
    cairo_restore(cr_);
    cairo_surface_destroy(image);
}

void CairoDrawContext::selectFont(const CFontDesc& font)
{
    const auto key = std::make_pair(font.getName(), font.getStyle());
    auto found = faces_.find(key);
    if (found == faces_.end()) {
        cairo_font_face_t* face = cairo_toy_font_face_create(font.resolvedFamily().c_str(),
            (font.getStyle() & CFontDesc::kItalic) ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
            (font.getStyle() & CFontDesc::kBold) ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
        found = faces_.emplace(key, face).first;
    }
    cairo_set_font_face(cr_, found->second);
    cairo_set_font_size(cr_, font.getSize());
}

void CairoDrawContext::drawText(
    const std::string& text, const CRect& rect, const CFontDesc& font, const CColor& color, CHoriTxtAlign align)
{
    if (text.empty())
        return;
    selectFont(font);
    cairo_font_extents_t fontExtents;
    cairo_font_extents(cr_, &fontExtents);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, text.c_str(), &extents);
    double x = rect.left;
    if (align == CHoriTxtAlign::kCenter)
        x = rect.left + (rect.width() - extents.x_advance) / 2.0;
    if (align == CHoriTxtAlign::kRight)
        x = rect.right - extents.x_advance;
    const double baseline
        = rect.top + (rect.height() - (fontExtents.ascent + fontExtents.descent)) / 2.0 + fontExtents.ascent;
    cairo_save(cr_);
    cairo_rectangle(cr_, rect.left, rect.top, rect.width(), rect.height());
    cairo_clip(cr_);
    setColor(color);
    cairo_move_to(cr_, std::round(x), std::round(baseline));
    cairo_show_text(cr_, text.c_str());
    cairo_restore(cr_);
}

double CairoDrawContext::textWidth(const std::string& text, const CFontDesc& font)
{
    selectFont(font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, text.c_str(), &extents);
    return extents.x_advance;
}

double CairoDrawContext::lineHeight(const CFontDesc& font)
{
    selectFont(font);
    cairo_font_extents_t extents;
    cairo_font_extents(cr_, &extents);
    return extents.height;
}

} // namespace brelvik::gui
