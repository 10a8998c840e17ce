#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "shell/CK_DSP_VST.h"
#include "shell/ProgramBank.h"
#include "support/TestGraph.h"
#include "support/TestModules.h"

namespace {

// Range and factory value of every host parameter, as the parameter list gives them.
struct Factory {
    int index;
    float min, max, value;
};
const Factory kFactory[] = {
    {0, 0, 0, 0},           {1, 0, 0, 0},           {2, 0, 500, 0.2f},       {3, 0, 500, 0},
    {4, 0, 2000, 200},      {5, -40, 0, -10},       {6, 0.1f, 20, 4},        {7, 0, 100, 50},
    {8, -24, 24, 0},        {9, -40, 0, -12},       {10, 0.1f, 20, 3},       {11, 0, 100, 50},
    {12, -24, 24, 0},       {13, -40, 0, -20},      {14, 0.1f, 20, 4},       {15, 0, 100, 50},
    {16, -24, 24, 0},       {17, 0, 50, 0.2f},      {18, 0, 0, 0},           {19, 2, 1000, 20},
    {20, 0, 1, 0},          {21, 20, 20480, 80},    {22, -15, 15, 0},        {23, 100, 10, 60},
    {24, 20, 20480, 300},   {25, -15, 15, 0},       {26, 100, 10, 60},       {27, 20, 20480, 1500},
    {28, -15, 15, 0},       {29, 100, 10, 60},      {30, 20, 20480, 5000},   {31, -15, 15, 0},
    {32, 100, 10, 60},      {33, 20, 20480, 10000}, {34, -15, 15, 0},        {35, 100, 10, 60},
    {36, 0, 1, 0},          {37, 0, 3, 0},          {38, 0, 1000, 500},      {39, 0, 500, 0},
    {40, 0, 6, 0},          {41, 0, 1000, 500},     {42, 0, 500, 0},         {43, 0, 6, 0},
    {44, 0, 4000, 2000},    {45, 0, 2000, 0},       {46, 0, 6, 0},           {47, 20, 20480, 200},
    {48, 20, 20480, 3000},  {49, 0, 10, 0},         {50, -100, 100, -25},    {51, 0, 2, 1},
    {52, 0, 100, 41.33f},   {53, 0, 10, 0},         {54, 0, 0, 0},           {55, -24, 24, 0},
    {56, 0, 10, 0},         {57, 0, 100, 30},       {58, 40, 400, 140},      {59, 0, 2, 0},
    {60, 0, 10, 0},         {61, 0, 100, 50},       {62, 1, 2, 1},           {63, 0, 10, 0},
    {64, 0, 100, 30},       {65, 1000, 18000, 3000}, {66, 0, 2, 1},          {67, 0, 10, 0},
    {68, 0, 100, 50},       {69, 1, 2, 1},          {70, 0, 1, 0},           {71, 0, 1, 0},
    {72, 0, 1, 0},          {73, 0, 1, 0},          {74, 0, 100, 0},         {75, 0, 1, 1},
    {76, 0, 1, 1},          {77, 0, 1, 1},          {78, 0, 1, 1},           {79, 0, 1, 1},
    {80, 0, 10, 0},         {81, 0, 10, 0},         {82, 0, 10, 0},
};

std::string display(CK_DSP_VST& fx, int index)
{
    char text[64];
    std::memset(text, 'x', sizeof text);
    fx.getParameterDisplay(index, text);
    return text;
}

std::string name(CK_DSP_VST& fx, int index)
{
    char text[64];
    std::memset(text, 'x', sizeof text);
    fx.getParameterName(index, text);
    return text;
}

TEST(Parameters, EveryParameterStartsAtItsFactoryValue)
{
    CK_DSP_VST fx(nullptr);
    ASSERT_EQ(sizeof kFactory / sizeof kFactory[0], 83u);
    for (const Factory& f : kFactory) {
        const float range = f.max - f.min;
        const float engineering = range == 0.0f ? 0.0f : f.min + fx.getParameter(f.index) * range;
        EXPECT_NEAR(engineering, f.value, 1e-3f * std::max(1.0f, std::fabs(f.value))) << "parameter " << f.index;
    }
    char text[64];
    fx.getProgramName(text);
    EXPECT_STREQ(text, "default");
    fx.getProgramNameIndexed(0, 5, text);
    EXPECT_STREQ(text, "(Copy 5) default");
    fx.getProgramNameIndexed(0, 11, text);
    EXPECT_STREQ(text, "(Copy 11) default");
}

TEST(Parameters, ConversionsToVoltsAndRoundedIntegers)
{
    CK_DSP_VST fx(nullptr);
    fx.setParameter(23, 0.0f); // "Eq 1 Width" runs from 100 down to 10
    fx.resume();
    EXPECT_FLOAT_EQ(fx.parameterVolts[23], 10.0f);
    fx.setParameter(23, 1.0f);
    fx.setParameter(62, 0.5f); // "Lo Harmonics" 1..2
    std::vector<float> l(16), r(16);
    float* io[2] = {l.data(), r.data()};
    fx.processReplacing(io, io, 16);
    EXPECT_FLOAT_EQ(fx.parameterVolts[23], 1.0f);
    EXPECT_FLOAT_EQ(fx.parameterVolts[62], 0.15f);
    EXPECT_EQ(roundedValue(fx.parameterVolts[62]), 2);
    EXPECT_EQ(roundedValue(-0.25f), -2);

    // Host values outside 0..1 are clamped; NaN reads as 0.
    fx.setParameter(5, 1.5f);
    EXPECT_EQ(fx.getParameter(5), 1.0f);
    fx.setParameter(5, -3.0f);
    EXPECT_EQ(fx.getParameter(5), 0.0f);
    fx.setParameter(5, NAN);
    EXPECT_EQ(fx.getParameter(5), 0.0f);
    // Indices without a slot are ignored rather than written out of bounds.
    fx.setParameter(-1, 0.5f);
    fx.setParameter(111, 0.5f);
    fx.setParameter(100000, 0.5f);
    EXPECT_EQ(fx.getParameter(83), 0.0f);
    EXPECT_EQ(fx.getParameter(-7), 0.0f);
}

TEST(Parameters, NamesAndDisplayTexts)
{
    CK_DSP_VST fx(nullptr);
    EXPECT_EQ(name(fx, 5), "Low Thresh dB");
    EXPECT_EQ(name(fx, 19), "Sensitivity Hz");
    EXPECT_EQ(name(fx, 83), "z-");
    EXPECT_EQ(name(fx, -1), "z-");
    EXPECT_EQ(name(fx, 1000), "z-");

    fx.setParameter(20, 1.0f); // "Metering"
    EXPECT_EQ(display(fx, 20), "RMS");
    fx.setParameter(20, 0.99f);
    EXPECT_EQ(display(fx, 20), "Peak");
    fx.setParameter(37, 1.0f); // "Meter Type"
    EXPECT_EQ(display(fx, 37), "K20");
    fx.setParameter(51, 0.0f); // "Spatial Mode": the label is cut to 8 characters
    EXPECT_EQ(display(fx, 51), "Low:Mid:");
    fx.setParameter(5, 0.75f);
    EXPECT_EQ(display(fx, 5), "-10.0000");
    fx.setParameter(21, 1.0f);
    EXPECT_EQ(display(fx, 21), "20480.00");
    fx.setParameter(36, 1.0f); // a switch shows its number
    EXPECT_EQ(display(fx, 36), "1.000000");
    EXPECT_EQ(display(fx, 86), "");
    EXPECT_EQ(display(fx, -3), "");
    char label[8] = "xxxxxxx";
    fx.getParameterLabel(5, label);
    EXPECT_STREQ(label, "");
}

TEST(Programs, DefaultBankNamesAndRecordLayout)
{
    CK_ProgramBank bank;
    char text[32];
    bank.name(0, text);
    EXPECT_STREQ(text, "Empty  1");
    bank.name(8, text);
    EXPECT_STREQ(text, "Empty  9");
    bank.name(11, text);
    EXPECT_STREQ(text, "Empty 12");
    EXPECT_EQ(bank.value(3, 40), 0.0f);
    EXPECT_EQ(bank.controller(0, 82), -1);

    bank.setName(2, "A name much longer than twenty-four characters");
    bank.name(2, text);
    EXPECT_STREQ(text, "A name much longer than ");
    EXPECT_EQ(bank.record(2)[CK_ProgramBank::kNameOffset + 24], 0);
}

TEST(Programs, SelectingRenamingAndOutOfRangeRequests)
{
    CK_DSP_VST fx(nullptr);
    fx.setProgram(4);
    fx.setParameter(5, 0.5f);
    fx.setProgram(12);
    fx.setProgram(-1);
    EXPECT_EQ(fx.getProgram(), 4);
    EXPECT_EQ(fx.getParameter(5), 0.5f);

    char name[] = "Thirty characters of name....";
    fx.setProgramName(name);
    char text[64];
    fx.getProgramName(text);
    EXPECT_STREQ(text, "Thirty characters of nam");
    std::memset(text, 'q', sizeof text);
    EXPECT_FALSE(fx.getProgramNameIndexed(0, 12, text));
    EXPECT_EQ(text[0], 'q');

    fx.setProgram(0);
    EXPECT_EQ(fx.getParameter(5), 0.75f); // factory -10 dB
    EXPECT_EQ(fx.programSnapshot(5), 0.75f);
    EXPECT_EQ(fx.isProgramLoading(), 0);
}

TEST(Chunks, SizesAndWhatALoadReplaces)
{
    CK_DSP_VST fx(nullptr);
    void* data = nullptr;
    fx.setProgram(5);
    EXPECT_EQ(fx.getChunk(&data, true), 780);
    const std::vector<uint8_t> program5(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + 780);
    void* whole = nullptr;
    EXPECT_EQ(fx.getChunk(&whole, false), 9360);
    EXPECT_EQ(data, static_cast<uint8_t*>(whole) + 5 * 780); // the live record, not a copy

    // A 780-byte chunk replaces only the current program, whatever the preset flag says.
    std::vector<uint8_t> single = program5;
    const float half = 0.5f;
    std::memcpy(single.data() + 4 * 7, &half, 4);
    std::memcpy(single.data() + 754, "Loaded", 7);
    fx.setProgram(2);
    EXPECT_EQ(fx.setChunk(single.data(), 780, false), 780);
    EXPECT_EQ(fx.getParameter(7), 0.5f);
    char text[64];
    fx.getProgramName(text);
    EXPECT_STREQ(text, "Loaded");
    fx.getProgramNameIndexed(0, 3, text);
    EXPECT_STREQ(text, "(Copy 3) default");

    // A bank chunk replaces every program, program 0's learned controllers included.
    fx.getChunk(&data, false);
    std::vector<uint8_t> bank(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + 9360);
    const int16_t cc = 21;
    std::memcpy(bank.data() + 332 + 2 * 10, &cc, 2);
    std::memcpy(bank.data() + 2 * 780 + 4 * 7, &half, 4);
    CK_DSP_VST other(nullptr);
    other.setProgram(2);
    EXPECT_EQ(other.setChunk(bank.data(), 9360, false), 9360);
    EXPECT_EQ(other.learnedController(10), 21);
    EXPECT_EQ(other.getParameter(7), 0.5f);

    // A chunk the plug-in wrote loads back byte for byte.
    other.getChunk(&data, false);
    EXPECT_EQ(std::memcmp(data, bank.data(), 9360), 0);
}

TEST(Chunks, DamagedValuesAreMadeSafeBeforeTheyReachAnything)
{
    CK_DSP_VST fx(nullptr);
    std::vector<uint8_t> bad(780, 0xFF); // NaN values, controller -1, no name terminator
    const float inf = INFINITY, big = 7.0f, negative = -2.0f;
    std::memcpy(bad.data() + 4 * 1, &inf, 4);
    std::memcpy(bad.data() + 4 * 2, &big, 4);
    std::memcpy(bad.data() + 4 * 3, &negative, 4);
    const int16_t wild = 500;
    std::memcpy(bad.data() + 332 + 2 * 4, &wild, 2);
    std::memset(bad.data() + 754, 'N', 26);
    fx.setProgram(0);
    fx.setChunk(bad.data(), 780, true);
    EXPECT_EQ(fx.getParameter(0), 0.0f);
    EXPECT_EQ(fx.getParameter(1), 1.0f);
    EXPECT_EQ(fx.getParameter(2), 1.0f);
    EXPECT_EQ(fx.getParameter(3), 0.0f);
    EXPECT_EQ(fx.learnedController(4), -1);
    EXPECT_EQ(fx.learnedController(5), -1);
    char text[64];
    fx.getProgramName(text);
    EXPECT_EQ(std::string(text), std::string(24, 'N'));
    for (int i = 0; i < 111; ++i)
        EXPECT_TRUE(std::isfinite(fx.parameterVolts[i]));

    // Short and oversized chunks: the leading part of the bank, at most the whole bank.
    std::vector<uint8_t> huge(20000, 0);
    EXPECT_EQ(fx.setChunk(huge.data(), 20000, false), 20000);
    EXPECT_EQ(fx.setChunk(huge.data(), 100, false), 100);
    EXPECT_EQ(fx.setChunk(nullptr, 100, false), 0);
}

// An effect whose only reader records what parameters 5, 9 and 13 deliver, and when.
class MidiEffect : public CK_DSP_VST {
public:
    MidiEffect() : CK_DSP_VST(nullptr)
    {
        table_ = makeGraphTable({{6003, {}}, {6015, {{0, 0, 5}, {1, 0, 9}, {2, 0, 13}, {3, 0, 2}}}});
        setGraphTable(table_.data());
    }
    CK_ModuleBase* makeModule(int32_t id) override
    {
        if (id == 6003)
            return new TestAudioIn(this);
        return new RecordingModule(this);
    }
    RecordingModule* reader() { return static_cast<RecordingModule*>(modules[1]); }
    void process(int frames)
    {
        std::vector<float> l(static_cast<size_t>(frames)), r(static_cast<size_t>(frames));
        float* io[2] = {l.data(), r.data()};
        processReplacing(io, io, frames);
    }

private:
    std::vector<uint8_t> table_;
};

VstInt32 sendControlChange(CK_DSP_VST& fx, int status, int controller, int value, int delta)
{
    VstMidiEvent midi{};
    midi.type = kVstMidiType;
    midi.byteSize = sizeof midi;
    midi.deltaFrames = delta;
    midi.midiData[0] = static_cast<char>(status);
    midi.midiData[1] = static_cast<char>(controller);
    midi.midiData[2] = static_cast<char>(value);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&midi);
    return fx.processEvents(&events);
}

