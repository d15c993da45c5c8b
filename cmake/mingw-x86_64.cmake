set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NORVALT_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Test programs run under 64-bit Wine; the script sets up the prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
