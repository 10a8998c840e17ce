#include "shell/FactoryValues.h"

#include <cstdio>
#include <cstring>

#include "shell/ControlTable.h"
#include "shell/ProgramBank.h"

// clang-format off
const float kFactoryEngineeringValues[kHostParameterCount] = {
    /*  0 */ 0,      0,      0.2f,   0,      200,    -10,    4,      50,     0,      -12,
    /* 10 */ 3,      50,     0,      -20,    4,      50,     0,      0.2f,   0,      20,
    /* 20 */ 0,      80,     0,      60,     300,    0,      60,     1500,   0,      60,
    /* 30 */ 5000,   0,      60,     10000,  0,      60,     0,      0,      500,    0,
    /* 40 */ 0,      500,    0,      0,      2000,   0,      0,      200,    3000,   0,
    /* 50 */ -25,    1,      41.33f, 0,      0,      0,      0,      30,     140,    0,
    /* 60 */ 0,      50,     1,      0,      30,     3000,   1,      0,      50,     1,
    /* 70 */ 0,      0,      0,      0,      0,      1,      1,      1,      1,      1,
    /* 80 */ 0,      0,      0,
};
// clang-format on

float factoryNormalisedValue(int parameter)
{
    if (parameter < 0 || parameter >= kHostParameterCount)
        return 0.0f;
    const CK_ControlRecord& r = CK_ParameterMap::instance().record(parameter);
    const float range = r.max - r.min;
    if (range == 0.0f)
        return 0.0f;
    return (kFactoryEngineeringValues[parameter] - r.min) / range;
}

std::vector<uint8_t> makeFactoryBankImage(int records)
{
    constexpr size_t kRecord = CK_ProgramBank::kRecordBytes;
    std::vector<uint8_t> image(kRecord * static_cast<size_t>(records > 0 ? records : 0), 0);
    for (int n = 0; n < records; ++n) {
        uint8_t* r = image.data() + kRecord * static_cast<size_t>(n);
        for (int p = 0; p < kHostParameterCount; ++p) {
            const float v = factoryNormalisedValue(p);
            const int16_t none = -1;
            std::memcpy(r + CK_ProgramBank::kValuesOffset + 4 * p, &v, 4);
            std::memcpy(r + CK_ProgramBank::kControllersOffset + 2 * p, &none, 2);
        }
        char name[32];
        if (n == 0)
            std::snprintf(name, sizeof name, "default");
        else
            std::snprintf(name, sizeof name, "(Copy %d) default", n);
        std::memcpy(r + CK_ProgramBank::kNameOffset, name, std::strlen(name) + 1);
    }
    return image;
}
