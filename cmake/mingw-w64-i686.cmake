# Cross build for 32-bit Windows with mingw-w64:
#   cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake ...
# (scripts/test-windows shows the whole set of options).
set(CMAKE_SYSTEM_PROCESSOR x86)
set(BRELVIK_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Floating point in SSE registers, as on 64-bit: the x87 unit's extra precision would make the
# 32-bit plug-in sound (very slightly) different from the 64-bit ones. Windows only guarantees a
# 4-byte aligned stack on x86, so functions that keep SSE values on the stack realign it.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
