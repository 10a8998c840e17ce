// The VST 2 preset files hosts exchange: .fxp (one program) and .fxb (a bank of programs), each
// either as a parameter list ('FxCk' / 'FxBk') or as the plug-in's opaque chunk ('FPCh' / 'FBCh').
// All numbers are big-endian on disk. This file only converts between bytes and the record below;
// PluginState applies a record to a running plug-in and reads one back.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace brelvik::render {

struct PresetError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class PresetKind { Program, Bank };
enum class PresetForm { Parameters, Chunk };

// One program of a parameter-list bank.
struct ProgramRecord {
    std::string name;
    std::vector<float> values; // normalised 0..1, one per parameter
};

struct PresetFile {
    PresetKind kind = PresetKind::Program;
    PresetForm form = PresetForm::Parameters;
    int32_t pluginId = 0;      // fxID: the plug-in's uniqueID
    int32_t pluginVersion = 0; // fxVersion
    int32_t count = 0;         // parameters (program file) or programs (bank file)

    // Program files: the program's name and, for the parameter form, its values.
    ProgramRecord program;
    // Parameter-form banks: `count` programs.
    std::vector<ProgramRecord> programs;
    // Chunk forms: the plug-in's opaque bytes.
    std::vector<uint8_t> chunk;
    // Banks written in version 2 name the program that was current; -1 when the file does not.
    int32_t currentProgram = -1;
};

// "program file (parameters)", "bank file (chunk)", ...: how messages name a preset's form.
std::string describe(const PresetFile& preset);
// The ID as its four characters when they are printable ('BrSt'), else in hexadecimal.
std::string describePluginId(int32_t id);

// Decodes a whole file. Throws PresetError with a one-line reason for anything that is not a
// well-formed preset file: wrong magic numbers, sizes that disagree with the contents, a truncated
// or over-long file, parameter values that are not numbers between 0 and 1.
PresetFile parsePreset(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> serializePreset(const PresetFile& preset);

// File access. `path` only names the file in messages. Writing goes through a temporary file
// next to the target, renamed over it once complete.
PresetFile readPresetFile(const std::string& path);
void writePresetFile(const std::string& path, const PresetFile& preset);

} // namespace brelvik::render
