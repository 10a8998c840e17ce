#include "tools/render/PresetFile.h"
#include "tools/render/ReplaceFile.h"

#include "vst/VstInterface.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace brelvik::render {

namespace {

constexpr int32_t kChunkMagic = vstFourCC('C', 'c', 'n', 'K');
constexpr int32_t kProgramParams = vstFourCC('F', 'x', 'C', 'k');
constexpr int32_t kProgramChunk = vstFourCC('F', 'P', 'C', 'h');
constexpr int32_t kBankParams = vstFourCC('F', 'x', 'B', 'k');
constexpr int32_t kBankChunk = vstFourCC('F', 'B', 'C', 'h');

constexpr size_t kProgramNameBytes = 28;
constexpr size_t kBankReservedBytes = 128;
constexpr size_t kProgramHeaderBytes = 56; // up to the program data
constexpr size_t kBankHeaderBytes = 156;   // up to the bank data
constexpr size_t kSizeFieldEnd = 8;        // byteSize counts the bytes after its own field

std::string fourCC(int32_t value)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        text += static_cast<char>((static_cast<uint32_t>(value) >> shift) & 0xFF);
    return text;
}

class Reader {
public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    size_t position() const { return position_; }
    size_t remaining() const { return bytes_.size() - position_; }

    void need(size_t count, const char* what) const
    {
        if (count > remaining())
            throw PresetError("the file ends inside " + std::string(what) + " (" + std::to_string(count) +
                              " more bytes needed at offset " + std::to_string(position_) + ", " +
                              std::to_string(remaining()) + " left)");
    }

    int32_t int32(const char* what)
    {
        need(4, what);
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | bytes_[position_++];
        return static_cast<int32_t>(v);
    }

    float float32(const char* what)
    {
        const uint32_t bits = static_cast<uint32_t>(int32(what));
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    std::string text(size_t length, const char* what)
    {
        need(length, what);
        const char* start = reinterpret_cast<const char*>(bytes_.data() + position_);
        position_ += length;
        return std::string(start, strnlen(start, length));
    }

    std::vector<uint8_t> bytes(size_t length, const char* what)
    {
        need(length, what);
        std::vector<uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(position_),
                                 bytes_.begin() + static_cast<std::ptrdiff_t>(position_ + length));
        position_ += length;
        return out;
    }

    void skip(size_t length, const char* what)
    {
        need(length, what);
        position_ += length;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t position_ = 0;
};

class Writer {
public:
    void int32(int32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes_.push_back(static_cast<uint8_t>((static_cast<uint32_t>(value) >> shift) & 0xFF));
    }
    void float32(float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        int32(static_cast<int32_t>(bits));
    }
    // Zero-padded to `length`, always leaving room for a terminator.
    void text(const std::string& value, size_t length)
    {
        const size_t n = std::min(value.size(), length - 1);
        bytes_.insert(bytes_.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(n));
        bytes_.insert(bytes_.end(), length - n, 0);
    }
    void bytes(const std::vector<uint8_t>& data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }

