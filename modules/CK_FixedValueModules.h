// Modules that announce constants. Each input pin reads a constant of the graph's constant pool;
// output pin i carries the constant of input pin i.
#pragma once

#include "modules/CK_ModuleBase.h"

// Shared behaviour: at prepare, rest and announce each wired constant once (kind 0, int =
// trunc(constant), float = constant x 0.1).
class CK_FixedValueModule : public CK_ModuleStd {
public:
    using CK_ModuleStd::CK_ModuleStd;

    void prepare() override;
    void setInput(int pin, const float* source) override;

    int32_t pinCount = 0; // one more than the highest input pin set
};

// Constant control buffers, one per input pin, holding constant x 0.1 (a constant 10 gives 1.0 volt).
class CK_DSP_FixedValueToVolt : public CK_FixedValueModule {
public:
    using CK_FixedValueModule::CK_FixedValueModule;

    void setInput(int pin, const float* source) override;
};

// Constants announced as events only; its outputs have no buffers.
class CK_DSP_FixedValueToINT_FLOAT : public CK_FixedValueModule {
public:
    using CK_FixedValueModule::CK_FixedValueModule;
};
