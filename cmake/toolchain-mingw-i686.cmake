# Cross-build for i686 Windows with Debian's MinGW-w64 GCC (posix threads).
# The executables link statically, so that they import system DLLs only
# (KERNEL32, msvcrt): a MinGW runtime DLL missing beside the exe would stop
# it at start without a message. Programs built here run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PATHMEND_MINGW_PREFIX i686-w64-mingw32)

set(CMAKE_C_COMPILER ${PATHMEND_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PATHMEND_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PATHMEND_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PATHMEND_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Doubles go through SSE2, as on x86_64, so that double arithmetic is
# rounded to double at every step; long double stays the x87 80-bit format.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the cross-built test programs under Wine.
find_program(PATHMEND_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PATHMEND_WINE})
