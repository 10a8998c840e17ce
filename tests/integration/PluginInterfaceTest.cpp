// What a host reads from the plug-in binary: the AEffect record it gets from the entry point and
// the dispatcher's answers to the identity, I/O and capability questions hosts ask while scanning.
#include "tests/integration/LoadedPlugin.h"

#include <cstring>
#include <string>
#include <vector>

namespace brelvik::test {
namespace {

TEST_F(BuiltPlugin, EffectRecordHasTheFieldsHostsRead)
{
    const AEffect& e = effect();
    EXPECT_EQ(e.magic, kEffectMagic);
    EXPECT_EQ(e.numPrograms, 12);
    EXPECT_EQ(e.numParams, 83);
    EXPECT_EQ(e.numInputs, 2);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.uniqueID, vstFourCC('B', 'r', 'S', 't'));
    EXPECT_EQ(e.version, 1);
    EXPECT_EQ(e.ioRatio, 1.0f);

    EXPECT_TRUE(e.flags & effFlagsCanReplacing);
    EXPECT_TRUE(e.flags & effFlagsProgramChunks);
    EXPECT_FALSE(e.flags & effFlagsNoSoundInStop);
    EXPECT_FALSE(e.flags & effFlagsIsSynth);
    EXPECT_TRUE(e.flags & effFlagsHasEditor);

    EXPECT_NE(e.dispatcher, nullptr);
    EXPECT_NE(e.setParameter, nullptr);
    EXPECT_NE(e.getParameter, nullptr);
    EXPECT_NE(e.processReplacing, nullptr);
    // Some hosts treat a plug-in whose accumulating entry equals processReplacing as broken.
    EXPECT_NE(e.process, nullptr);
    EXPECT_NE(e.process, e.processReplacing);
    EXPECT_NE(e.object, nullptr);
    EXPECT_EQ(e.resvd1, reinterpret_cast<VstIntPtr>(&plugin())) << "resvd1 belongs to the host";

