// The 12 programs as one contiguous block of 780-byte program records. The same bytes are the
// plug-in's chunk format and the layout of the factory bank resource (little-endian):
//   0    83 x float32  normalised value of parameters 0..82
//   332  83 x int16    learned MIDI controller per parameter, -1 = none (only program 0's is used)
//   498  256 bytes     reserved, carried unchanged
//   754  25 bytes      name, up to 24 characters, zero-terminated
//   779  1 byte        carried unchanged
// Values read from a record are made safe (clamped, bounded) on the way out; the stored bytes
// stay exactly as they were written, so a chunk saved and loaded again is identical.
#pragma once

#include <cstddef>
#include <cstdint>

class CK_ProgramBank {
public:
    static constexpr int kPrograms = 12;
    static constexpr int kParameters = 83;
    static constexpr size_t kRecordBytes = 780;
    static constexpr size_t kBankBytes = kRecordBytes * kPrograms;
    static constexpr size_t kValuesOffset = 0;
    static constexpr size_t kControllersOffset = 332;
    static constexpr size_t kReservedOffset = 498;
    static constexpr size_t kNameOffset = 754;
    static constexpr int kNameLength = 24;

    CK_ProgramBank();

    // Every program back to defaults: values 0, no learned controllers, names "Empty  1" .. "Empty 12".
    void resetToDefaults();
    // Copies whole records from a factory bank image, at most 12, each only while 780 bytes remain.
    // Answers the number of records copied.
    int loadFactory(const void* data, size_t size);

    // Normalised value of a parameter, clamped into 0..1 (NaN reads 0); 0 outside the record.
    float value(int program, int parameter) const;
    void setValue(int program, int parameter, float normalised);

    // Learned controller of a parameter in a program's table; values outside -1..127 read as -1.
    int16_t controller(int program, int parameter) const;
    void setController(int program, int parameter, int16_t controller);

    // Copies at most 24 characters of the name and a terminator (text needs 25 bytes).
    void name(int program, char* text) const;
    void setName(int program, const char* text);

    uint8_t* record(int program) { return bytes_ + static_cast<size_t>(program) * kRecordBytes; }
    const uint8_t* record(int program) const { return bytes_ + static_cast<size_t>(program) * kRecordBytes; }
    uint8_t* data() { return bytes_; }
    const uint8_t* data() const { return bytes_; }

    // Copies a chunk into the bank: exactly 780 bytes replace the given program's record, any other
    // size replaces the bank from its start (at most 9360 bytes).
    void applyChunk(const void* data, size_t size, int currentProgram);

private:
    static bool validProgram(int program) { return program >= 0 && program < kPrograms; }
    static bool validParameter(int parameter) { return parameter >= 0 && parameter < kParameters; }
    void writeDefaultRecord(int program, int number);
    void copyIn(size_t offset, const void* data, size_t size);

    alignas(16) uint8_t bytes_[kBankBytes];
};
