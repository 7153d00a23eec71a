# SPDX-License-Identifier: MIT
# Release builds take Debian's hardening flags (fortified libc calls, the
# strong stack protector, format checks, full RELRO with immediate binding)
# as dpkg-buildflags gives them. Its -O2 and -g are
# left out so the build type keeps its own optimisation, and its path
# remapping too, which would tie the flags to the folder cmake ran in.
# Sanitizer builds are never Release, so they do not meet _FORTIFY_SOURCE.
option(TRILUME_HARDENING "Add dpkg-buildflags' hardening flags to Release builds" ON)

if(TRILUME_HARDENING AND CMAKE_BUILD_TYPE STREQUAL "Release")
  find_program(DPKG_BUILDFLAGS dpkg-buildflags)
  if(NOT DPKG_BUILDFLAGS)
    message(FATAL_ERROR "dpkg-buildflags (package dpkg-dev) is needed for the hardening flags; "
                        "or configure with -DTRILUME_HARDENING=OFF")
  endif()
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env
              "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-fixfilepath,-fixdebugpath"
              "DEB_CXXFLAGS_MAINT_STRIP=-g -O2"
              ${DPKG_BUILDFLAGS} --get ${kind}
      OUTPUT_VARIABLE trilume_${kind}
      OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  string(APPEND CMAKE_CXX_FLAGS_RELEASE " ${trilume_CPPFLAGS} ${trilume_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS_RELEASE " ${trilume_LDFLAGS}")
  message(STATUS "Hardening: ${trilume_CPPFLAGS} ${trilume_CXXFLAGS} | ${trilume_LDFLAGS}")
endif()
