#pragma once

#include <string>

namespace brelvik::gui {

// A font by family name and size. Sizes are pixel sizes (the em height in pixels) on every backend.
class CFontDesc {
public:
    enum Style { kNormal = 0, kBold = 1, kItalic = 2 };

    CFontDesc() = default;
    CFontDesc(std::string name, double pixelSize, int style = kNormal)
        : name_(std::move(name)), size_(pixelSize), style_(style)
    {
    }

    const std::string& getName() const { return name_; }
    double getSize() const { return size_; }
    int getStyle() const { return style_; }
    void setSize(double pixelSize) { size_ = pixelSize; }
    void setStyle(int style) { style_ = style; }

    // The family the backends ask for: the Windows families map to their metric-compatible
    // Liberation faces, which ship with every Linux distribution.
    std::string resolvedFamily() const;

private:
    std::string name_ = "Arial";
    double size_ = 12.0;
    int style_ = kNormal;
};

} // namespace brelvik::gui
