# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads, so the C++ library
# has std::thread), against SDL 1.2 built for Windows by scripts/windows-sdl:
#   cmake -S . -B build-windows --toolchain cmake/windows-toolchain.cmake -DKELP_WINDOWS_SDL=<its folder>
# Programs that run at build time are built for this machine instead (data/); tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

# Try-compiles read this file again: they need the same SDL folder.
set(CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KELP_WINDOWS_SDL)
set(CMAKE_FIND_ROOT_PATH /usr/${triple} ${KELP_WINDOWS_SDL})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each test program in a Wine of its own, ended with it.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/with-wine)
