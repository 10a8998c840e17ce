// brelvik-plugin-check: loads a build of the plug-in the way a DAW does and checks what a host
// relies on: the entry point under both names, the editor's bitmaps as PNG resources (Windows), the
// AEffect record, the factory programs from the plug-in's own resources, chunk round trips and MIDI
// controller learn. Built for Linux it also
// writes a reference (the dispatcher's answers and a render with every stage switched on); built
// for Windows and run under wine it compares its own answers and render with that reference.
#include "host/HostedPlugin.h"
#include "host/PluginLibrary.h"
#include "tests/windows/Answers.h"
#include "tests/windows/BitmapResources.h"
#include "tests/windows/CheckReport.h"
#include "tests/windows/CheckedRender.h"
#if defined(_WIN32)
#include "tests/windows/EditorCheck.h"
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace brelvik;
using namespace brelvik::check;

constexpr const char* kUsage =
    "Usage: brelvik-plugin-check PLUGIN [--reference DIR | --make-reference DIR]\n"
    "       brelvik-plugin-check PLUGIN --editor DIR          (Windows)\n"
    "       brelvik-plugin-check --compare A.wav B.wav\n"
    "\n"
    "Checks the plug-in binary PLUGIN through its entry point. --make-reference also writes\n"
    "DIR/input.wav, DIR/answers.txt and DIR/render.wav; --reference compares this build's\n"
    "dispatcher answers and render with those. --editor opens the editor in a window and compares\n"
    "it with DIR/editor-snapshot.png (brelvik-snapshot --ticks 300), drags a knob, clicks a switch\n"
    "and opens and closes it while audio runs. --compare checks that two audio files are equal\n"
    "within -120 dBFS. The last line reads \"ALL CHECKS PASSED\" when every check passed.\n";

// Renders of two builds may differ only where their C libraries' mathematical functions round
// differently in the last bit; anything above this is a real difference.
constexpr double kRenderTolerance = 1.0e-6; // -120 dBFS

constexpr int kFactoryPrograms = 12;
constexpr size_t kRecordBytes = 780;
constexpr size_t kControllersOffset = 332;

std::string platformName()
{
#if defined(_WIN64)
    return "Windows x86-64";
#elif defined(_WIN32)
    return "Windows x86 (32-bit)";
#elif defined(__linux__)
    return sizeof(void*) == 8 ? "Linux 64-bit" : "Linux 32-bit";
#else
    return "unknown platform";
#endif
}

std::string str(long long value)
{
    return std::to_string(value);
}

std::unique_ptr<host::HostedPlugin> loadInstance(const host::PluginLibrary& library, CheckReport& report)
{
    std::string error;
    host::HostOptions options;
    auto plugin = host::HostedPlugin::load(library, options, error);
    if (!plugin)
        report.fail("plug-in instance", error);
    return plugin;
}

void checkEntryPoints(const std::string& path, const host::PluginLibrary& library, CheckReport& report)
{
    report.expect(library.entryName() == "VSTPluginMain", "entry point",
                  "found as " + library.entryName());
    std::string error;
    void* handle = host::platform::openLibrary(path, error);
    void* modern = handle ? host::platform::findSymbol(handle, "VSTPluginMain") : nullptr;
    void* legacy = handle ? host::platform::findSymbol(handle, "main") : nullptr;
    report.expect(legacy && legacy == modern, "entry point \"main\"",
                  legacy ? (legacy == modern ? "the same function as VSTPluginMain" : "a different function")
                         : "not exported");
    host::platform::closeLibrary(handle);

    host::HostOptions notVst;
    notVst.hostVersion = 0;
    report.expect(host::HostedPlugin::load(library, notVst, error) == nullptr, "declines a host that is not VST 2");
}

