#include "modules/CK_ModuleOwner.h"

#include "modules/CK_ModuleBase.h"
#include "modules/CK_ModuleGroup.h"

CK_ModuleOwner::CK_ModuleOwner()
{
    tables.compute(sampleRateHz);
}

CK_ModuleOwner::~CK_ModuleOwner()
{
    destroyModules();
}

void CK_ModuleOwner::showValue(int32_t, const CK_LinkMessage&) {}

void CK_ModuleOwner::runModules(int32_t position, int32_t frames)
{
    for (int32_t i = 0; i < moduleCount; ++i) {
        CK_ModuleBase* m = modules[i];
        if (!m)
            continue;
        if (m->group) {
            if (m->group->position() == i)
                m->group->run(position, frames);
            if (!m->group->waits(m))
                continue;
        }
        if (m->flags == 0 || m->hasPendingEvents())
            m->run(position, frames);
    }
}

bool CK_ModuleOwner::groupModules(const int32_t* positions, int count)
{
    if (groupCount_ >= kMaxGroups)
        return false;
    if (!groups_[groupCount_].form(*this, positions, count))
        return false;
    ++groupCount_;
    return true;
}

void CK_ModuleOwner::dissolveGroups()
{
    for (int32_t g = 0; g < groupCount_; ++g)
        groups_[g].dissolve();
    groupCount_ = 0;
}

void CK_ModuleOwner::destroyModules()
{
    dissolveGroups();
    for (int32_t i = moduleCount - 1; i >= 0; --i) {
        if (CK_ModuleBase* m = modules[i]) {
            m->release();
            delete m;
        }
        modules[i] = nullptr;
    }
    moduleCount = 0;
    hostInput[0] = hostInput[1] = nullptr;
}

int32_t CK_ModuleOwner::addModule(CK_ModuleBase* module)
{
    if (moduleCount >= kMaxModules) {
        delete module;
        return -1;
    }
    modules[moduleCount] = module;
    return moduleCount++;
}