    const std::vector<char> zeros(sizeof e.future, 0);
    EXPECT_EQ(std::memcmp(e.future, zeros.data(), zeros.size()), 0) << "future[] must be zeroed";
}

TEST(PluginEntry, RefusesAHostThatIsNotVst2)
{
    std::string error;
    auto library = host::PluginLibrary::open(BRELVIK_PLUGIN_PATH, error);
    ASSERT_NE(library, nullptr) << error;
    host::HostOptions options;
    options.hostVersion = 0;
    EXPECT_EQ(host::HostedPlugin::load(*library, options, error), nullptr);
    EXPECT_NE(error.find("declined"), std::string::npos) << error;
}

TEST_F(BuiltPlugin, AsksForMidiWhileBeingCreated)
{
    // Nothing but the entry point has run at this point.
    EXPECT_GE(plugin().record().wantMidi, 1);
}

std::string askString(host::HostedPlugin& plugin, VstInt32 opcode, VstIntPtr expectedAnswer = 1)
{
    char text[256] = {};
    EXPECT_EQ(plugin.dispatch(opcode, 0, 0, text), expectedAnswer) << "opcode " << opcode;
    return text;
}

TEST_F(BuiltPlugin, IdentifiesItself)
{
    EXPECT_EQ(plugin().dispatch(effGetVstVersion), kVstVersion);
    EXPECT_EQ(plugin().dispatch(effGetPlugCategory), kPlugCategMastering);
    EXPECT_EQ(plugin().dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(plugin().dispatch(effIdentify), vstFourCC('N', 'v', 'E', 'f'));
    EXPECT_EQ(askString(plugin(), effGetEffectName), "Brelvik_Suite");
    EXPECT_EQ(askString(plugin(), effGetProductString), "Brelvik_Suite");
    EXPECT_EQ(askString(plugin(), effGetVendorString), "Brelvik Audio");
}

TEST_F(BuiltPlugin, AnswersHostQueries)
{
    EXPECT_EQ(plugin().dispatch(effGetNumMidiInputChannels), 16);
    EXPECT_EQ(plugin().dispatch(effGetNumMidiOutputChannels), 0);
    EXPECT_EQ(plugin().dispatch(effSetBypass, 0, 1), 0) << "no soft bypass";
    EXPECT_EQ(plugin().dispatch(effGetTailSize), 0);
    EXPECT_EQ(plugin().dispatch(effSetTotalSampleToProcess, 0, 123457), 123457);
    EXPECT_EQ(plugin().dispatch(effSetTotalSampleToProcess, 0, 512), 512);
    for (int i = 0; i < effect().numParams; ++i)
        EXPECT_EQ(plugin().dispatch(effCanBeAutomated, i), 1) << "parameter " << i;
    char text[64] = "0.5";
    EXPECT_EQ(plugin().dispatch(effString2Parameter, 0, 0, text), 0);
    EXPECT_EQ(plugin().dispatch(effString2Parameter, 0, 0, nullptr), 0);
}

TEST_F(BuiltPlugin, DescribesItsStereoPins)
{
    struct Pin {
        VstInt32 opcode;
        int index;
        const char* label;
    };
    for (const Pin& pin : {Pin{effGetInputProperties, 0, "Left In"}, Pin{effGetInputProperties, 1, "Right In"},
                           Pin{effGetOutputProperties, 0, "Left Out"}, Pin{effGetOutputProperties, 1, "Right Out"}}) {
        VstPinProperties properties{};
        EXPECT_EQ(plugin().dispatch(pin.opcode, pin.index, 0, &properties), 1) << pin.label;
        EXPECT_STREQ(properties.label, pin.label);
        EXPECT_EQ(properties.flags, kVstPinIsActive | kVstPinIsStereo) << pin.label;
        EXPECT_EQ(properties.arrangementType, kSpeakerArrStereo) << pin.label;
    }

    for (VstInt32 opcode : {effGetInputProperties, effGetOutputProperties}) {
        VstPinProperties untouched;
        std::memset(&untouched, 0x5A, sizeof untouched);
        VstPinProperties properties = untouched;
        EXPECT_EQ(plugin().dispatch(opcode, 2, 0, &properties), 0) << "there is no third pin";
        EXPECT_EQ(std::memcmp(&properties, &untouched, sizeof properties), 0) << "pin 2 was written to";
    }
}

TEST_F(BuiltPlugin, ReportsAStereoSpeakerArrangement)
{
    VstSpeakerArrangement* input = nullptr;
    VstSpeakerArrangement* output = nullptr;
    ASSERT_EQ(plugin().dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 1);
    ASSERT_NE(input, nullptr);
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(input->type, kSpeakerArrStereo);
    EXPECT_EQ(input->numChannels, 2);
    EXPECT_EQ(output->type, kSpeakerArrStereo);
    EXPECT_EQ(output->numChannels, 2);

    VstSpeakerArrangement stereoIn = *input;
    VstSpeakerArrangement stereoOut = *output;
    EXPECT_EQ(plugin().dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&stereoIn), &stereoOut), 0);
}

TEST_F(BuiltPlugin, CanDoAnswersAreExact)
{
    struct Case {
        const char* what;
        VstIntPtr answer;
    };
    const Case cases[] = {
        {"receiveVstEvents", 1},   {"receiveVstMidiEvents", 1}, {"receiveVstTimeInfo", 1},
        {"sendVstMidiEvent", -1},  {"sendVstEvents", -1},       {"offline", -1},
        {"bypass", -1},            {"midiProgramNames", -1},
        // Unknown strings, near misses and the case-sensitive spelling: "don't know".
        {"receiveVstMidiEvent", 0}, {"", 0},                     {"Bypass", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(plugin().canDo(c.what), c.answer) << "canDo \"" << c.what << "\"";
    EXPECT_EQ(plugin().canDo(nullptr), 0);
}

} // namespace
} // namespace brelvik::test
