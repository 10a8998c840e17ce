// Numbers as the text views show them and as the user types them: a parameter's plain value from
// its control record's range, the fixed formats, and the parser for typed values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace CK_NumberText {

// Marks a value display with nothing to show, and a text that is not a number.
constexpr float kNothing = 1.0e32f;

// minimum + (maximum - minimum) x normalised, over the range of `tag`'s control record.
double plainValue(int32_t tag, float normalised);

// An optional minus sign, an optional plus sign, then digits with at most one decimal point.
// Spaces around the number are ignored. Anything else, or no digit at all, is not a number.
std::optional<double> parse(const std::string& text);

// The normalised value of a typed plain value of `tag`; none when the text is not a number or the
// value lies outside the parameter's range.
std::optional<float> typedValue(int32_t tag, const std::string& text);

// The value display's format ("%4.2f").
std::string formatValue(double plain);
// A number entry's format: 0, 1, 2 or 4 decimals as given, 3 for any other setting.
std::string formatDecimals(double plain, int decimals);

} // namespace CK_NumberText
