#include "editor/text/CK_NumberText.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "shell/ControlTable.h"

namespace CK_NumberText {

double plainValue(int32_t tag, float normalised)
{
    const CK_ControlRecord& record = CK_ParameterMap::instance().record(tag);
    return record.min + (static_cast<double>(record.max) - record.min) * normalised;
}

std::optional<double> parse(const std::string& text)
{
    size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos)
        return std::nullopt;
    const size_t end = text.find_last_not_of(' ') + 1;
    bool negative = false;
    if (text[begin] == '-') {
        negative = true;
        ++begin;
    }
    if (begin < end && text[begin] == '+')
        ++begin;
    const std::string number = text.substr(begin, end - begin);
    bool point = false;
    bool digit = false;
    for (char c : number) {
        if (c == '.' && !point)
            point = true;
        else if (std::isdigit(static_cast<unsigned char>(c)))
            digit = true;
        else
            return std::nullopt;
    }
    if (!digit)
        return std::nullopt;
    const double value = std::strtod(number.c_str(), nullptr);
    return negative ? -value : value;
}

std::optional<float> typedValue(int32_t tag, const std::string& text)
{
    const std::optional<double> plain = parse(text);
    if (!plain)
        return std::nullopt;
    const CK_ControlRecord& record = CK_ParameterMap::instance().record(tag);
    const double span = static_cast<double>(record.max) - record.min;
    if (span == 0.0)
        return std::nullopt;
    const double normalised = (*plain - record.min) / span;
    if (!(normalised >= 0.0 && normalised <= 1.0))
        return std::nullopt;
    return static_cast<float>(normalised);
}

std::string formatValue(double plain)
{
    char text[64];
    std::snprintf(text, sizeof text, "%4.2f", plain);
    return text;
}

std::string formatDecimals(double plain, int decimals)
{
    const int shown = (decimals >= 0 && decimals <= 2) || decimals == 4 ? decimals : 3;
    char text[64];
    std::snprintf(text, sizeof text, "%1.*f", shown, plain);
    return text;
}

} // namespace CK_NumberText
