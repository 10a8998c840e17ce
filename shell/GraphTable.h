// The graph table: the fixed signal chain as a list of modules and what each input pin reads.
// Records use the packed 258-byte layout that the graph builder reads.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kGraphRecordBytes = 258;
constexpr int kGraphEntriesPerRecord = 64;
constexpr int16_t kGraphEndId = 6452;       // any ID above 6451 ends the table
constexpr uint8_t kGraphPinEnd = 255;       // ends a record's entry list
constexpr uint8_t kGraphDisplayPinBase = 230; // pins 230 + s name display output s
constexpr int16_t kGraphSourceModule = 6000;  // sources at or above: a module ID
constexpr int16_t kGraphSourceConstant = 5500; // 5500..5999: constant pool entry source - 5500

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
