set(CMAKE_SYSTEM_PROCESSOR i686)
set(NORVALT_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Every computation is defined in double precision: SSE2 arithmetic instead
# of the x87 unit, which keeps intermediates in 80 bits and rounds twice.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
# Test programs run under 32-bit Wine through user-mode emulation.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine32-run)
