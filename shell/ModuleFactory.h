// Creates the module class that a graph module ID names.
#pragma once

#include <cstdint>

class CK_ModuleBase;
class CK_ModuleOwner;

// True when the ID lies in one of the ranges that name a module class.
bool isModuleId(int32_t id);
// A new module of the class for the ID, or nullptr when the ID names no class that exists or the
// allocation failed.
CK_ModuleBase* createModule(int32_t id, CK_ModuleOwner* owner);
