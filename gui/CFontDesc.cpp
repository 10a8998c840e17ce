#include "gui/CFontDesc.h"

#include <algorithm>
#include <cctype>

namespace brelvik::gui {

namespace {
bool sameName(const std::string& a, const char* b)
{
    const std::string other(b);
    return a.size() == other.size() && std::equal(a.begin(), a.end(), other.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}
} // namespace

std::string CFontDesc::resolvedFamily() const
{
    static const struct {
        const char* windowsName;
        const char* family;
    } kSubstitutes[] = {
        {"Arial", "Liberation Sans"},
        {"Helvetica", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& s : kSubstitutes)
        if (sameName(name_, s.windowsName))
            return s.family;
    return name_;
}

} // namespace brelvik::gui
