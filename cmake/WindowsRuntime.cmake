# What a mingw-w64 build of Trendora needs beside it at run time: the Qt for Windows found by
# find_package and the compiler's runtime DLLs, which Qt's DLLs and the programs share. Sets
#   TRENDORA_WIN_QT_DIR        the Qt prefix (bin/ holds the DLLs, plugins/ the plugins)
#   TRENDORA_WIN_RUNTIME_DLLS  the compiler's runtime DLLs
#   TRENDORA_WINE_TEST_ENV     the environment under which the test programs find all of
#                              them when CTest runs them under Wine (the plugins are copied
#                              into the build folder)
get_target_property(_trendora_qtcore Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT _trendora_qtcore)
  get_target_property(_trendora_qtcore Qt6::Core LOCATION)
endif()
get_filename_component(_trendora_qtbin "${_trendora_qtcore}" DIRECTORY)
get_filename_component(TRENDORA_WIN_QT_DIR "${_trendora_qtbin}/.." ABSOLUTE)

set(TRENDORA_WIN_RUNTIME_DLLS "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE _trendora_dll OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(_trendora_dll "${_trendora_dll}" ABSOLUTE)
  if(NOT EXISTS "${_trendora_dll}")
    message(FATAL_ERROR "The compiler's runtime DLL ${dll} was not found")
  endif()
  list(APPEND TRENDORA_WIN_RUNTIME_DLLS "${_trendora_dll}")
endforeach()

# The DLLs go into one folder of the build, which WINEPATH names (Wine maps drive Z: to the
# root folder); one folder keeps ';', CTest's list separator, out of the environment.
set(_trendora_dlls "${CMAKE_BINARY_DIR}/wine-path")
file(GLOB _trendora_qtdlls "${TRENDORA_WIN_QT_DIR}/bin/Qt6*.dll")
file(COPY ${_trendora_qtdlls} ${TRENDORA_WIN_RUNTIME_DLLS} DESTINATION "${_trendora_dlls}")
# Qt takes the folder above Qt6Core.dll's for its prefix and finds the plugins in plugins/ there
# (QT_PLUGIN_PATH naming the cache was not heeded under Wine: the programs waited on a message
# about the missing platform plugin).
file(COPY "${TRENDORA_WIN_QT_DIR}/plugins" DESTINATION "${CMAKE_BINARY_DIR}")
# Wine hands no QT_ variable to a Windows program; the test programs choose the offscreen
# platform and Windows' fonts folder themselves.
set(TRENDORA_WINE_TEST_ENV "WINEPATH=Z:${_trendora_dlls}")
