// What the processor running the plug-in can do beyond the baseline the build targets.
#pragma once

// True when the processor and the system support AVX-512 (foundation and vector-length
// extensions: 256-bit registers and 32 vector registers) and this build carries the routines
// that use them (x86-64 builds other than Windows).
bool ck_wideRegistersAvailable();
