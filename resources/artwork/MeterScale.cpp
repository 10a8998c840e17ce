#include "resources/artwork/MeterScale.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFloorDb = -50.0;   // display level at the bottom row
constexpr double kCompressDb = -30.0; // below this the display halves the scale

struct ScaleInfo {
    const char* name;
    double offset;
    std::vector<int> marks; // as read on the scale, top to bottom
};

const ScaleInfo& info(int scale)
{
    static const ScaleInfo scales[kMeterScales] = {
        {"Std", 0, {0, -6, -12, -18, -24, -30, -40, -50, -60}},
        {"K12", 12, {12, 8, 4, 0, -4, -8, -12, -20, -30, -40, -50}},
        {"K14", 14, {14, 8, 4, 0, -4, -8, -12, -20, -30, -40, -50}},
        {"K20", 20, {20, 12, 8, 4, 0, -4, -8, -12, -20, -30, -40, -50}},
    };
    return scales[std::clamp(scale, 0, kMeterScales - 1)];
}

} // namespace

double ck_meterRow(double dbfs)
{
    double display = dbfs < kCompressDb ? (dbfs - kCompressDb) * 0.5 + kCompressDb : dbfs;
    display = std::clamp(display, kFloorDb, 0.0);
    return display * (kMeterRows / kFloorDb);
}

CK_MeterZone ck_meterZone(int scale, double dbfs)
{
    const double offset = info(scale).offset;
    const double warnFrom = offset > 0 ? -offset : -12.0;
    const double hotFrom = offset > 0 ? 4.0 - offset : -3.0;
    if (dbfs >= hotFrom) return CK_MeterZone::Hot;
    if (dbfs >= warnFrom) return CK_MeterZone::Warn;
    return CK_MeterZone::Safe;
}

std::vector<CK_LegendMark> ck_legendMarks(int scale, double minRows)
{
    const ScaleInfo& s = info(scale);
    std::vector<CK_LegendMark> marks;
    double lastRow = -1e9;
    for (int reading : s.marks) {
        const double dbfs = reading - s.offset;
        const double row = ck_meterRow(dbfs);
        if (row - lastRow < minRows || dbfs < -70.0)
            continue;
        lastRow = row;
        std::string label = std::to_string(reading);
        if (reading > 0) label = "+" + label;
        marks.push_back({dbfs, label});
    }
    return marks;
}

const char* ck_meterScaleName(int scale)
{
    return info(scale).name;
}

double ck_meterScaleOffset(int scale)
{
    return info(scale).offset;
}
