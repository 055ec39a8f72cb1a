# Reproducible output: the same sources give the same bytes, whichever
# folders they are built in.
#
# No absolute paths: the source tree and the build tree (which may lie
# inside or outside it) are cut from every file name the compiler records;
# the build tree's prefix is listed last, so it wins for the files in it.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)

# No build time in the Windows images: the PE time stamp is
# SOURCE_DATE_EPOCH as it was when CMake last ran with it set, or 0 without
# it. The linker reads the variable when it links, so every link runs with
# the configured value, whatever the environment of the build.
set(ZV_SOURCE_DATE_EPOCH "" CACHE STRING
    "Seconds since 1970 written as the PE time stamp (taken from the environment's SOURCE_DATE_EPOCH; empty for 0)")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ZV_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}" CACHE STRING "" FORCE)
endif()
if(NOT ZV_SOURCE_DATE_EPOCH STREQUAL "" AND NOT ZV_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds, not '${ZV_SOURCE_DATE_EPOCH}'")
endif()
if(ZV_WINDOWS)
  if(ZV_SOURCE_DATE_EPOCH STREQUAL "")
    add_link_options(-Wl,--no-insert-timestamp)
  else()
    if(ZV_SOURCE_DATE_EPOCH GREATER 4294967295)
      message(FATAL_ERROR "SOURCE_DATE_EPOCH ${ZV_SOURCE_DATE_EPOCH} does not fit a PE time stamp")
    endif()
    add_link_options(-Wl,--insert-timestamp)
    foreach(lang C CXX)
      set(CMAKE_${lang}_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env
                                        SOURCE_DATE_EPOCH=${ZV_SOURCE_DATE_EPOCH})
    endforeach()
  endif()
endif()
