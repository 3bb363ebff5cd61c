# cmake -DHOME_DIR=FOLDER -P FreshFolder.cmake: leaves FOLDER empty.
if(NOT HOME_DIR)
  message(FATAL_ERROR "HOME_DIR is not set")
endif()
file(REMOVE_RECURSE "${HOME_DIR}")
file(MAKE_DIRECTORY "${HOME_DIR}")
