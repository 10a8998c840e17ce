#include "resources/artwork/BitmapCatalogue.h"

#include <cctype>

const CK_BitmapInfo kBitmapCatalogue[] = {
    {"BGD.png", 1100, 176, 1},
    {"KnobL.png", 64, 6464, 101},
    {"KnobS.png", 38, 3838, 101},
    {"Led_OnOff.png", 40, 51, 3},
    {"Bypass.png", 55, 238, 14},
    {"eqon.png", 13, 210, 3},
    {"splits.png", 13, 140, 2},
    {"RedOn.png", 62, 24, 2},
    {"YelOn.png", 62, 24, 2},
    {"BlueOn.png", 62, 24, 2},
    {"CyanOn.png", 62, 24, 2},
    {"GreenOn.png", 62, 24, 2},
    {"LowOn.png", 50, 84, 7},
    {"MidOn.png", 50, 84, 7},
    {"HighOn.png", 50, 84, 7},
    {"LowBut.png", 54, 100, 2},
    {"MidBut.png", 54, 100, 2},
    {"HighBut.png", 54, 100, 2},
    {"meterselect.png", 54, 100, 4},
    {"PeakRMS.png", 54, 50, 2},
    {"CompMode.png", 54, 50, 2},
    {"PkBar.png", 15, 896, 8}, // per scale an unlit and a lit image
    {"BarScale.png", 17, 480, 4},
    {"clip.png", 18, 8, 2},
    {"EnMb.png", 14, 102, 3},
    {"SpMb.png", 34, 42, 3},
    {"HType.png", 32, 34, 2},
    {"HD.png", 12, 42, 3},
    {"HB.png", 16, 51, 3},
    {"Spkr_Hp.png", 38, 72, 2},
    {"AsnMidiCC.png", 208, 108, 1},
    {"SettingsPanelD.png", 380, 176, 1},
    {"SettingsBut.png", 18, 172, 2},
    {"CreditsPanel.png", 360, 160, 1},
    {"CreditsBut.png", 18, 172, 2},
    {"WebLink.png", 86, 172, 2},
};
const size_t kBitmapCount = sizeof(kBitmapCatalogue) / sizeof(kBitmapCatalogue[0]);

const CK_BitmapInfo* ck_findBitmapInfo(const char* name)
{
    if (!name)
        return nullptr;
    for (size_t i = 0; i < kBitmapCount; ++i) {
        const char* a = kBitmapCatalogue[i].name;
        const char* b = name;
        while (*a && *b && std::tolower(static_cast<unsigned char>(*a)) == std::tolower(static_cast<unsigned char>(*b))) {
            ++a;
            ++b;
        }
        if (*a == 0 && *b == 0)
            return &kBitmapCatalogue[i];
    }
    return nullptr;
}