TEST(Midi, LearnedControllersMoveTheirParametersAtTheEventsFrame)
{
    MidiEffect fx;
    fx.setBlockSize(256);
    fx.resume();
    fx.process(256);
    fx.reader()->handled.clear();

    fx.setLearnedController(5, 7);
    fx.setLearnedController(9, 7);
    fx.setLearnedController(13, 7);
    EXPECT_EQ(sendControlChange(fx, 0xBF, 7, 127, 100), 1); // channel 16
    EXPECT_EQ(fx.lastControllerNumber(), 7);
    EXPECT_EQ(fx.getParameter(5), 1.0f);
    fx.process(256);

    const auto& h = fx.reader()->handled;
    ASSERT_EQ(h.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(h[i].pin, i); // parameters 5, 9, 13 in index order
        EXPECT_EQ(h[i].time, 256u + 100u);
        EXPECT_EQ(h[i].firstFrame, 100); // the module sees the change from frame 100 on
        EXPECT_FLOAT_EQ(h[i].floatValue, 0.0f);
    }
    // The sub-block that holds the event was processed up to frame 100 before the change.
    bool splitAt100 = false;
    for (const auto& c : fx.reader()->calls)
        splitAt100 |= c.clock == 256u && c.count == 100;
    EXPECT_TRUE(splitAt100);

    sendControlChange(fx, 0xB0, 7, 64, 0);
    EXPECT_FLOAT_EQ(fx.getParameter(9), 64.0f / 127.0f);
}

TEST(Midi, WhatControllersNeverDo)
{
    MidiEffect fx;
    fx.resume();
    fx.setLearnedController(0, 11);
    fx.setLearnedController(2, 11);
    fx.setLearnedController(83, 11); // ignored
    EXPECT_EQ(fx.learnedController(83), -1);
    const float before0 = fx.getParameter(0);
    sendControlChange(fx, 0xB3, 11, 127, 0);
    EXPECT_EQ(fx.getParameter(0), before0);
    EXPECT_EQ(fx.getParameter(2), 1.0f);

    // Notes, system messages and other event types change nothing.
    sendControlChange(fx, 0x90, 11, 0, 0);
    sendControlChange(fx, 0xF0, 11, 0, 0);
    EXPECT_EQ(fx.getParameter(2), 1.0f);
    EXPECT_EQ(fx.processEvents(nullptr), 1);

    fx.resume();
    EXPECT_EQ(fx.lastControllerNumber(), -1);
}

} // namespace
