// The engineering value of each host parameter (tags below kHostParameterCount) in the factory programs, and the factory
// bank image built from them.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/ParameterTags.h"

extern const float kFactoryEngineeringValues[kHostParameterCount];

// Normalised value (0..1) of a factory engineering value over the parameter's range; 0 for
// parameters without a range.
float factoryNormalisedValue(int parameter);

// The factory bank image: `records` program records with every parameter at its factory value, no
// learned controllers, record 0 named "default" and record n "(Copy n) default".
std::vector<uint8_t> makeFactoryBankImage(int records);
