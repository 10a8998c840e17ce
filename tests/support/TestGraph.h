// Builds graph tables in the packed record layout for tests.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/GraphTable.h"

struct TestGraphEntry {
    uint8_t inputPin;
    uint8_t outputPin;
    int16_t source;
};

struct TestGraphRecord {
    int16_t id;
    std::vector<TestGraphEntry> entries;
};

inline std::vector<uint8_t> makeGraphTable(const std::vector<TestGraphRecord>& records)
{
    std::vector<uint8_t> bytes;
    auto put16 = [&bytes](size_t at, int16_t v) {
        bytes[at] = static_cast<uint8_t>(v & 0xFF);
        bytes[at + 1] = static_cast<uint8_t>((static_cast<uint16_t>(v) >> 8) & 0xFF);
    };
    auto add = [&](int16_t id, const std::vector<TestGraphEntry>& entries) {
        const size_t base = bytes.size();
        bytes.resize(base + kGraphRecordBytes, 0);
        put16(base, id);
        for (int k = 0; k < kGraphEntriesPerRecord; ++k)
            bytes[base + 2 + 4 * k] = kGraphPinEnd;
        for (size_t k = 0; k < entries.size() && k < kGraphEntriesPerRecord; ++k) {
            bytes[base + 2 + 4 * k] = entries[k].inputPin;
            bytes[base + 3 + 4 * k] = entries[k].outputPin;
            put16(base + 4 + 4 * k, entries[k].source);
        }
    };
    for (const auto& r : records)
        add(r.id, r.entries);
    add(kModuleIdEnd, {});
    return bytes;
}
