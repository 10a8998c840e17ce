// Building the module graph from the graph table.
#include <algorithm>
#include <iterator>

#include <new>

#include "modules/CK_DSP_OS_Command.h"
#include "modules/CK_ModuleBase.h"
#include "platform/UrlLauncherSystem.h"
#include "shell/CK_DSP_VST.h"
#include "shell/GraphTable.h"
#include "shell/ModuleFactory.h"
#include "shell/ModuleIds.h"

CK_ModuleBase* CK_DSP_VST::makeModule(int32_t id)
{
    CK_ModuleBase* module = createModule(id, this);
    if (auto* command = dynamic_cast<CK_DSP_OS_Command*>(module)) {
        if (!urlLauncher_)
            urlLauncher_.reset(new (std::nothrow) CK_SystemUrlLauncher());
        command->setLauncher(urlLauncher_.get());
    }
    return module;
}

void CK_DSP_VST::buildGraph()
{
    dissolveGroups();
    std::fill(std::begin(listenerCounts_), std::end(listenerCounts_), static_cast<uint8_t>(0));
    std::fill(std::begin(idToPosition_), std::end(idToPosition_), static_cast<int16_t>(-1));
    moduleCount = 0;
    if (!graphTable_)
        return;

    for (const uint8_t* record = graphTable_;; record += kGraphRecordBytes) {
        const int16_t id = graphRecordId(record);
        if (id > kMaxModuleId || id < 0)
            break;
        if (!isModuleId(id))
            continue;
        if (moduleCount >= kMaxModules)
            break;

        const int32_t position = moduleCount;
        idToPosition_[id] = static_cast<int16_t>(position);
        CK_ModuleBase* module = makeModule(id);
        modules[position] = module;
        moduleCount = position + 1;
        if (!module)
            continue; // a class that does not exist (yet) or a failed allocation: an empty position
        module->typeId = id;

        for (int k = 0; k < kGraphEntriesPerRecord; ++k) {
            const CK_GraphEntry entry = graphRecordEntry(record, k);
            if (entry.inputPin == kGraphPinEnd)
                break;
            if (entry.inputPin >= kGraphDisplayPinBase) {
                module->setDisplayTarget(entry.inputPin - kGraphDisplayPinBase, entry.source,
                                         static_cast<int8_t>(entry.outputPin));
            } else if (entry.inputPin >= CK_ModuleBase::kMaxPins) {
                continue;
            } else if (entry.source >= kModuleIdFirst) {
                const int16_t at = positionOfId(entry.source);
                if (at >= 0 && at < position && modules[at])
                    modules[at]->connect(module, position, entry.outputPin, entry.inputPin);
            } else if (entry.source >= kGraphSourceConstant) {
                module->setInput(entry.inputPin, &kGraphConstantPool[entry.source - kGraphSourceConstant]);
            } else {
                listenParameter(module, position, entry.source, entry.inputPin);
            }
        }
    }
    groupBandModules();
}

void CK_DSP_VST::groupBandModules()
{
    // Modules doing the same work on independent signals, in chain order: each group can only
    // run where the one before it has already produced its outputs.
    static constexpr int16_t kBandModules[][4] = {
        {kIdEqEngineA, kIdEqEngineB, -1, -1},
        {kIdLowDetector, kIdMidDetector, kIdHighDetector, kIdBassEnhDetector},
        {kIdLowEnvelope, kIdMidEnvelope, kIdHighEnvelope, -1},
        {kIdBassEnhFilter, kIdHighEnhFilter, -1, -1},
    };
    for (const auto& ids : kBandModules) {
        int32_t positions[4];
        int count = 0;
        for (int16_t id : ids)
            if (id >= 0 && positionOfId(id) >= 0)
                positions[count++] = positionOfId(id);
        groupModules(positions, count);
    }
}
