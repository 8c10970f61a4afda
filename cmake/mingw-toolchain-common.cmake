# What the MinGW-w64 toolchain files share; each sets CMAKE_SYSTEM_PROCESSOR
# and PATHMEND_MINGW_PREFIX (the compilers' name prefix) before including it.
#
# Cross-build for Windows with Debian's MinGW-w64 GCC (posix threads). The
# executables link statically, so that they import system DLLs only
# (KERNEL32, msvcrt): a MinGW runtime DLL missing beside the exe would stop
# it at start without a message. Programs built here run under Wine.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${PATHMEND_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PATHMEND_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${PATHMEND_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PATHMEND_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the cross-built test programs under Wine.
find_program(PATHMEND_WINE wine REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PATHMEND_WINE})
