# SPDX-License-Identifier: MIT
# Included by `cmake --install` (see the top-level CMakeLists.txt): the
# first install rule calls trilume_install_begin, the last one
# trilume_install_end, which writes PREFIX/share/trilume/uninstall.sh. That
# script removes exactly the files this install put under PREFIX and the
# folders it created there, whatever is built or installed from the build
# folder afterwards: install_manifest.txt in the build folder names only
# the latest install, and a package build rewrites it with /usr paths.
#
# A staged install (DESTDIR set, as the package build does) gets no
# script: a package manager removes what it installs.

# Notes which folders the install will create: those of every install
# destination, and their parents, that do not exist yet.
function(trilume_install_begin build_dir data_dir)
  set(created)
  if("$ENV{DESTDIR}" STREQUAL "")
    file(GLOB_RECURSE scripts "${build_dir}/cmake_install.cmake")
    set(destinations)
    foreach(script IN LISTS scripts)
      file(STRINGS "${script}" lines REGEX "DESTINATION \"\\\${CMAKE_INSTALL_PREFIX}/")
      foreach(line IN LISTS lines)
        if(line MATCHES "DESTINATION \"\\\${CMAKE_INSTALL_PREFIX}/([^\"]*)\"")
          list(APPEND destinations "${CMAKE_MATCH_1}")
        endif()
      endforeach()
    endforeach()
    list(APPEND destinations "${data_dir}/trilume")
    list(REMOVE_DUPLICATES destinations)
    foreach(destination IN LISTS destinations)
      set(folder "${destination}")
      while(NOT folder STREQUAL "" AND NOT folder STREQUAL ".")
        if(NOT IS_DIRECTORY "${CMAKE_INSTALL_PREFIX}/${folder}")
          list(APPEND created "${CMAKE_INSTALL_PREFIX}/${folder}")
        endif()
        get_filename_component(folder "${folder}" DIRECTORY)
      endwhile()
    endforeach()
    list(REMOVE_DUPLICATES created)
  endif()
  set(TRILUME_CREATED_FOLDERS "${created}" PARENT_SCOPE)
endfunction()

# Quoted for sh, whatever the path holds.
function(trilume_shell_quote text out)
  string(REPLACE "'" "'\\''" text "${text}")
  set(${out} "'${text}'" PARENT_SCOPE)
endfunction()

function(trilume_install_end data_dir version)
  if(NOT "$ENV{DESTDIR}" STREQUAL "")
    return()
  endif()
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  set(script "${prefix}/${data_dir}/trilume/uninstall.sh")
  set(files ${CMAKE_INSTALL_MANIFEST_FILES} "${script}")
  list(REMOVE_DUPLICATES files)
  # Deepest first, so a folder is emptied before its parent is tried.
  set(folders ${TRILUME_CREATED_FOLDERS})
  list(SORT folders ORDER DESCENDING)

  trilume_shell_quote("${prefix}" quoted_prefix)
  set(text "#!/bin/sh\n# Removes TRILUME ${version} as `cmake --install` put it under ${prefix}:\n")
  string(APPEND text "# the files it installed, this script among them, and the folders it\n")
  string(APPEND text "# created, once they are empty. Nothing else is touched.\n")
  string(APPEND text "set -u\nstatus=0\necho \"removing TRILUME from \"${quoted_prefix}\n")
  string(APPEND text "for file in")
  foreach(file IN LISTS files)
    trilume_shell_quote("${file}" quoted)
    string(APPEND text " \\\n  ${quoted}")
  endforeach()
  string(APPEND text "; do\n  if [ -f \"$file\" ] || [ -L \"$file\" ]; then\n")
  string(APPEND text "    rm -f -- \"$file\" || status=1\n  fi\ndone\n")
  if(folders)
    string(APPEND text "for folder in")
    foreach(folder IN LISTS folders)
      trilume_shell_quote("${folder}" quoted)
      string(APPEND text " \\\n  ${quoted}")
    endforeach()
    string(APPEND text "; do\n  rmdir -- \"$folder\" 2>/dev/null || true\ndone\n")
  endif()
  string(APPEND text "exit \"$status\"\n")

  message(STATUS "Installing: ${script}")
  file(WRITE "${script}" "${text}")
  file(CHMOD "${script}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
       GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${script}")
  set(CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_MANIFEST_FILES}" PARENT_SCOPE)
endfunction()
