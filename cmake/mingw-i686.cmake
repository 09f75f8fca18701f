# Cross build for 32-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-i686):
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
# The C and C++ run-times are linked statically, so the modules need no
# run-time DLLs beside them. Exports keep their plain names (--kill-at drops
# the "@N" that __stdcall functions would otherwise carry).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(PCBIMPORT_MINGW_PREFIX i686-w64-mingw32)
# Debian ships a win32-threads and a posix-threads flavour; the posix one has
# std::thread and friends, which the standard library headers may need.
find_program(CMAKE_C_COMPILER NAMES ${PCBIMPORT_MINGW_PREFIX}-gcc-posix ${PCBIMPORT_MINGW_PREFIX}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${PCBIMPORT_MINGW_PREFIX}-g++-posix ${PCBIMPORT_MINGW_PREFIX}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${PCBIMPORT_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PCBIMPORT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--kill-at")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--kill-at")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--kill-at")

# Release: -O2, as the Linux builds, and modules without symbols. Set in the
# cache here, before CMake's compiler defaults would add -O3.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "Flags of the Release build")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE_INIT "-s")
