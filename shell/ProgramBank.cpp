#include "shell/ProgramBank.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/RelaxedAtomic.h"

static_assert(CK_ProgramBank::kNameOffset + 25 + 1 == CK_ProgramBank::kRecordBytes, "record layout");
static_assert(CK_ProgramBank::kBankBytes == 9360, "bank size");

CK_ProgramBank::CK_ProgramBank()
{
    resetToDefaults();
}

void CK_ProgramBank::writeDefaultRecord(int program, int number)
{
    uint8_t* r = record(program);
    std::memset(r, 0, kRecordBytes);
    const int16_t none = -1;
    for (int i = 0; i < kParameters; ++i)
        std::memcpy(r + kControllersOffset + 2 * i, &none, 2);
    char name[32];
    std::snprintf(name, sizeof name, "Empty %2.0f", static_cast<double>(number));
    std::memcpy(r + kNameOffset, name, std::strlen(name) + 1);
}

void CK_ProgramBank::resetToDefaults()
{
    for (int p = 0; p < kPrograms; ++p)
        writeDefaultRecord(p, p + 1);
}

int CK_ProgramBank::loadFactory(const void* data, size_t size)
{
    if (!data)
        return 0;
    const auto* source = static_cast<const uint8_t*>(data);
    int copied = 0;
    while (copied < kPrograms && size >= kRecordBytes) {
        std::memcpy(record(copied), source, kRecordBytes);
        source += kRecordBytes;
        size -= kRecordBytes;
        ++copied;
    }
    return copied;
}

float CK_ProgramBank::value(int program, int parameter) const
{
    if (!validProgram(program) || !validParameter(parameter))
        return 0.0f;
    const auto& cell = reinterpret_cast<const float*>(record(program) + kValuesOffset)[parameter];
    const float v = relaxedLoad(cell);
    if (!(v > 0.0f)) // NaN and everything up to 0
        return 0.0f;
    return v < 1.0f ? v : 1.0f;
}

void CK_ProgramBank::setValue(int program, int parameter, float normalised)
{
    if (!validProgram(program) || !validParameter(parameter))
        return;
    auto& cell = reinterpret_cast<float*>(record(program) + kValuesOffset)[parameter];
    relaxedStore(cell, normalised);
}

int16_t CK_ProgramBank::controller(int program, int parameter) const
{
    if (!validProgram(program) || !validParameter(parameter))
        return -1;
    const auto& cell = reinterpret_cast<const int16_t*>(record(program) + kControllersOffset)[parameter];
    const int16_t c = relaxedLoad(cell);
    return c >= -1 && c <= 127 ? c : static_cast<int16_t>(-1);
}

void CK_ProgramBank::setController(int program, int parameter, int16_t controller)
{
    if (!validProgram(program) || !validParameter(parameter))
        return;
    auto& cell = reinterpret_cast<int16_t*>(record(program) + kControllersOffset)[parameter];
    relaxedStore(cell, controller);
}

void CK_ProgramBank::name(int program, char* text) const
{
    if (!text)
        return;
    text[0] = '\0';
    if (!validProgram(program))
        return;
    const char* stored = reinterpret_cast<const char*>(record(program) + kNameOffset);
    int n = 0;
    while (n < kNameLength && stored[n] != '\0') {
        text[n] = stored[n];
        ++n;
    }
    text[n] = '\0';
}

void CK_ProgramBank::setName(int program, const char* text)
{
    if (!validProgram(program) || !text)
        return;
    char* stored = reinterpret_cast<char*>(record(program) + kNameOffset);
    int n = 0;
    while (n < kNameLength && text[n] != '\0') {
        stored[n] = text[n];
        ++n;
    }
    stored[n] = '\0';
    stored[kNameLength] = '\0';
}

void CK_ProgramBank::applyChunk(const void* data, size_t size, int currentProgram)
{
    if (!data)
        return;
    if (size == kRecordBytes && validProgram(currentProgram))
        copyIn(currentProgram * kRecordBytes, data, kRecordBytes);
    else
        copyIn(0, data, size < kBankBytes ? size : kBankBytes);
}

// The audio thread reads learned controllers and stores values while a host may restore state, so
// the cells it touches are written the way it reads them: one relaxed atomic store per cell, never
// a half-written one. The rest of the record (reserved bytes, names) is copied plainly.
void CK_ProgramBank::copyIn(size_t offset, const void* data, size_t size)
{
    const auto* source = static_cast<const uint8_t*>(data);
    size_t at = offset;
    const size_t end = offset + size;
    while (at < end) {
        const size_t inRecord = at % kRecordBytes;
        if (inRecord < kControllersOffset && at + 4 <= end && inRecord % 4 == 0) {
            float value;
            std::memcpy(&value, source + (at - offset), 4);
            relaxedStore(*reinterpret_cast<float*>(bytes_ + at), value);
            at += 4;
        } else if (inRecord >= kControllersOffset && inRecord < kReservedOffset && at + 2 <= end) {
            int16_t controller;
            std::memcpy(&controller, source + (at - offset), 2);
            relaxedStore(*reinterpret_cast<int16_t*>(bytes_ + at), controller);
            at += 2;
        } else {
            bytes_[at] = source[at - offset];
            ++at;
        }
    }
}
