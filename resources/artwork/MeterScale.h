// Where the output meter draws a level, and what its legend marks, for each of its four scales
// ("Std", "K12", "K14", "K20"). The meter is 112 rows tall, 0 dB at the top and its floor
// (-50 on the display) at the bottom; below -30 dB the display compresses the scale by half.
#pragma once

#include <string>
#include <vector>

constexpr int kMeterRows = 112;
constexpr int kMeterScales = 4;

enum class CK_MeterZone { Safe, Warn, Hot };

// Row (from the top, fractional) at which the meter draws a level in dBFS; levels below the
// floor lie at the bottom row.
double ck_meterRow(double dbfs);

// The zone of a level on a scale: K scales turn amber at their zero and red 4 dB above it; the
// plain scale at -12 and -3 dBFS.
CK_MeterZone ck_meterZone(int scale, double dbfs);

struct CK_LegendMark {
    double dbfs;       // level marked
    std::string label; // as the scale reads it ("+4", "0", "-12")
};
// Marks of a scale, top to bottom, at least `minRows` rows apart.
std::vector<CK_LegendMark> ck_legendMarks(int scale, double minRows);

// The scale's name and the decibels its readout adds.
const char* ck_meterScaleName(int scale);
double ck_meterScaleOffset(int scale);
