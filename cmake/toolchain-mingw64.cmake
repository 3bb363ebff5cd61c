# Cross build for 64-bit Windows with mingw-w64 (Debian: g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
# Without a Qt for Windows this builds the parts that need no Qt; the programs run under Wine.
# With -DTRENDORA_WIN_QT=PREFIX (a Qt for mingw-w64, as tools/build-qt-mingw.sh makes) it builds
# the whole program, whose Qt tools (moc, rcc, uic) come from the machine's own Qt.
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
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TRENDORA_WIN_QT)
if(TRENDORA_WIN_QT)
  list(APPEND CMAKE_FIND_ROOT_PATH ${TRENDORA_WIN_QT})
  set(QT_HOST_PATH /usr CACHE PATH "Where the host's Qt tools are")
  execute_process(COMMAND gcc -dumpmachine OUTPUT_VARIABLE _trendora_host
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${_trendora_host}/cmake CACHE PATH
      "The host Qt's CMake packages")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without Qt: programs that need no DLLs of the compiler beside them. With Qt, whose DLLs use
# the compiler's runtime DLLs, the programs use the same ones, shipped beside them.
if(NOT TRENDORA_WIN_QT)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

# CTest and test discovery run the programs under Wine where it is installed.
find_program(TRENDORA_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TRENDORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TRENDORA_WINE})
endif()
