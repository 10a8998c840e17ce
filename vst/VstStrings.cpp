#include "vst/VstStrings.h"

#include <cmath>
#include <cstdio>
#include <cstring>

char* vst_strncpy(char* destination, const char* source, VstInt32 maxLen)
{
    if (!destination || maxLen < 0)
        return destination;
    VstInt32 n = 0;
    if (source)
        while (n < maxLen && source[n] != '\0') {
            destination[n] = source[n];
            ++n;
        }
    destination[n] = '\0';
    return destination;
}

void float2string(float value, char* text, VstInt32 maxLen)
{
    if (!text)
        return;
    const double v = value;
    const bool negative = v < 0.0;
    const double magnitude = std::fabs(v);
    if (!(magnitude <= 9999999.0)) { // also catches NaN
        vst_strncpy(text, negative ? "-Huge!" : "Huge!", maxLen);
        return;
    }
    constexpr int kWidth = 8;
    const auto whole = static_cast<long>(magnitude);
    char digits[24];
    std::snprintf(digits, sizeof digits, "%ld", whole);
    const int used = (negative ? 1 : 0) + static_cast<int>(std::strlen(digits)) + 1;
    const int fractionDigits = kWidth - used > 0 ? kWidth - used : 0;

    char field[32];
    int n = std::snprintf(field, sizeof field, "%s%s.", negative ? "-" : "", digits);
    double fraction = magnitude - static_cast<double>(whole);
    for (int i = 0; i < fractionDigits; ++i) {
        fraction *= 10.0;
        const int digit = static_cast<int>(fraction);
        field[n++] = static_cast<char>('0' + (digit > 9 ? 9 : digit));
        fraction -= digit;
    }
    field[n] = '\0';
    vst_strncpy(text, field, maxLen);
}

void dB2string(float value, char* text, VstInt32 maxLen)
{
    if (value <= 0.0f)
        vst_strncpy(text, "-oo", maxLen);
    else
        float2string(static_cast<float>(20.0 * std::log10(value)), text, maxLen);
}

void Hz2string(float samples, float sampleRate, char* text, VstInt32 maxLen)
{
    float2string(samples == 0.0f ? 0.0f : sampleRate / samples, text, maxLen);
}

void ms2string(float samples, float sampleRate, char* text, VstInt32 maxLen)
{
    float2string(sampleRate == 0.0f ? 0.0f : samples * 1000.0f / sampleRate, text, maxLen);
}

void long2string(VstInt32 value, char* text, VstInt32 maxLen)
{
    if (value >= 100000000) {
        vst_strncpy(text, "Huge!", maxLen);
        return;
    }
    char field[32];
    std::snprintf(field, sizeof field, "%7d", static_cast<int>(value));
    vst_strncpy(text, field, maxLen);
}

void float2stringAsLong(float value, char* text, VstInt32 maxLen)
{
    char field[64];
    std::snprintf(field, sizeof field, "%7.0f", static_cast<double>(value));
    vst_strncpy(text, field, maxLen);
}
