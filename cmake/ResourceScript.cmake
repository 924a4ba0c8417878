# Resource scripts for the stand-in layer, which reads a script as the C
# preprocessor leaves it: the resource compiler's own first step on Windows.

# orbel_preprocess_resource_script(OUTPUT out.rc.i SCRIPT in.rc
#                                  [DEPENDS files...] [INCLUDE_DIRS dirs...])
# Runs the build's C compiler as a preprocessor over SCRIPT at build time, with
# RC_INVOKED defined and the stand-in layer's <windows.h>. The script's folder
# is the working folder, so that the linemarkers (and the reader's messages)
# name its files as the script does: "orbel.rc:25". DEPENDS names the files
# it includes.
function(orbel_preprocess_resource_script)
  cmake_parse_arguments(arg "" "OUTPUT;SCRIPT" "DEPENDS;INCLUDE_DIRS" ${ARGN})
  get_filename_component(folder ${arg_SCRIPT} DIRECTORY)
  get_filename_component(name ${arg_SCRIPT} NAME)
  set(includes)
  foreach(dir IN LISTS arg_INCLUDE_DIRS ORBEL_STANDIN_INCLUDE_DIR)
    list(APPEND includes -I${dir})
  endforeach()
  add_custom_command(OUTPUT ${arg_OUTPUT}
    COMMAND ${CMAKE_C_COMPILER} -E -x c -DRC_INVOKED ${includes} -o ${arg_OUTPUT} ${name}
    WORKING_DIRECTORY ${folder}
    DEPENDS ${arg_SCRIPT} ${arg_DEPENDS}
    COMMENT "Preprocessing the resource script ${name}"
    VERBATIM)
endfunction()

# orbel_embed_text(OUTPUT out.cpp INPUT file NAMESPACE ns NAME kName)
# Writes a C++ file that defines `const char ns::kName[]` with the text of
# INPUT, at build time.
function(orbel_embed_text)
  cmake_parse_arguments(arg "" "OUTPUT;INPUT;NAMESPACE;NAME" "" ${ARGN})
  add_custom_command(OUTPUT ${arg_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${arg_INPUT} -DOUTPUT=${arg_OUTPUT}
            -DNAMESPACE=${arg_NAMESPACE} -DNAME=${arg_NAME}
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake
    DEPENDS ${arg_INPUT} ${PROJECT_SOURCE_DIR}/cmake/embed_text.cmake
    VERBATIM)
endfunction()

# orbel_resource_script_source(OUTPUT out.cpp SCRIPT in.rc NAMESPACE ns NAME kName
#                              [DEPENDS files...] [INCLUDE_DIRS dirs...])
# Both steps: SCRIPT preprocessed, then its text as `const char ns::kName[]`.
function(orbel_resource_script_source)
  cmake_parse_arguments(arg "" "OUTPUT;SCRIPT;NAMESPACE;NAME" "DEPENDS;INCLUDE_DIRS" ${ARGN})
  get_filename_component(name ${arg_SCRIPT} NAME)
  set(preprocessed ${CMAKE_CURRENT_BINARY_DIR}/${name}.i)
  orbel_preprocess_resource_script(OUTPUT ${preprocessed} SCRIPT ${arg_SCRIPT}
    DEPENDS ${arg_DEPENDS} ${ORBEL_STANDIN_INCLUDE_DIR}/windows.h
            ${ORBEL_STANDIN_INCLUDE_DIR}/commctrl.h
    INCLUDE_DIRS ${arg_INCLUDE_DIRS})
  orbel_embed_text(OUTPUT ${arg_OUTPUT} INPUT ${preprocessed}
    NAMESPACE ${arg_NAMESPACE} NAME ${arg_NAME})
endfunction()
