#include "resources/artwork/Canvas.h"

#include <cairo-ft.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

// The two faces of Liberation Sans, loaded once from the font files the build found.
class Fonts {
public:
    static const Fonts& instance()
    {
        static const Fonts fonts;
        return fonts;
    }
    cairo_font_face_t* face(CK_Weight w) const { return w == CK_Weight::Bold ? bold_ : regular_; }

private:
    Fonts()
    {
        if (FT_Init_FreeType(&library_) != 0) {
            std::fprintf(stderr, "brelvik-artwork: FreeType does not start\n");
            std::exit(1);
        }
        regular_ = load(BRELVIK_FONT_REGULAR);
        bold_ = load(BRELVIK_FONT_BOLD);
    }
    cairo_font_face_t* load(const char* path)
    {
        FT_Face face = nullptr;
        if (FT_New_Face(library_, path, 0, &face) != 0) {
            std::fprintf(stderr, "brelvik-artwork: cannot load the font %s (package fonts-liberation)\n", path);
            std::exit(1);
        }
        return cairo_ft_font_face_create_for_ft_face(face, 0);
    }
    FT_Library library_ = nullptr;
    cairo_font_face_t* regular_ = nullptr;
    cairo_font_face_t* bold_ = nullptr;
};

void selectFont(cairo_t* cr, double size, CK_Weight weight, double condense)
{
    cairo_set_font_face(cr, Fonts::instance().face(weight));
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, size * condense, size);
    cairo_set_font_matrix(cr, &m);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

void pngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void pngFlush(png_structp) {}

} // namespace

CK_Colour ck_rgb(int hex, double alpha)
{
    return {((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0, alpha};
}

CK_Canvas::CK_Canvas(int width, int height)
    : width_(width), height_(height), surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_))
{
}

CK_Canvas::~CK_Canvas()
{
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
}

CK_Canvas::CK_Canvas(CK_Canvas&& other) noexcept
    : width_(other.width_), height_(other.height_), surface_(std::exchange(other.surface_, nullptr)),
      cr_(std::exchange(other.cr_, nullptr))
{
}

void CK_Canvas::setColour(const CK_Colour& c) const
{
    cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a);
}

void CK_Canvas::fillRect(double x, double y, double w, double h, const CK_Colour& c) const
{
    setColour(c);
    cairo_rectangle(cr_, x, y, w, h);
    cairo_fill(cr_);
}

void CK_Canvas::hLine(double x0, double x1, double y, const CK_Colour& c) const
{
    fillRect(x0, y, x1 - x0, 1, c);
}

void CK_Canvas::vLine(double x, double y0, double y1, const CK_Colour& c) const
{
    fillRect(x, y0, 1, y1 - y0, c);
}

void CK_Canvas::roundedRect(double x, double y, double w, double h, double radius) const
{
    const double r = std::min(radius, std::min(w, h) / 2);
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr_, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr_, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr_, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr_);
}

void CK_Canvas::recess(double x, double y, double w, double h, double radius, const CK_Colour& fill) const
{
    // Lit lower edge, then the well one pixel smaller, then a shadow along its top.
    roundedRect(x, y, w, h, radius);
    setColour(ck_rgb(0xffffff, 0.07));
    cairo_fill(cr_);
    roundedRect(x, y, w, h - 1, radius);
    setColour(ck_rgb(0x000000, 0.85));
    cairo_fill(cr_);
    roundedRect(x + 1, y + 1, w - 2, h - 3, std::max(0.0, radius - 1));
    setColour(fill);
    cairo_fill(cr_);
    cairo_save(cr_);
    roundedRect(x + 1, y + 1, w - 2, h - 3, std::max(0.0, radius - 1));
    cairo_clip(cr_);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, y + 1, 0, y + 6);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0, 0);
    cairo_set_source(cr_, shade);
    cairo_paint(cr_);
    cairo_pattern_destroy(shade);
    cairo_restore(cr_);
}

void CK_Canvas::raised(double x, double y, double w, double h, double radius, const CK_Colour& top,
                       const CK_Colour& bottom) const
{
    roundedRect(x, y, w, h, radius);
    setColour(ck_rgb(0x000000, 0.9));
    cairo_fill(cr_);
    roundedRect(x + 1, y + 1, w - 2, h - 2, std::max(0.0, radius - 1));
    cairo_pattern_t* g = cairo_pattern_create_linear(0, y + 1, 0, y + h - 1);
    cairo_pattern_add_color_stop_rgba(g, 0, top.r, top.g, top.b, top.a);
    cairo_pattern_add_color_stop_rgba(g, 1, bottom.r, bottom.g, bottom.b, bottom.a);
    cairo_set_source(cr_, g);
    cairo_fill(cr_);
    cairo_pattern_destroy(g);
    // The lit top edge.
    cairo_save(cr_);
    roundedRect(x + 1, y + 1, w - 2, h - 2, std::max(0.0, radius - 1));
    cairo_clip(cr_);
    hLine(x + 1, x + w - 1, y + 1, ck_rgb(0xffffff, 0.16));
    cairo_restore(cr_);
}

