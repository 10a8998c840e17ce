// The control table: one constant record per editor control. It defines every parameter (range,
// name, choice texts, tooltip) and is walked by the editor to lay out its window.
#pragma once

#include <cstdint>

#include "shell/ParameterTags.h"

struct CK_ControlRecord {
    int16_t parameter;   // parameter index, -1 for records that belong to no parameter
    int16_t flags;       // bit 15: panel-level control never stored per program; others: editor options
    int16_t type;        // control type code; 123 ends the table
    int16_t controller;  // default MIDI controller for parameter records; editor value otherwise
    int16_t x, y;        // position inside the enclosing container
    int32_t extra;       // editor value
    const char* bitmap;  // bitmap file name, or nullptr
    float min, max;      // engineering range (max may be below min)
    const char* name;    // parameter name reported to the host, or nullptr
    const char* choices; // comma-terminated choice labels ("Peak,RMS,"), or nullptr
    const char* tooltip; // tooltip text, or nullptr
};

constexpr int kControlRecordCount = 186;

// Numbers of the panels and band pages (the tag of their container records).
enum PanelNumber : int16_t {
    kPanelCredits = 0,
    kPanelSettings = 1,
    kPageLowBand = 2,
    kPageMidBand = 3,
    kPageHighBand = 4,
    kPanelMidiLearn = 40,
};

extern const CK_ControlRecord kControlTable[kControlRecordCount];

// Choice texts are labels each followed by a comma ("Peak,RMS,").
int16_t countChoices(const char* choices);
// Copies label i (from 0), cut to maxLen characters and terminated; false when there is no such label.
bool choiceLabel(const char* choices, int i, char* text, int maxLen);

// Values travel between modules as "volts": the engineering value (dB, ms, Hz, %) times 0.1.
constexpr float kVoltsPerUnit = 0.1f;
constexpr float kUnitsPerVolt = 10.0f;
// A parameter's normalised value (0..1 over its record's range) in volts, and back.
float toVolts(int32_t parameter, float normalised);
float normalisedFromVolts(int32_t parameter, float volts);

// Index maps over the control table, built once per process on first use.
class CK_ParameterMap {
public:
    static const CK_ParameterMap& instance();

    // The defining record of a parameter: the last record (from record 1 to the end marker) whose
    // parameter field equals the index and whose type is below 102; record 0 when there is none,
    // and for indices outside 0..110.
    int32_t recordOf(int32_t parameter) const;
    const CK_ControlRecord& record(int32_t parameter) const { return kControlTable[recordOf(parameter)]; }

    // Number of choices of a choice parameter, counted from its choice texts; 0 otherwise.
    int16_t choiceCount(int32_t parameter) const;

private:
    CK_ParameterMap();
    int32_t recordOfParameter_[kParameterCount];
    int16_t choiceCount_[kParameterCount];
};
