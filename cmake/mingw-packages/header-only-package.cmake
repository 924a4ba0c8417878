# Makes a header-only library of the build machine usable by the MinGW cross
# compiler. Only the library's own folder is put on the include path, through a
# staging folder in the build tree, and never /usr/include itself: its C headers
# are glibc's and would shadow MinGW's.
function(orbel_header_only_package target header_folder)
  if(TARGET ${target})
    return()
  endif()
  set(source "/usr/include/${header_folder}")
  if(NOT IS_DIRECTORY "${source}")
    message(FATAL_ERROR "${target}: ${source} is missing; run scripts/install-deps")
  endif()
  set(stage "${CMAKE_BINARY_DIR}/host-headers")
  file(MAKE_DIRECTORY "${stage}")
  file(CREATE_LINK "${source}" "${stage}/${header_folder}" SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${stage}")
endfunction()