double CK_Canvas::textWidth(const std::string& s, double size, CK_Weight weight, double letterSpacing,
                            double condense) const
{
    selectFont(cr_, size, weight, condense);
    cairo_text_extents_t e;
    cairo_text_extents(cr_, s.c_str(), &e);
    size_t characters = 0;
    for (char ch : s) characters += (static_cast<unsigned char>(ch) & 0xc0) != 0x80;
    return e.x_advance + letterSpacing * (characters == 0 ? 0 : static_cast<double>(characters - 1));
}

double CK_Canvas::text(const std::string& s, double x, double y, double size, CK_Weight weight, CK_Align align,
                       const CK_Colour& c, double letterSpacing, double condense) const
{
    const double w = textWidth(s, size, weight, letterSpacing, condense);
    double start = x;
    if (align == CK_Align::Centre) start = x - w / 2;
    if (align == CK_Align::Right) start = x - w;
    selectFont(cr_, size, weight, condense);
    setColour(c);
    if (letterSpacing == 0.0) {
        cairo_move_to(cr_, start, y);
        cairo_show_text(cr_, s.c_str());
        return w;
    }
    // One character at a time, a character being a whole UTF-8 sequence.
    double pen = start;
    for (size_t i = 0; i < s.size();) {
        size_t n = 1;
        while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xc0) == 0x80) ++n;
        const std::string glyph = s.substr(i, n);
        cairo_move_to(cr_, pen, y);
        cairo_show_text(cr_, glyph.c_str());
        cairo_text_extents_t e;
        cairo_text_extents(cr_, glyph.c_str(), &e);
        pen += e.x_advance + letterSpacing;
        i += n;
    }
    return w;
}

void CK_Canvas::centredText(const std::string& s, double cx, double cy, double size, CK_Weight weight,
                            const CK_Colour& c, double letterSpacing, double condense) const
{
    // Capital height of Liberation Sans is about 0.73 of the size.
    text(s, cx, std::round(cy + size * 0.365), size, weight, CK_Align::Centre, c, letterSpacing, condense);
}

void CK_Canvas::paint(const CK_Canvas& other, double x, double y, double alpha) const
{
    cairo_set_source_surface(cr_, other.surface_, x, y);
    cairo_paint_with_alpha(cr_, alpha);
}

CK_Canvas CK_Canvas::downsampled(int factor) const
{
    CK_Canvas out(width_ / factor, height_ / factor);
    cairo_surface_flush(surface_);
    const unsigned char* src = cairo_image_surface_get_data(surface_);
    const int srcStride = cairo_image_surface_get_stride(surface_);
    unsigned char* dst = cairo_image_surface_get_data(out.surface_);
    const int dstStride = cairo_image_surface_get_stride(out.surface_);
    const int n = factor * factor;
    for (int y = 0; y < out.height_; ++y) {
        for (int x = 0; x < out.width_; ++x) {
            for (int ch = 0; ch < 4; ++ch) {
                int sum = 0;
                for (int j = 0; j < factor; ++j)
                    for (int i = 0; i < factor; ++i)
                        sum += src[(y * factor + j) * srcStride + (x * factor + i) * 4 + ch];
                dst[y * dstStride + x * 4 + ch] = static_cast<unsigned char>((sum + n / 2) / n);
            }
        }
    }
    cairo_surface_mark_dirty(out.surface_);
    return out;
}

void CK_Canvas::dropFaintPixels(int threshold) const
{
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < width_; ++x)
            if ((row[x] >> 24) < static_cast<uint32_t>(threshold))
                row[x] = 0;
    }
    cairo_surface_mark_dirty(surface_);
}

int CK_Canvas::alphaAt(int x, int y) const
{
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    return static_cast<int>(reinterpret_cast<const uint32_t*>(data + y * stride)[x] >> 24);
}

std::vector<unsigned char> CK_Canvas::encodePng() const
{
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    // Cairo keeps premultiplied native-endian ARGB; PNG wants straight RGBA.
    std::vector<unsigned char> rgba(static_cast<size_t>(width_) * height_ * 4);
    for (int y = 0; y < height_; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width_; ++x) {
            const uint32_t p = row[x];
            const unsigned a = p >> 24;
            unsigned char* o = &rgba[(static_cast<size_t>(y) * width_ + x) * 4];
            for (int ch = 0; ch < 3; ++ch) {
                const unsigned v = (p >> (16 - 8 * ch)) & 0xff;
                o[ch] = a ? static_cast<unsigned char>(std::min(255u, (v * 255 + a / 2) / a)) : 0;
            }
            o[3] = static_cast<unsigned char>(a);
        }
    }
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, pngWrite, pngFlush);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, width_, height_, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height_; ++y)
        png_write_row(png, &rgba[static_cast<size_t>(y) * width_ * 4]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool CK_Canvas::writePng(const std::string& path) const
{
    const std::vector<unsigned char> bytes = encodePng();
    if (bytes.empty())
        return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}