void checkEffectRecord(host::HostedPlugin& plugin, CheckReport& report)
{
    const AEffect& e = *plugin.effect();
    char unique[5] = {static_cast<char>(e.uniqueID >> 24), static_cast<char>(e.uniqueID >> 16),
                      static_cast<char>(e.uniqueID >> 8), static_cast<char>(e.uniqueID), 0};
    const bool flagsRight = (e.flags & effFlagsCanReplacing) && (e.flags & effFlagsProgramChunks) &&
                            !(e.flags & effFlagsIsSynth) && (e.flags & effFlagsHasEditor);
    const std::vector<char> zeros(sizeof e.future, 0);
    report.expect(e.magic == kEffectMagic && e.numPrograms == 12 && e.numParams == 83 && e.numInputs == 2 &&
                      e.numOutputs == 2 && flagsRight && e.uniqueID == vstFourCC('B', 'r', 'S', 't') &&
                      e.version == 1 && e.ioRatio == 1.0f && e.object && e.processReplacing &&
                      e.process && e.process != e.processReplacing &&
                      std::memcmp(e.future, zeros.data(), zeros.size()) == 0,
                  "AEffect record",
                  "magic " + std::string(e.magic == kEffectMagic ? "VstP" : "wrong") + ", " +
                      str(e.numPrograms) + " programs, " + str(e.numParams) + " parameters, " +
                      str(e.numInputs) + "/" + str(e.numOutputs) + " pins, flags " + str(e.flags) +
                      " (replacing, chunks, editor), ID '" + unique + "', version " + str(e.version) +
                      ", ioRatio " + std::to_string(e.ioRatio) + ", " + str(sizeof(AEffect)) + " bytes");

    plugin.open();
    const bool identity = plugin.dispatch(effGetVstVersion) == kVstVersion &&
                          plugin.dispatch(effGetPlugCategory) == kPlugCategMastering &&
                          plugin.effectName() == "Brelvik_Suite" && plugin.canDo("receiveVstMidiEvents") == 1 &&
                          plugin.canDo("offline") == -1;
    report.expect(identity, "identity", "VST " + str(plugin.dispatch(effGetVstVersion)) + ", category " +
                                            str(plugin.dispatch(effGetPlugCategory)) + ", \"" +
                                            plugin.effectName() + "\"");
}

void checkFactoryPrograms(host::HostedPlugin& plugin, CheckReport& report)
{
    std::string wrong;
    for (int i = 0; i < kFactoryPrograms && wrong.empty(); ++i) {
        const std::string expected = i == 0 ? "default" : "(Copy " + str(i) + ") default";
        const std::string name = plugin.programNameIndexed(i);
        if (name != expected)
            wrong = "program " + str(i) + " is \"" + name + "\", expected \"" + expected + "\"";
    }
    // "Low Thresh dB" is -10 dB in the factory program: 0.75 on its -40..0 range.
    if (wrong.empty() && plugin.getParameter(5) != 0.75f)
        wrong = "parameter 5 is " + std::to_string(plugin.getParameter(5)) + ", expected 0.75";
    report.expect(wrong.empty(), "factory programs from the plug-in's resource",
                  wrong.empty() ? "\"default\", \"(Copy 1) default\" ... \"(Copy 11) default\"" : wrong);
}

void checkChunks(host::HostedPlugin& plugin, CheckReport& report)
{
    const std::vector<uint8_t> bank = plugin.getChunk(false);
    const std::vector<uint8_t> program = plugin.getChunk(true);
    if (!report.expect(bank.size() == kRecordBytes * kFactoryPrograms && program.size() == kRecordBytes,
                       "chunk sizes", "bank " + str(static_cast<long long>(bank.size())) + " bytes, program " +
                                          str(static_cast<long long>(program.size())) + " bytes"))
        return;

    plugin.setParameter(5, 0.3f);
    plugin.setProgram(2);
    plugin.setProgramName("changed");
    plugin.setProgram(0);
    plugin.setChunk(bank, false);
    const bool undone = plugin.getParameter(5) == 0.75f && plugin.programNameIndexed(2) == "(Copy 2) default";
    const bool same = plugin.getChunk(false) == bank;
    report.expect(undone && same, "bank chunk round trip",
                  std::string(undone ? "changes undone" : "changes not undone") + ", the bank reads back " +
                      (same ? "byte for byte" : "changed"));

    plugin.setParameter(9, 0.125f);
    const std::vector<uint8_t> saved = plugin.getChunk(true);
    plugin.setParameter(9, 0.875f);
    plugin.setChunk(saved, true);
    report.expect(plugin.getParameter(9) == 0.125f && plugin.getChunk(true) == saved, "program chunk round trip",
                  "parameter 9 set to 0.125, saved, changed, restored: " + std::to_string(plugin.getParameter(9)));
    plugin.setChunk(bank, false);
}

