# pathmend.exe for 32-bit Windows, the original's kind of process.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PATHMEND_MINGW_PREFIX i686-w64-mingw32)

# Doubles go through SSE2, as on x86_64, so that double arithmetic is
# rounded to double at every step; long double stays the x87 80-bit format.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain-common.cmake)
