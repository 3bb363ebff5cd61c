# Cross build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
# Without a Qt for Windows this builds the parts that need no Qt; the programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TRENDORA_MINGW_PREFIX x86_64-w64-mingw32)
# The posix variant, whose std::thread the reader needs.
find_program(CMAKE_C_COMPILER NAMES ${TRENDORA_MINGW_PREFIX}-gcc-posix ${TRENDORA_MINGW_PREFIX}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TRENDORA_MINGW_PREFIX}-g++-posix ${TRENDORA_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TRENDORA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TRENDORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs that need no DLLs of the compiler beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# CTest and test discovery run the programs under Wine where it is installed.
find_program(TRENDORA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TRENDORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TRENDORA_WINE})
endif()
