#include "tests/windows/Answers.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace brelvik::check {

namespace {

std::string bits(float value)
{
    uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(word));
    return text;
}

std::string number(long long value)
{
    return std::to_string(value);
}

// FNV-1a: a stand-in for the chunk's bytes in one line.
std::string digest(const std::vector<uint8_t>& bytes)
{
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t b : bytes) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
    char text[24];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

class Transcript {
public:
    explicit Transcript(host::HostedPlugin& plugin) : plugin_(plugin) {}

    void add(const std::string& key, const std::string& value) { lines_.push_back(key + ": " + value); }

    VstIntPtr ask(const std::string& key, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                  void* ptr = nullptr, float opt = 0.0f)
    {
        const VstIntPtr answer = plugin_.dispatch(opcode, index, value, ptr, opt);
        add(key, number(answer));
        return answer;
    }

    // A text answer: the return value and the zero-terminated text the plug-in wrote.
    void askText(const std::string& key, VstInt32 opcode, VstInt32 index = 0)
    {
        char text[256];
        std::memset(text, 0, sizeof text);
        const VstIntPtr answer = plugin_.dispatch(opcode, index, 0, text);
        text[sizeof text - 1] = '\0';
        add(key, number(answer) + " \"" + text + "\"");
    }

    std::vector<std::string> take() { return std::move(lines_); }

private:
    host::HostedPlugin& plugin_;
    std::vector<std::string> lines_;
};

void effectRecord(Transcript& t, const AEffect& e)
{
    t.add("magic", number(e.magic));
    t.add("numPrograms", number(e.numPrograms));
    t.add("numParams", number(e.numParams));
    t.add("numInputs", number(e.numInputs));
    t.add("numOutputs", number(e.numOutputs));
    t.add("flags", number(e.flags));
    t.add("initialDelay", number(e.initialDelay));
    t.add("realQualities", number(e.realQualities));
    t.add("offQualities", number(e.offQualities));
    t.add("ioRatio", bits(e.ioRatio));
    t.add("uniqueID", number(e.uniqueID));
    t.add("version", number(e.version));
    t.add("process distinct from processReplacing", number(e.process != e.processReplacing));
    t.add("processDoubleReplacing set", number(e.processDoubleReplacing != nullptr));
}

void identity(Transcript& t, host::HostedPlugin& plugin)
{
    t.ask("effGetVstVersion", effGetVstVersion);
    t.ask("effGetPlugCategory", effGetPlugCategory);
    t.ask("effGetVendorVersion", effGetVendorVersion);
    t.ask("effIdentify", effIdentify);
    t.askText("effGetEffectName", effGetEffectName);
    t.askText("effGetVendorString", effGetVendorString);
    t.askText("effGetProductString", effGetProductString);
    t.ask("effGetNumMidiInputChannels", effGetNumMidiInputChannels);
    t.ask("effGetNumMidiOutputChannels", effGetNumMidiOutputChannels);
    t.ask("effGetTailSize", effGetTailSize);
    t.ask("effSetBypass 1", effSetBypass, 0, 1);
    t.ask("effSetBypass 0", effSetBypass, 0, 0);
    t.ask("effSetTotalSampleToProcess 123457", effSetTotalSampleToProcess, 0, 123457);
    t.ask("effSetEditKnobMode 2", effSetEditKnobMode, 0, 2);
    t.ask("effGetNumProgramCategories", effGetNumProgramCategories);
    ERect* rect = nullptr;
    t.ask("effEditGetRect", effEditGetRect, 0, 0, &rect);
    t.add("effEditGetRect rect", rect ? number(rect->top) + " " + number(rect->left) + " " + number(rect->bottom) +
                                            " " + number(rect->right)
                                      : "none");
    for (const char* what : {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
                             "receiveVstMidiEvents", "receiveVstTimeInfo", "offline", "midiProgramNames",
                             "bypass", "Bypass", "", "plugAsChannelInsert", "plugAsSend", "mixDryWet",
                             "noRealTime", "multipass", "metapass", "1in1out", "2in2out", "2in4out"})
        t.add(std::string("canDo \"") + what + "\"", number(plugin.canDo(what)));
    t.add("canDo null", number(plugin.canDo(nullptr)));
}

