// .fxp/.fxb preset files: the interchange layout byte for byte, rejection of damaged files, and
// round trips of every form through the plug-in binary (save from one instance, load into a fresh
// one, same state).
#include "tests/integration/LoadedPlugin.h"
#include "tools/render/PluginState.h"
#include "tools/render/PresetFile.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace brelvik::test {
namespace {

using render::PresetError;
using render::PresetFile;
using render::PresetForm;
using render::PresetKind;
using render::ProgramRecord;

uint32_t bigEndianAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    return (uint32_t{bytes[offset]} << 24) | (uint32_t{bytes[offset + 1]} << 16) | (uint32_t{bytes[offset + 2]} << 8) |
           uint32_t{bytes[offset + 3]};
}

std::string textAt(const std::vector<uint8_t>& bytes, size_t offset, size_t length)
{
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                       bytes.begin() + static_cast<std::ptrdiff_t>(offset + length));
}

void putBigEndian(std::vector<uint8_t>& bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

uint32_t floatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

PresetFile parameterProgram()
{
    PresetFile p;
    p.kind = PresetKind::Program;
    p.form = PresetForm::Parameters;
    p.pluginId = vstFourCC('B', 'r', 'S', 't');
    p.pluginVersion = 1;
    p.count = 3;
    p.program = {"Warm", {0.0f, 0.5f, 1.0f}};
    return p;
}

PresetFile chunkBank()
{
    PresetFile p;
    p.kind = PresetKind::Bank;
    p.form = PresetForm::Chunk;
    p.pluginId = vstFourCC('B', 'r', 'S', 't');
    p.pluginVersion = 7;
    p.count = 12;
    p.currentProgram = 3;
    p.chunk = {1, 2, 3, 4, 5};
    return p;
}

PresetFile parameterBank()
{
    PresetFile p;
    p.kind = PresetKind::Bank;
    p.form = PresetForm::Parameters;
    p.pluginId = vstFourCC('B', 'r', 'S', 't');
    p.pluginVersion = 1;
    p.count = 2;
    p.programs = {{"One", {0.25f, 0.75f}}, {"Two", {1.0f, 0.0f}}};
    return p;
}

TEST(PresetFileLayout, ProgramParameterFile)
{
    const std::vector<uint8_t> bytes = render::serializePreset(parameterProgram());
    ASSERT_EQ(bytes.size(), 56u + 3 * 4);
    EXPECT_EQ(textAt(bytes, 0, 4), "CcnK");
    EXPECT_EQ(bigEndianAt(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(textAt(bytes, 8, 4), "FxCk");
    EXPECT_EQ(bigEndianAt(bytes, 12), 1u);
    EXPECT_EQ(textAt(bytes, 16, 4), "BrSt");
    EXPECT_EQ(bigEndianAt(bytes, 20), 1u);
    EXPECT_EQ(bigEndianAt(bytes, 24), 3u);
    EXPECT_EQ(textAt(bytes, 28, 28), std::string("Warm") + std::string(24, '\0'));
    EXPECT_EQ(bigEndianAt(bytes, 56), 0x00000000u);
    EXPECT_EQ(bigEndianAt(bytes, 60), 0x3F000000u);
    EXPECT_EQ(bigEndianAt(bytes, 64), 0x3F800000u);
}

TEST(PresetFileLayout, ProgramChunkFileKeepsTheParameterCount)
{
    PresetFile p = parameterProgram();
    p.form = PresetForm::Chunk;
    p.count = 83;
    p.chunk = {9, 8, 7};
    const std::vector<uint8_t> bytes = render::serializePreset(p);
    ASSERT_EQ(bytes.size(), 56u + 4 + 3);
    EXPECT_EQ(textAt(bytes, 8, 4), "FPCh");
    EXPECT_EQ(bigEndianAt(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(bigEndianAt(bytes, 24), 83u);
    EXPECT_EQ(bigEndianAt(bytes, 56), 3u);
    EXPECT_EQ(textAt(bytes, 60, 3), "\x09\x08\x07");
}

TEST(PresetFileLayout, BankChunkFileNamesTheCurrentProgram)
{
    const std::vector<uint8_t> bytes = render::serializePreset(chunkBank());
    ASSERT_EQ(bytes.size(), 156u + 4 + 5);
    EXPECT_EQ(textAt(bytes, 0, 4), "CcnK");
    EXPECT_EQ(bigEndianAt(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(textAt(bytes, 8, 4), "FBCh");
    EXPECT_EQ(bigEndianAt(bytes, 12), 2u) << "version 2 carries the current program";
    EXPECT_EQ(bigEndianAt(bytes, 20), 7u);
    EXPECT_EQ(bigEndianAt(bytes, 24), 12u);
    EXPECT_EQ(bigEndianAt(bytes, 28), 3u);
    EXPECT_EQ(textAt(bytes, 32, 124), std::string(124, '\0'));
    EXPECT_EQ(bigEndianAt(bytes, 156), 5u);
}

TEST(PresetFileLayout, BankParameterFileHoldsCompleteProgramBlocks)
{
    const std::vector<uint8_t> bytes = render::serializePreset(parameterBank());
    const size_t block = 56 + 2 * 4;
    ASSERT_EQ(bytes.size(), 156 + 2 * block);
    EXPECT_EQ(textAt(bytes, 8, 4), "FxBk");
    EXPECT_EQ(bigEndianAt(bytes, 12), 1u) << "no current program given";
    EXPECT_EQ(bigEndianAt(bytes, 24), 2u);
    for (size_t p = 0; p < 2; ++p) {
        const size_t at = 156 + p * block;
        EXPECT_EQ(textAt(bytes, at, 4), "CcnK");
        EXPECT_EQ(bigEndianAt(bytes, at + 4), block - 8);
        EXPECT_EQ(textAt(bytes, at + 8, 4), "FxCk");
        EXPECT_EQ(textAt(bytes, at + 16, 4), "BrSt");
        EXPECT_EQ(bigEndianAt(bytes, at + 24), 2u);
    }
    EXPECT_EQ(textAt(bytes, 156 + 28, 3), "One");
    EXPECT_EQ(bigEndianAt(bytes, 156 + 56), floatBits(0.25f));
    EXPECT_EQ(bigEndianAt(bytes, 156 + block + 56), floatBits(1.0f));
}

TEST(PresetFileLayout, EveryFormReadsBackAsWritten)
{
    PresetFile chunkProgram = parameterProgram();
    chunkProgram.form = PresetForm::Chunk;
    chunkProgram.program.values.clear();
    chunkProgram.chunk = {0, 255, 17};
    PresetFile versionOneBank = chunkBank();
    versionOneBank.currentProgram = -1;

    for (const PresetFile& original : {parameterProgram(), chunkProgram, chunkBank(), versionOneBank, parameterBank()}) {
        SCOPED_TRACE(render::describe(original));
        const PresetFile back = render::parsePreset(render::serializePreset(original));
        EXPECT_EQ(back.kind, original.kind);
        EXPECT_EQ(back.form, original.form);
        EXPECT_EQ(back.pluginId, original.pluginId);
        EXPECT_EQ(back.pluginVersion, original.pluginVersion);
        EXPECT_EQ(back.count, original.count);
        EXPECT_EQ(back.currentProgram, original.currentProgram);
        EXPECT_EQ(back.program.name, original.program.name);
        EXPECT_EQ(back.program.values, original.program.values);
        EXPECT_EQ(back.chunk, original.chunk);
        ASSERT_EQ(back.programs.size(), original.programs.size());
        for (size_t i = 0; i < back.programs.size(); ++i) {
            EXPECT_EQ(back.programs[i].name, original.programs[i].name);
            EXPECT_EQ(back.programs[i].values, original.programs[i].values);
        }
    }
}

TEST(PresetFileLayout, ANameFillingTheFieldKeepsItsTerminator)
{
    PresetFile p = parameterProgram();
    p.program.name = std::string(40, 'x');
    const PresetFile back = render::parsePreset(render::serializePreset(p));
    EXPECT_EQ(back.program.name, std::string(27, 'x'));
}

struct Damage {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> apply;
    const char* reason; // part of the expected message
};

TEST(PresetFileLayout, DamagedFilesAreRejectedWithTheirReason)
{
    const std::vector<uint8_t> program = render::serializePreset(parameterProgram());
    const std::vector<uint8_t> bank = render::serializePreset(parameterBank());
    const std::vector<uint8_t> chunk = render::serializePreset(chunkBank());
    auto fixSize = [](std::vector<uint8_t>& b) { putBigEndian(b, 4, static_cast<uint32_t>(b.size() - 8)); };

    const std::vector<std::pair<const std::vector<uint8_t>*, Damage>> cases = {
        {&program, {"empty", [](auto& b) { b.clear(); }, "does not start with 'CcnK'"}},
        {&program, {"a WAV file", [](auto& b) { std::memcpy(b.data(), "RIFF", 4); }, "does not start with 'CcnK'"}},
        {&program, {"cut short", [](auto& b) { b.pop_back(); }, "the size field of the file says 60 bytes, but it holds 59"}},
        {&program, {"cut short, size fixed", [&](auto& b) { b.resize(b.size() - 4); fixSize(b); }, "the file ends inside the parameter values"}},
        {&program, {"trailing bytes", [&](auto& b) { b.push_back(0); fixSize(b); }, "1 unexpected bytes follow"}},
        {&program, {"unknown type", [](auto& b) { std::memcpy(b.data() + 8, "FxZZ", 4); }, "'FxZZ' is none of"}},
        {&program, {"version 3", [](auto& b) { putBigEndian(b, 12, 3); }, "format version 3"}},
        {&program, {"a value above 1", [](auto& b) { putBigEndian(b, 60, floatBits(1.5f)); }, "parameter 1 holds 1.5"}},
        {&program, {"a NaN value", [](auto& b) { putBigEndian(b, 64, floatBits(std::nanf(""))); }, "parameter 2 holds"}},
        {&program, {"a negative count", [](auto& b) { putBigEndian(b, 24, 0xFFFFFFFFu); }, "parameter count is negative"}},
        {&chunk, {"chunk size too large", [](auto& b) { putBigEndian(b, 156, 6); }, "chunk size field says 6 bytes, but 5"}},
        {&chunk, {"current program outside the bank", [](auto& b) { putBigEndian(b, 28, 12); }, "current program is 12"}},
        {&bank, {"a program of another plug-in", [](auto& b) { std::memcpy(b.data() + 156 + 64 + 16, "ZaMM", 4); }, "program 1 of the bank: belongs to plug-in 'ZaMM'"}},
        {&bank, {"a program block with a wrong size", [](auto& b) { putBigEndian(b, 156 + 4, 99); }, "program block 0 says 99 bytes"}},
        {&bank, {"one program missing", [&](auto& b) { b.resize(b.size() - 64); fixSize(b); }, "the file ends inside a program header"}},
    };
    for (const auto& [original, damage] : cases) {
        SCOPED_TRACE(damage.what);
        std::vector<uint8_t> bytes = *original;
        damage.apply(bytes);
        try {
            render::parsePreset(bytes);
            ADD_FAILURE() << "accepted";
        } catch (const PresetError& e) {
            EXPECT_NE(std::string(e.what()).find(damage.reason), std::string::npos) << e.what();
        }
    }
}

// Distinct state in every program: names, values that differ per program and parameter, and a
// current program other than 0.
void giveDistinctState(host::HostedPlugin& plugin)
{
    const AEffect* e = plugin.effect();
    for (int p = 0; p < e->numPrograms; ++p) {
        plugin.setProgram(p);
        plugin.setProgramName("Round trip " + std::to_string(p));
        for (int i = 0; i < e->numParams; ++i)
            plugin.setParameter(i, static_cast<float>((p * 7 + i * 13) % 101) / 100.0f);
    }
    plugin.setProgram(5);
}

struct ProgramState {
    std::string name;
    std::vector<float> values;
};

std::vector<ProgramState> allPrograms(host::HostedPlugin& plugin)
{
    const int current = plugin.getProgram();
    std::vector<ProgramState> programs;
    for (int p = 0; p < plugin.effect()->numPrograms; ++p) {
        plugin.setProgram(p);
        ProgramState state{plugin.programName(), {}};
        for (int i = 0; i < plugin.effect()->numParams; ++i)
            state.values.push_back(plugin.getParameter(i));
        programs.push_back(state);
    }
    plugin.setProgram(current);
    return programs;
}

class PresetRoundTrip : public BuiltPlugin, public ::testing::WithParamInterface<std::pair<PresetKind, PresetForm>> {
protected:
    void SetUp() override
    {
        BuiltPlugin::SetUp();
        plugin().open();
        target_ = loadBuiltPlugin();
        ASSERT_NE(target_.plugin, nullptr);
        target_.plugin->open();
    }

    LoadedPlugin target_;
};

TEST_P(PresetRoundTrip, RestoresTheSavedState)
{
    const auto [kind, form] = GetParam();
    giveDistinctState(plugin());
    const PresetFile saved =
        kind == PresetKind::Program ? render::captureProgram(plugin(), form) : render::captureBank(plugin(), form);
    EXPECT_EQ(saved.kind, kind);
    EXPECT_EQ(saved.form, form);
    const std::string path = ::testing::TempDir() + "round-trip-" + std::to_string(getpid()) +
                             (kind == PresetKind::Program ? ".fxp" : ".fxb");
    render::writePresetFile(path, saved);
    const PresetFile loaded = render::readPresetFile(path);
    std::remove(path.c_str());

    host::HostedPlugin& fresh = *target_.plugin;
    const std::vector<ProgramState> before = allPrograms(fresh);
    render::applyPreset(fresh, loaded, kind, path);
    const std::vector<ProgramState> source = allPrograms(plugin());
    const std::vector<ProgramState> restored = allPrograms(fresh);

    if (kind == PresetKind::Program) {
        // The file lands in the current program (0 in a fresh instance); the others stay as they were.
        ASSERT_EQ(fresh.getProgram(), 0);
        EXPECT_EQ(restored[0].values, source[5].values);
        EXPECT_EQ(restored[0].name, source[5].name);
        for (size_t p = 1; p < restored.size(); ++p)
            EXPECT_EQ(restored[p].values, before[p].values) << "program " << p;
        return;
    }
    EXPECT_EQ(fresh.getProgram(), 5) << "the bank names its current program";
    for (size_t p = 0; p < restored.size(); ++p) {
        EXPECT_EQ(restored[p].values, source[p].values) << "program " << p;
        EXPECT_EQ(restored[p].name, source[p].name) << "program " << p;
    }
    if (form == PresetForm::Chunk) {
        EXPECT_EQ(fresh.getChunk(false), plugin().getChunk(false)) << "the whole bank, learned controllers included";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryForm, PresetRoundTrip,
                         ::testing::Values(std::make_pair(PresetKind::Program, PresetForm::Chunk),
                                           std::make_pair(PresetKind::Program, PresetForm::Parameters),
                                           std::make_pair(PresetKind::Bank, PresetForm::Chunk),
                                           std::make_pair(PresetKind::Bank, PresetForm::Parameters)),
                         [](const auto& info) {
                             return std::string(info.param.first == PresetKind::Program ? "Program" : "Bank") +
                                    (info.param.second == PresetForm::Chunk ? "Chunk" : "Parameters");
                         });

TEST_F(BuiltPlugin, PresetsThatDoNotFitAreRefusedWithoutChangingAnything)
{
    plugin().open();
    const PresetFile program = render::captureProgram(plugin(), PresetForm::Chunk);
    const PresetFile values = render::captureProgram(plugin(), PresetForm::Parameters);
    const PresetFile bank = render::captureBank(plugin(), PresetForm::Parameters);
    const std::vector<uint8_t> state = plugin().getChunk(false);

    struct Case {
        const char* what;
        PresetFile preset;
        PresetKind expected;
        const char* reason;
    };
    std::vector<Case> cases;
    cases.push_back({"another plug-in's program", program, PresetKind::Program,
                     "'p.fxp' is a preset for another plug-in (ID 'ZaMM'; this plug-in is 'BrSt')"});
    cases.back().preset.pluginId = vstFourCC('Z', 'a', 'M', 'M');
    cases.push_back({"a bank given as a program", bank, PresetKind::Program,
                     "is a bank file (parameters), not a program file (.fxp)"});
    cases.push_back({"a program given as a bank", program, PresetKind::Bank,
                     "is a program file (chunk), not a bank file (.fxb)"});
    cases.push_back({"a chunk of the wrong size", program, PresetKind::Program,
                     "holds a 779-byte program chunk; this plug-in's are 780 bytes"});
    cases.back().preset.chunk.pop_back();
    cases.push_back({"too few parameters", values, PresetKind::Program, "holds 82 parameters; this plug-in has 83"});
    cases.back().preset.program.values.pop_back();
    cases.back().preset.count = 82;
    cases.push_back({"too few programs", bank, PresetKind::Bank, "holds 11 programs; this plug-in has 12"});
    cases.back().preset.programs.pop_back();
    cases.back().preset.count = 11;

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            render::applyPreset(plugin(), c.preset, c.expected, "p.fxp");
            ADD_FAILURE() << "accepted";
        } catch (const PresetError& e) {
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
        EXPECT_EQ(plugin().getChunk(false), state);
    }
}

} // namespace
} // namespace brelvik::test