    // Fills in the byteSize field of the block that starts at `blockStart`.
    void closeBlock(size_t blockStart)
    {
        const auto size = static_cast<uint32_t>(bytes_.size() - blockStart - kSizeFieldEnd);
        for (int i = 0; i < 4; ++i)
            bytes_[blockStart + 4 + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
    }

    size_t size() const { return bytes_.size(); }
    std::vector<uint8_t>& data() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

int32_t readCount(Reader& in, const char* what)
{
    const int32_t count = in.int32(what);
    if (count < 0)
        throw PresetError("the " + std::string(what) + " is negative (" + std::to_string(count) + ")");
    return count;
}

void checkVersion(int32_t version, const char* what)
{
    if (version != 1 && version != 2)
        throw PresetError(std::string(what) + " has format version " + std::to_string(version) +
                          "; only versions 1 and 2 exist");
}

std::vector<float> readValues(Reader& in, int32_t count, const std::string& where)
{
    in.need(static_cast<size_t>(count) * 4, "the parameter values");
    std::vector<float> values(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        const float v = in.float32("the parameter values");
        if (!(v >= 0.0f && v <= 1.0f))
            throw PresetError(where + "parameter " + std::to_string(i) + " holds " + std::to_string(v) +
                              ", but stored values run from 0 to 1");
        values[static_cast<size_t>(i)] = v;
    }
    return values;
}

std::vector<uint8_t> readChunk(Reader& in)
{
    const int32_t size = readCount(in, "chunk size");
    if (static_cast<size_t>(size) != in.remaining())
        throw PresetError("the chunk size field says " + std::to_string(size) + " bytes, but " +
                          std::to_string(in.remaining()) + " bytes follow it");
    return in.bytes(static_cast<size_t>(size), "the chunk");
}

// A block's byteSize must cover exactly the bytes that belong to it.
void checkBlockSize(int32_t byteSize, size_t available, const char* what)
{
    if (byteSize < 0 || static_cast<size_t>(byteSize) != available)
        throw PresetError("the size field of the " + std::string(what) + " says " + std::to_string(byteSize) +
                          " bytes, but it holds " + std::to_string(available));
}

// One 'FxCk' program block inside a parameter bank, starting at its 'CcnK'.
ProgramRecord readBankProgram(Reader& in, int index, const PresetFile& bank)
{
    const std::string where = "program " + std::to_string(index) + " of the bank: ";
    if (in.int32("a program header") != kChunkMagic)
        throw PresetError(where + "does not start with 'CcnK'");
    const int32_t byteSize = in.int32("a program header");
    const int32_t magic = in.int32("a program header");
    if (magic != kProgramParams)
        throw PresetError(where + "is a '" + fourCC(magic) + "' block, expected 'FxCk'");
    checkVersion(in.int32("a program header"), where.c_str());
    const int32_t id = in.int32("a program header");
    if (id != bank.pluginId)
        throw PresetError(where + "belongs to plug-in " + describePluginId(id) + ", the bank to " +
                          describePluginId(bank.pluginId));
    in.int32("a program header"); // fxVersion
    const int32_t count = readCount(in, "parameter count");
    ProgramRecord program;
    program.name = in.text(kProgramNameBytes, "a program name");
    checkBlockSize(byteSize, kProgramHeaderBytes - kSizeFieldEnd + static_cast<size_t>(count) * 4,
                   ("program block " + std::to_string(index)).c_str());
    program.values = readValues(in, count, where);
    return program;
}

PresetFile parseProgram(Reader& in, int32_t magic)
{
    PresetFile preset;
    preset.kind = PresetKind::Program;
    preset.form = magic == kProgramChunk ? PresetForm::Chunk : PresetForm::Parameters;
    checkVersion(in.int32("the header"), "the program file");
    preset.pluginId = in.int32("the header");
    preset.pluginVersion = in.int32("the header");
    preset.count = readCount(in, "parameter count");
    preset.program.name = in.text(kProgramNameBytes, "the program name");
    if (preset.form == PresetForm::Chunk) {
        preset.chunk = readChunk(in);
    } else {
        preset.program.values = readValues(in, preset.count, "");
    }
    return preset;
}

PresetFile parseBank(Reader& in, int32_t magic)
{
    PresetFile preset;
    preset.kind = PresetKind::Bank;
    preset.form = magic == kBankChunk ? PresetForm::Chunk : PresetForm::Parameters;
    const int32_t version = in.int32("the header");
    checkVersion(version, "the bank file");
    preset.pluginId = in.int32("the header");
    preset.pluginVersion = in.int32("the header");
    preset.count = readCount(in, "program count");
    const size_t reservedStart = in.position();
    const int32_t current = in.int32("the header");
    if (version == 2) {
        if (current < 0 || current >= preset.count)
            throw PresetError("the current program is " + std::to_string(current) + ", but the bank holds " +
                              std::to_string(preset.count) + " programs");
        preset.currentProgram = current;
    }
    in.skip(kBankReservedBytes - (in.position() - reservedStart), "the header");

    if (preset.form == PresetForm::Chunk) {
        preset.chunk = readChunk(in);
        return preset;
    }
    for (int32_t p = 0; p < preset.count; ++p)
        preset.programs.push_back(readBankProgram(in, p, preset));
    for (const ProgramRecord& program : preset.programs)
        if (program.values.size() != preset.programs.front().values.size())
            throw PresetError("the bank's programs hold different numbers of parameters (" +
                              std::to_string(preset.programs.front().values.size()) + " and " +
                              std::to_string(program.values.size()) + ")");
    if (in.remaining() != 0)
        throw PresetError(std::to_string(in.remaining()) + " unexpected bytes follow the last program");
    return preset;
}

void writeProgramBlock(Writer& out, int32_t magic, const PresetFile& preset, const ProgramRecord& program,
                       int32_t parameterCount)
{
    const size_t start = out.size();
    out.int32(kChunkMagic);
    out.int32(0); // byteSize, filled in below
    out.int32(magic);
    out.int32(1);
    out.int32(preset.pluginId);
    out.int32(preset.pluginVersion);
    out.int32(parameterCount);
    out.text(program.name, kProgramNameBytes);
    if (magic == kProgramChunk) {
        out.int32(static_cast<int32_t>(preset.chunk.size()));
        out.bytes(preset.chunk);
    } else {
        for (float v : program.values)
            out.float32(v);
    }
    out.closeBlock(start);
}

} // namespace

std::string describe(const PresetFile& preset)
{
    const char* kind = preset.kind == PresetKind::Program ? "program file" : "bank file";
    const char* form = preset.form == PresetForm::Chunk ? "chunk" : "parameters";
    return std::string(kind) + " (" + form + ")";
}

std::string describePluginId(int32_t id)
{
    const std::string text = fourCC(id);
    bool printable = true;
    for (char c : text)
        printable = printable && std::isprint(static_cast<unsigned char>(c));
    if (printable)
        return "'" + text + "'";
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(id));
    return hex;
}

PresetFile parsePreset(const std::vector<uint8_t>& bytes)
{
    Reader in(bytes);
    if (bytes.size() < 4 || in.int32("the header") != kChunkMagic)
        throw PresetError("it does not start with 'CcnK', the mark of VST preset files");
    const int32_t byteSize = in.int32("the header");
    checkBlockSize(byteSize, bytes.size() - kSizeFieldEnd, "file");
    const int32_t magic = in.int32("the header");

    PresetFile preset;
    if (magic == kProgramParams || magic == kProgramChunk)
        preset = parseProgram(in, magic);
    else if (magic == kBankParams || magic == kBankChunk)
        preset = parseBank(in, magic);
    else
        throw PresetError("its type '" + fourCC(magic) + "' is none of 'FxCk', 'FPCh', 'FxBk', 'FBCh'");
    if (in.remaining() != 0)
        throw PresetError(std::to_string(in.remaining()) + " unexpected bytes follow the data");
    return preset;
}

std::vector<uint8_t> serializePreset(const PresetFile& preset)
{
    Writer out;
    if (preset.kind == PresetKind::Program) {
        // A chunk program still states how many parameters the plug-in has.
        const bool chunk = preset.form == PresetForm::Chunk;
        writeProgramBlock(out, chunk ? kProgramChunk : kProgramParams, preset, preset.program,
                          chunk ? preset.count : static_cast<int32_t>(preset.program.values.size()));
        return std::move(out.data());
    }

    out.int32(kChunkMagic);
    out.int32(0);
    out.int32(preset.form == PresetForm::Chunk ? kBankChunk : kBankParams);
    const bool hasCurrent = preset.currentProgram >= 0;
    out.int32(hasCurrent ? 2 : 1);
    out.int32(preset.pluginId);
    out.int32(preset.pluginVersion);
    out.int32(preset.form == PresetForm::Chunk ? preset.count : static_cast<int32_t>(preset.programs.size()));
    out.int32(hasCurrent ? preset.currentProgram : 0);
    out.zeros(kBankReservedBytes - 4);
    if (preset.form == PresetForm::Chunk) {
        out.int32(static_cast<int32_t>(preset.chunk.size()));
        out.bytes(preset.chunk);
    } else {
        for (const ProgramRecord& program : preset.programs)
            writeProgramBlock(out, kProgramParams, preset, program, static_cast<int32_t>(program.values.size()));
    }
    out.closeBlock(0);
    return std::move(out.data());
}

PresetFile readPresetFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw PresetError("cannot read '" + path + "': " + std::strerror(errno));
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw PresetError("cannot read '" + path + "': " + std::strerror(errno));
    try {
        return parsePreset(bytes);
    } catch (const PresetError& e) {
        throw PresetError("'" + path + "' is not a usable preset file: " + e.what());
    }
}

void writePresetFile(const std::string& path, const PresetFile& preset)
{
    const std::vector<uint8_t> bytes = serializePreset(preset);
    const std::string temp = path + ".partial-" + std::to_string(getpid());
    std::FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file)
        throw PresetError("cannot write '" + path + "': " + std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        std::remove(temp.c_str());
        throw PresetError("cannot write '" + path + "': " + std::strerror(errno));
    }
    if (!replaceFile(temp, path)) {
        const std::string reason = std::strerror(errno);
        std::remove(temp.c_str());
        throw PresetError("cannot write '" + path + "': " + reason);
    }
}

} // namespace brelvik::render
