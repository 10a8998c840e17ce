#include "tools/render/PluginState.h"

namespace brelvik::render {

namespace {

ProgramRecord readCurrentProgram(host::HostedPlugin& plugin)
{
    ProgramRecord program;
    program.name = plugin.programName();
    const int count = plugin.effect()->numParams;
    program.values.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        program.values[static_cast<size_t>(i)] = plugin.getParameter(i);
    return program;
}

void writeCurrentProgram(host::HostedPlugin& plugin, const ProgramRecord& program)
{
    plugin.setProgramName(program.name);
    for (size_t i = 0; i < program.values.size(); ++i)
        plugin.setParameter(static_cast<int>(i), program.values[i]);
}

PresetFile header(host::HostedPlugin& plugin, PresetKind kind, PresetForm form)
{
    const AEffect* effect = plugin.effect();
    PresetFile preset;
    preset.kind = kind;
    preset.form = form;
    preset.pluginId = effect->uniqueID;
    preset.pluginVersion = effect->version;
    preset.count = kind == PresetKind::Program ? effect->numParams : effect->numPrograms;
    return preset;
}

std::string plural(int n, const char* what)
{
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

void checkFits(host::HostedPlugin& plugin, const PresetFile& preset, PresetKind expected, const std::string& path)
{
    const AEffect* effect = plugin.effect();
    const bool program = preset.kind == PresetKind::Program;
    if (preset.kind != expected)
        throw PresetError("'" + path + "' is a " + describe(preset) + ", not a " +
                          (expected == PresetKind::Program ? "program file (.fxp)" : "bank file (.fxb)"));
    if (preset.pluginId != effect->uniqueID)
        throw PresetError("'" + path + "' is a preset for another plug-in (ID " + describePluginId(preset.pluginId) +
                          "; this plug-in is " + describePluginId(effect->uniqueID) + ")");

    if (preset.form == PresetForm::Chunk) {
        if (!(effect->flags & effFlagsProgramChunks))
            throw PresetError("'" + path + "' holds an opaque chunk, but this plug-in does not take chunks");
        // The plug-in's own chunk of the same kind tells the size it understands.
        const size_t expectedSize = plugin.getChunk(program).size();
        if (preset.chunk.size() != expectedSize)
            throw PresetError("'" + path + "' holds a " + std::to_string(preset.chunk.size()) + "-byte " +
                              (program ? "program" : "bank") + " chunk; this plug-in's are " +
                              std::to_string(expectedSize) + " bytes");
        return;
    }
    if (program) {
        if (preset.count != effect->numParams)
            throw PresetError("'" + path + "' holds " + plural(preset.count, "parameter") + "; this plug-in has " +
                              std::to_string(effect->numParams));
        return;
    }
    if (preset.count != effect->numPrograms)
        throw PresetError("'" + path + "' holds " + plural(preset.count, "program") + "; this plug-in has " +
                          std::to_string(effect->numPrograms));
    for (const ProgramRecord& p : preset.programs)
        if (static_cast<int>(p.values.size()) != effect->numParams)
            throw PresetError("'" + path + "' holds programs of " +
                              plural(static_cast<int>(p.values.size()), "parameter") + "; this plug-in has " +
                              std::to_string(effect->numParams));
}

} // namespace

PresetForm preferredForm(host::HostedPlugin& plugin)
{
    return (plugin.effect()->flags & effFlagsProgramChunks) ? PresetForm::Chunk : PresetForm::Parameters;
}

PresetFile captureProgram(host::HostedPlugin& plugin, PresetForm form)
{
    PresetFile preset = header(plugin, PresetKind::Program, form);
    preset.program = readCurrentProgram(plugin);
    if (form == PresetForm::Chunk) {
        preset.chunk = plugin.getChunk(true);
        preset.program.values.clear();
    }
    return preset;
}

PresetFile captureBank(host::HostedPlugin& plugin, PresetForm form)
{
    PresetFile preset = header(plugin, PresetKind::Bank, form);
    const int current = plugin.getProgram();
    preset.currentProgram = current;
    if (form == PresetForm::Chunk) {
        preset.chunk = plugin.getChunk(false);
        return preset;
    }
    // Programs are read by selecting each in turn, as hosts do for plug-ins without chunks.
    for (int p = 0; p < preset.count; ++p) {
        plugin.setProgram(p);
        preset.programs.push_back(readCurrentProgram(plugin));
    }
    plugin.setProgram(current);
    return preset;
}

void applyPreset(host::HostedPlugin& plugin, const PresetFile& preset, PresetKind expected, const std::string& path)
{
    checkFits(plugin, preset, expected, path);

    if (preset.kind == PresetKind::Program) {
        if (preset.form == PresetForm::Chunk)
            plugin.setChunk(preset.chunk, true);
        else
            writeCurrentProgram(plugin, preset.program);
        return;
    }

    const int current = preset.currentProgram >= 0 ? preset.currentProgram : plugin.getProgram();
    if (preset.form == PresetForm::Chunk) {
        plugin.setChunk(preset.chunk, false);
    } else {
        for (size_t p = 0; p < preset.programs.size(); ++p) {
            plugin.setProgram(static_cast<int>(p));
            writeCurrentProgram(plugin, preset.programs[p]);
        }
    }
    plugin.setProgram(current);
}

} // namespace brelvik::render
