# cmake -DBUILD_DIR=build -DOUT=FILE -P windows-syntax.cmake
# Writes to OUT one shell command per source of src/ and tools/ (tests and generated sources
# left out) that checks it for Windows with mingw-w64: the Linux build's own command from
# compile_commands.json, with the compiler swapped and -fsyntax-only in place of the object;
# a warning fails it too.
if(NOT BUILD_DIR OR NOT OUT)
  message(FATAL_ERROR "BUILD_DIR and OUT must be set")
endif()
if(NOT CXX)
  set(CXX x86_64-w64-mingw32-g++-posix)
endif()
get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
file(READ "${BUILD_DIR}/compile_commands.json" json)
string(JSON count LENGTH "${json}")
math(EXPR last "${count} - 1")
set(lines "")
set(n 0)
foreach(i RANGE ${last})
  string(JSON file GET "${json}" ${i} file)
  string(JSON command GET "${json}" ${i} command)
  file(RELATIVE_PATH rel "${source_dir}" "${file}")
  if(NOT rel MATCHES "^(src|tools)/" OR rel MATCHES "^tools/tests/")
    continue()
  endif()
  # The compiler is the first word; the object and -c go, and so does -fPIC, which means
  # nothing for Windows objects.
  string(FIND "${command}" " " space)
  string(SUBSTRING "${command}" ${space} -1 command)
  set(command "${CXX} -fsyntax-only -Werror${command}")
  string(REGEX REPLACE " -o [^ ]+" "" command "${command}")
  string(REPLACE " -c " " " command "${command}")
  string(REPLACE " -fPIC" "" command "${command}")
  string(APPEND lines "${command}\n")
  math(EXPR n "${n} + 1")
endforeach()
file(WRITE "${OUT}" "${lines}")
message(STATUS "${n} sources to check for Windows")
