// The message that linked editor views exchange, and that the processing side sends to a view
// through a module's display output.
#pragma once

#include <cstdint>

struct CK_LinkMessage {
    // Modes with a meaning of their own; any other mode is a value message (0, or a small integer
    // such as a meter-scale index).
    static constexpr int32_t kModeRegister = -1;         // the sender becomes a linked view under id
    static constexpr int32_t kModeInteractive = -65536;  // an interactive change made in the sender

    // Ids that the processing side sends under.
    static constexpr int32_t kIdCurveLevel = 10;  // a compressor band's level, to its curve view
    static constexpr int32_t kIdScaleImage = 104; // the meter type (in mode), to the scale legend
    static constexpr int32_t kIdMeterScale = 110; // the meter type (in mode), to the meters

    int32_t mode = 0;
    int32_t id = 0;      // the sender's registered id, or the kind of a processing-side report
    float value = 0.0f;
    int32_t payload = 0; // the integer a module reports beside the value
};