void checkMidiLearn(host::HostedPlugin& plugin, CheckReport& report)
{
    // A bank whose program 0 assigns controller 7 to parameter 5, as the MIDI-learn panel saves it.
    std::vector<uint8_t> bank = plugin.getChunk(false);
    const int16_t controller = 7;
    std::memcpy(&bank[kControllersOffset + 2 * 5], &controller, sizeof controller);
    plugin.setChunk(bank, false);
    plugin.setProgram(0);
    plugin.setSampleRate(44100.0f);
    plugin.setBlockSize(512);
    plugin.resume();

    std::vector<float> silence(512, 0.0f), outL(512), outR(512);
    const float* in[2] = {silence.data(), silence.data()};
    float* out[2] = {outL.data(), outR.data()};
    const float before9 = plugin.getParameter(9);
    std::string trail;
    bool moved = true;
    for (int value : {127, 0, 64}) {
        plugin.sendMidi({{100, 0xB0, 7, static_cast<uint8_t>(value)}});
        plugin.process(in, out, 512);
        const float now = plugin.getParameter(5);
        moved = moved && now == static_cast<float>(value) / 127.0f;
        trail += (trail.empty() ? "" : ", ") + str(value) + " -> " + std::to_string(now);
    }
    report.expect(moved && plugin.getParameter(9) == before9, "MIDI controller moves its learned parameter",
                  "CC 7 on parameter 5: " + trail);
    plugin.suspend();
}

void compareAnswers(host::HostedPlugin& fresh, const std::string& referencePath, CheckReport& report)
{
    std::vector<std::string> reference;
    if (!readAnswers(referencePath, reference)) {
        report.fail("dispatcher answers match the reference", "cannot read '" + referencePath + "'");
        return;
    }
    const std::vector<std::string> ours = dispatcherAnswers(fresh);
    std::vector<std::string> mismatches;
    const size_t lines = std::max(ours.size(), reference.size());
    for (size_t i = 0; i < lines; ++i) {
        const std::string a = i < reference.size() ? reference[i] : "(nothing)";
        const std::string b = i < ours.size() ? ours[i] : "(nothing)";
        if (a != b)
            mismatches.push_back("reference: " + a + "\n       this build: " + b);
    }
    report.expect(mismatches.empty(), "dispatcher answers match the reference",
                  str(static_cast<long long>(ours.size())) + " answers, " +
                      str(static_cast<long long>(mismatches.size())) + " differ");
    for (size_t i = 0; i < mismatches.size() && i < 10; ++i)
        report.note(mismatches[i]);
}

void reportDifference(const Difference& d, const std::string& name, CheckReport& report)
{
    if (!d.comparable) {
        report.fail(name, "different sample rate or length");
        return;
    }
    std::string detail = d.differing == 0 ? "identical sample for sample"
                                          : str(d.differing) + " samples differ, the largest by " + dbfs(d.largest) +
                                                " (frame " + str(d.largestFrame) + ", channel " +
                                                str(d.largestChannel) + ")";
    if (d.nonFinite > 0)
        detail += ", " + str(d.nonFinite) + " samples are NaN or infinite";
    report.expect(d.nonFinite == 0 && d.largest < kRenderTolerance, name, detail);
}

