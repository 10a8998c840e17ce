# Shared part of the mingw-w64 cross toolchains (Debian's posix-thread variants); included by
# mingw-w64-x86_64.cmake and mingw-w64-i686.cmake after they set BRELVIK_MINGW_TRIPLET and
# CMAKE_SYSTEM_PROCESSOR.
#
# BRELVIK_WINDOWS_DEPS: prefix of the cross-built static libraries (libpng, libsndfile) made by
# scripts/build-windows-deps. find_* and pkg-config look there and in the toolchain's own sysroot,
# never among the build machine's libraries.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${BRELVIK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRELVIK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BRELVIK_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${BRELVIK_MINGW_TRIPLET}-ar CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${BRELVIK_MINGW_TRIPLET}-ranlib CACHE FILEPATH "Archive indexer")
set(CMAKE_OBJDUMP ${BRELVIK_MINGW_TRIPLET}-objdump CACHE FILEPATH "Object file dumper")

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRELVIK_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${BRELVIK_MINGW_TRIPLET})
if(BRELVIK_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${BRELVIK_WINDOWS_DEPS})
  set(ENV{PKG_CONFIG_LIBDIR} ${BRELVIK_WINDOWS_DEPS}/lib/pkgconfig)
else()
  set(ENV{PKG_CONFIG_LIBDIR} /usr/${BRELVIK_MINGW_TRIPLET}/lib/pkgconfig)
endif()
set(ENV{PKG_CONFIG_PATH} "")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The static zlib, not the import library of zlib1.dll: the binaries need no DLL but the system's.
set(ZLIB_USE_STATIC_LIBS ON)