void pins(Transcript& t, host::HostedPlugin& plugin)
{
    for (VstInt32 opcode : {effGetInputProperties, effGetOutputProperties}) {
        for (int pin = 0; pin < 3; ++pin) {
            VstPinProperties p;
            std::memset(&p, 0, sizeof p);
            const VstIntPtr answer = plugin.dispatch(opcode, pin, 0, &p);
            p.label[sizeof p.label - 1] = '\0';
            p.shortLabel[sizeof p.shortLabel - 1] = '\0';
            t.add(std::string(opcode == effGetInputProperties ? "input" : "output") + " pin " + number(pin),
                  number(answer) + " \"" + p.label + "\" \"" + p.shortLabel + "\" flags " + number(p.flags) +
                      " arrangement " + number(p.arrangementType));
        }
    }
    VstSpeakerArrangement* input = nullptr;
    VstSpeakerArrangement* output = nullptr;
    const VstIntPtr answer =
        plugin.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output);
    t.add("effGetSpeakerArrangement", number(answer));
    if (input && output) {
        t.add("speaker arrangement in", number(input->type) + " " + number(input->numChannels));
        t.add("speaker arrangement out", number(output->type) + " " + number(output->numChannels));
        VstSpeakerArrangement in = *input;
        VstSpeakerArrangement out = *output;
        t.ask("effSetSpeakerArrangement stereo", effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in),
              &out);
    }
}

void parameters(Transcript& t, host::HostedPlugin& plugin, int count)
{
    for (int i = -1; i <= count; ++i) {
        const std::string p = "parameter " + number(i);
        t.add(p + " name", "\"" + plugin.parameterName(i) + "\"");
        t.add(p + " label", "\"" + plugin.parameterLabel(i) + "\"");
        t.add(p + " display", "\"" + plugin.parameterDisplay(i) + "\"");
        t.add(p + " value", bits(plugin.getParameter(i)));
        t.ask(p + " effCanBeAutomated", effCanBeAutomated, i);
        VstParameterProperties properties;
        std::memset(&properties, 0, sizeof properties);
        t.ask(p + " effGetParameterProperties", effGetParameterProperties, i, 0, &properties);
    }
    // The texts over each parameter's range: conversions, rounding and choice lists.
    for (int i = 0; i < count; ++i) {
        for (float v : {0.0f, 0.1f, 0.25f, 1.0f / 3.0f, 0.5f, 0.77f, 0.999f, 1.0f}) {
            plugin.setParameter(i, v);
            t.add("parameter " + number(i) + " at " + bits(v),
                  bits(plugin.getParameter(i)) + " \"" + plugin.parameterDisplay(i) + "\"");
        }
    }
    char text[8] = "0.5";
    t.ask("effString2Parameter", effString2Parameter, 0, 0, text);
}

void programs(Transcript& t, host::HostedPlugin& plugin, int count)
{
    t.ask("effGetProgram", effGetProgram);
    t.askText("effGetProgramName", effGetProgramName);
    for (int i = -1; i <= count; ++i)
        t.askText("effGetProgramNameIndexed " + number(i), effGetProgramNameIndexed, i);
    const std::vector<uint8_t> bank = plugin.getChunk(false);
    const std::vector<uint8_t> program = plugin.getChunk(true);
    t.add("bank chunk", number(static_cast<long long>(bank.size())) + " bytes, digest " + digest(bank));
    t.add("program chunk", number(static_cast<long long>(program.size())) + " bytes, digest " + digest(program));

    plugin.setProgram(3);
    t.ask("effGetProgram after effSetProgram 3", effGetProgram);
    plugin.setProgramName("Renamed on purpose, and far too long");
    t.askText("effGetProgramName after rename", effGetProgramName);
    plugin.setProgram(count + 5);
    t.ask("effGetProgram after effSetProgram out of range", effGetProgram);
}

void lifeCycle(Transcript& t, host::HostedPlugin& plugin)
{
    for (float rate : {44100.0f, 48000.0f, 96000.0f}) {
        plugin.setSampleRate(rate);
        plugin.setBlockSize(512);
        plugin.resume();
        t.add("initialDelay at " + number(static_cast<long long>(rate)), number(plugin.latency()));
        plugin.suspend();
    }
}

} // namespace

std::vector<std::string> dispatcherAnswers(host::HostedPlugin& plugin)
{
    Transcript t(plugin);
    const AEffect& effect = *plugin.effect();
    effectRecord(t, effect);
    plugin.open();
    identity(t, plugin);
    pins(t, plugin);
    // Parameters first on the factory program, the programs and chunks after the sweep changed it.
    programs(t, plugin, effect.numPrograms);
    plugin.setProgram(0);
    parameters(t, plugin, effect.numParams);
    t.add("program chunk after the sweep", digest(plugin.getChunk(true)));
    lifeCycle(t, plugin);
    return t.take();
}

bool writeAnswers(const std::string& path, const std::vector<std::string>& answers)
{
    std::ofstream out(path, std::ios::binary);
    for (const std::string& line : answers)
        out << line << '\n';
    return static_cast<bool>(out.flush());
}

bool readAnswers(const std::string& path, std::vector<std::string>& answers)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    answers.clear();
    for (std::string line; std::getline(in, line);)
        answers.push_back(line);
    return true;
}

} // namespace brelvik::check
