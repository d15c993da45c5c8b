# Shared settings of the MinGW-w64 cross builds. The posix thread model gives
# std::mutex; everything is linked statically so that the binaries import
# only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${NORVALT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NORVALT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${NORVALT_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${NORVALT_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
