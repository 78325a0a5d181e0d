# make uninstall: removes the files that make install recorded in MANIFEST,
# then the directories of the program's own that this leaves empty (a
# korlan-flow directory and what is below it); the prefix's shared
# directories stay.
#   cmake -DMANIFEST=build/install_manifest.txt -P cmake/Uninstall.cmake
if(NOT EXISTS "${MANIFEST}")
  message(FATAL_ERROR "Nothing to uninstall: ${MANIFEST} does not exist (run make install first)")
endif()

file(STRINGS "${MANIFEST}" installed)
set(parents)
foreach(file IN LISTS installed)
  if(IS_SYMLINK "${file}" OR EXISTS "${file}")
    message(STATUS "Removing ${file}")
    file(REMOVE "${file}")
  endif()
  cmake_path(GET file PARENT_PATH parent)
  list(APPEND parents "${parent}")
endforeach()

function(remove_own_empty_directory directory)
  # Only below a directory called korlan-flow, and only when empty.
  if(NOT directory MATCHES "/korlan-flow(/|$)" OR NOT IS_DIRECTORY "${directory}")
    return()
  endif()
  file(GLOB left "${directory}/*" "${directory}/.*")
  if(left)
    return()
  endif()
  message(STATUS "Removing ${directory}/")
  file(REMOVE_RECURSE "${directory}")
  cmake_path(GET directory PARENT_PATH parent)
  remove_own_empty_directory("${parent}")
endfunction()

list(REMOVE_DUPLICATES parents)
foreach(directory IN LISTS parents)
  remove_own_empty_directory("${directory}")
endforeach()
file(REMOVE "${MANIFEST}")
