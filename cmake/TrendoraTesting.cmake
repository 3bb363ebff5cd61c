# Test registration shared by every test program.
#
# Each program runs in a home folder of its own, emptied at the start of every CTest run, so no
# test sees Qt's saved state (file dialog history, colour chooser) from an earlier run or from
# the developer's own home. Every test has a time limit, so a hang fails within minutes and
# names the test instead of eating CI's time.
include(GoogleTest)

set(TRENDORA_TEST_TIMEOUT 120 CACHE STRING "Seconds a test may run unless it is named longer")

# trendora_discover_tests(TARGET [LABEL NAME] [LONG REGEX SECONDS])
#   LABEL: a CTest label for all of the program's tests ("window" for those that drive
#          windows; tools/stress-tests.sh runs that label).
#   LONG: tests whose name matches REGEX get SECONDS instead of the default limit.
function(trendora_discover_tests target)
  cmake_parse_arguments(ARG "" "LABEL" "LONG" ${ARGN})
  set(home "${CMAKE_CURRENT_BINARY_DIR}/${target}-home")
  set(fixture "${target}-home")

  add_test(NAME ${target}.FreshHome
           COMMAND ${CMAKE_COMMAND} -DHOME_DIR=${home}
                   -P ${PROJECT_SOURCE_DIR}/cmake/FreshFolder.cmake)
  set_tests_properties(${target}.FreshHome PROPERTIES FIXTURES_SETUP ${fixture} TIMEOUT 60)

  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)

  # gtest_discover_tests lists the tests it found in ${target}_TESTS when CTest reads its
  # file; this file, read after it, gives them their environment and limits.
  set(env QT_QPA_PLATFORM=offscreen HOME=${home} XDG_CONFIG_HOME=${home}/.config
          XDG_CACHE_HOME=${home}/.cache XDG_DATA_HOME=${home}/.local/share)
  string(CONCAT script "foreach(t IN LISTS ${target}_TESTS)\n"
             "  set_tests_properties(\"\${t}\" PROPERTIES ENVIRONMENT \"${env}\"\n"
             "                       FIXTURES_REQUIRED ${fixture} TIMEOUT ${TRENDORA_TEST_TIMEOUT})\n")
  if(ARG_LABEL)
    string(APPEND script "  set_tests_properties(\"\${t}\" PROPERTIES LABELS ${ARG_LABEL})\n")
  endif()
  list(LENGTH ARG_LONG nLong)
  if(nLong EQUAL 2)
    list(GET ARG_LONG 0 regex)
    list(GET ARG_LONG 1 seconds)
    string(APPEND script "  if(\"\${t}\" MATCHES \"${regex}\")\n"
                         "    set_tests_properties(\"\${t}\" PROPERTIES TIMEOUT ${seconds})\n"
                         "  endif()\n")
  elseif(nLong)
    message(FATAL_ERROR "trendora_discover_tests: LONG takes a regex and seconds")
  endif()
  string(APPEND script "endforeach()\n")
  set(file "${CMAKE_CURRENT_BINARY_DIR}/${target}-properties.cmake")
  file(WRITE "${file}" "${script}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${file}")
endfunction()
