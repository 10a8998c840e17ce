// The graph table: the fixed signal chain as a list of modules and what each input pin reads.
// Records use the packed 258-byte layout that the graph builder reads.
#pragma once

#include <cstddef>
#include <cstdint>

#include "shell/ModuleIds.h"

constexpr int kGraphRecordBytes = 258;
constexpr int kGraphEntriesPerRecord = 64;
constexpr uint8_t kGraphPinEnd = 255;       // ends a record's entry list
constexpr uint8_t kGraphDisplayPinBase = 230; // pins 230 + s name display output s
constexpr int16_t kGraphSourceConstant = 5500; // up to kModuleIdFirst: constant pool entry source - 5500

// One decoded entry of a record.
struct CK_GraphEntry {
    uint8_t inputPin;  // input pin, or 230 + display slot
    uint8_t outputPin; // source module's output pin, or the display option byte
    int16_t source;    // module ID, constant code, parameter index, or editor control index
};

// The packed table: records of kGraphRecordBytes bytes, the last one an end record.
extern const uint8_t kGraphTableBytes[];
extern const size_t kGraphTableSize; // bytes, end record included

// Constants addressed by source codes 5500 + n. Lives for the whole process.
extern const float kGraphConstantPool[500];

// Readers of the packed layout (little-endian, unaligned-safe).
int16_t graphRecordId(const uint8_t* record);
CK_GraphEntry graphRecordEntry(const uint8_t* record, int k);