int compareFiles(const std::string& a, const std::string& b)
{
    CheckReport report;
    StereoAudio x, y;
    std::string error;
    if (!readAudio(a, x, error) || !readAudio(b, y, error))
        report.fail("compare", error);
    else
        reportDifference(compareAudio(x, y), "'" + a + "' equals '" + b + "' within -120 dBFS", report);
    return report.finish();
}

int runEditorChecks(const std::string& pluginPath, const std::string& referenceDir)
{
    std::printf("brelvik-plugin-check, editor mode, on %s: %s\n", platformName().c_str(), pluginPath.c_str());
    CheckReport report;
#if defined(_WIN32)
    std::string error;
    auto library = host::PluginLibrary::open(pluginPath, error);
    if (report.expect(library != nullptr, "load the plug-in", library ? "" : error))
        checkEditor(*library, referenceDir, report);
#else
    (void)referenceDir;
    report.fail("editor mode", "runs on Windows only (the Linux editor's window is checked by the integration tests)");
#endif
    return report.finish();
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    if (args[0] == "--compare") {
        if (args.size() != 3) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return compareFiles(args[1], args[2]);
    }
    const std::string pluginPath = args[0];
    if (args.size() == 3 && args[1] == "--editor")
        return runEditorChecks(pluginPath, args[2]);
    std::string referenceDir, outputDir;
    if (args.size() == 3 && args[1] == "--reference")
        referenceDir = args[2];
    else if (args.size() == 3 && args[1] == "--make-reference")
        outputDir = args[2];
    else if (args.size() != 1) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    std::printf("brelvik-plugin-check on %s: %s\n", platformName().c_str(), pluginPath.c_str());
    CheckReport report;
    std::string error;
    auto library = host::PluginLibrary::open(pluginPath, error);
    if (!report.expect(library != nullptr, "load the plug-in", library ? "" : error))
        return report.finish();
    checkEntryPoints(pluginPath, *library, report);
    checkBitmapResources(pluginPath, report);

    if (auto plugin = loadInstance(*library, report)) {
        checkEffectRecord(*plugin, report);
        checkFactoryPrograms(*plugin, report);
        checkChunks(*plugin, report);
        checkMidiLearn(*plugin, report);
        plugin->close();
    }

    if (!referenceDir.empty()) {
        if (auto fresh = loadInstance(*library, report))
            compareAnswers(*fresh, referenceDir + "/answers.txt", report);
        StereoAudio input, reference, ours;
        if (!readAudio(referenceDir + "/input.wav", input, error) ||
            !readAudio(referenceDir + "/render.wav", reference, error))
            report.fail("render matches the reference", error);
        else if (!renderEverythingOn(*library, input, ours, error))
            report.fail("render matches the reference", error);
        else
            reportDifference(compareAudio(reference, ours), "render with every stage on matches the reference",
                             report);
    }
    if (!outputDir.empty()) {
        StereoAudio input = makeTestSignal(), output;
        std::vector<std::string> answers;
        if (auto fresh = loadInstance(*library, report))
            answers = dispatcherAnswers(*fresh);
        const bool written = !answers.empty() && writeAnswers(outputDir + "/answers.txt", answers) &&
                             writeAudio(outputDir + "/input.wav", input, error) &&
                             renderEverythingOn(*library, input, output, error) &&
                             writeAudio(outputDir + "/render.wav", output, error);
        double peak = 0.0;
        for (size_t i = 0; i < output.left.size(); ++i)
            peak = std::max({peak, std::fabs(static_cast<double>(output.left[i])),
                             std::fabs(static_cast<double>(output.right[i]))});
        report.expect(written, "reference written to " + outputDir,
                      written ? str(static_cast<long long>(answers.size())) + " answers; render peak " + dbfs(peak)
                              : error);
    }
    return report.finish();
}
