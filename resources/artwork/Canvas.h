// A cairo image surface with the drawing helpers the artwork shares: text in Liberation Sans,
// crisp one-pixel lines, rounded shapes, 4x supersampling and reproducible RGBA PNG output.
#pragma once

#include <cairo.h>

#include <memory>
#include <string>
#include <vector>

struct CK_Colour {
    double r, g, b, a = 1.0;
    CK_Colour withAlpha(double alpha) const { return {r, g, b, alpha}; }
    CK_Colour scaled(double k) const { return {r * k, g * k, b * k, a}; }
    CK_Colour mixed(const CK_Colour& o, double t) const
    {
        return {r + (o.r - r) * t, g + (o.g - g) * t, b + (o.b - b) * t, a + (o.a - a) * t};
    }
};
CK_Colour ck_rgb(int hex, double alpha = 1.0);

enum class CK_Weight { Regular, Bold };
enum class CK_Align { Left, Centre, Right };

class CK_Canvas {
public:
    CK_Canvas(int width, int height);
    ~CK_Canvas();
    CK_Canvas(CK_Canvas&& other) noexcept;
    CK_Canvas(const CK_Canvas&) = delete;
    CK_Canvas& operator=(const CK_Canvas&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    void setColour(const CK_Colour& c) const;
    void fillRect(double x, double y, double w, double h, const CK_Colour& c) const;
    // One-pixel lines on pixel centres, so they stay crisp.
    void hLine(double x0, double x1, double y, const CK_Colour& c) const;
    void vLine(double x, double y0, double y1, const CK_Colour& c) const;
    void roundedRect(double x, double y, double w, double h, double radius) const;
    // A recessed well: dark fill, shadowed top edge, lit bottom edge.
    void recess(double x, double y, double w, double h, double radius, const CK_Colour& fill) const;
    // A raised cap: vertical gradient, lit top edge, dark outline.
    void raised(double x, double y, double w, double h, double radius, const CK_Colour& top,
                const CK_Colour& bottom) const;

    // Text with its baseline at y; answers the advance width. letterSpacing in pixels.
    double text(const std::string& s, double x, double y, double size, CK_Weight weight, CK_Align align,
                const CK_Colour& c, double letterSpacing = 0.0, double condense = 1.0) const;
    double textWidth(const std::string& s, double size, CK_Weight weight, double letterSpacing = 0.0,
                     double condense = 1.0) const;
    // Text centred on (cx, cy) both ways.
    void centredText(const std::string& s, double cx, double cy, double size, CK_Weight weight,
                     const CK_Colour& c, double letterSpacing = 0.0, double condense = 1.0) const;

    // Draws `other` with its top-left at (x, y).
    void paint(const CK_Canvas& other, double x, double y, double alpha = 1.0) const;
    // A canvas `factor` times smaller, each pixel the mean of its factor x factor block.
    CK_Canvas downsampled(int factor) const;
    // Clears every pixel whose alpha is below `threshold` to fully transparent.
    void dropFaintPixels(int threshold) const;
    // Alpha (0..255) of a pixel.
    int alphaAt(int x, int y) const;

    // The image as an 8-bit RGBA PNG (always with an alpha channel), byte for byte the same for the
    // same pixels.
    std::vector<unsigned char> encodePng() const;
    bool writePng(const std::string& path) const;

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};
